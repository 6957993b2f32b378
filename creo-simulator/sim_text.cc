#include "sim_text.h"

namespace creosim {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  } else if (c < 0x10000) {
    out += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
            static_cast<char>(0x80 | (c & 0x3F))};
  } else {
    out += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
            static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
}

void appendWide(std::wstring& out, char32_t c) {
  if (sizeof(wchar_t) == 2 && c >= 0x10000) {
    out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
    out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    out += static_cast<wchar_t>(c);
  }
}

// The simulator's own texts (session descriptions, resource files) are UTF-8;
// a malformed sequence becomes one replacement character.
std::wstring wideOf(const std::string& utf8) {
  std::wstring out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > utf8.size()) {
      appendWide(out, kReplacement);
      ++i;
      continue;
    }
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    appendWide(out, c);
    i += length;
  }
  return out;
}
}  // namespace

xstring xstringOf(const std::string& utf8) { return wideOf(utf8).c_str(); }

std::string textOf(xrstring text) {
  const cWStringT wide = static_cast<cWStringT>(text);
  std::string out;
  for (size_t i = 0; wide && wide[i]; ++i) {
    char32_t c = static_cast<char32_t>(wide[i]);
    if (sizeof(wchar_t) == 2 && c >= 0xD800 && c <= 0xDBFF && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF)
      c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(wide[++i]) - 0xDC00);
    appendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
  }
  return out;
}

xstringsequence_ptr xstringsOf(const std::vector<std::string>& utf8) {
  xstringsequence_ptr sequence = xstringsequence::create();
  for (const std::string& text : utf8) sequence->append(xstringOf(text));
  return sequence;
}

std::vector<std::string> textsOf(const xstringsequence_ptr& sequence) {
  std::vector<std::string> texts;
  for (xint i = 0; sequence && i < sequence->getarraysize(); ++i) texts.push_back(textOf(sequence->get(i)));
  return texts;
}

}  // namespace creosim
