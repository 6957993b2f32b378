#include "core/text_encoding.h"

#include <algorithm>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

void appendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The length of the well-formed sequence a lead byte starts, and the range its
// second byte must fall in (which excludes overlong forms, surrogates and
// values above U+10FFFF); length 0 for a byte that cannot start a sequence.
struct SequenceShape {
  int length;
  unsigned char secondLow;
  unsigned char secondHigh;
};

SequenceShape shapeOf(unsigned char lead) {
  if (lead < 0x80) return {1, 0, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
  if (lead == 0xE0) return {3, 0xA0, 0xBF};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
  if (lead == 0xF0) return {4, 0x90, 0xBF};
  if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

std::string utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      appendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      out += kReplacementCharacter;
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

std::string wideToUtf8(std::wstring_view text) {
  if constexpr (sizeof(wchar_t) == sizeof(char16_t)) return utf16ToUtf8(std::u16string(text.begin(), text.end()));
  std::string out;
  out.reserve(text.size());
  for (const wchar_t unit : text) {
    const auto codePoint = static_cast<char32_t>(unit);
    const bool isCharacter = codePoint <= 0x10FFFF && !(codePoint >= 0xD800 && codePoint <= 0xDFFF);
    appendUtf8(out, isCharacter ? codePoint : U'\uFFFD');
  }
  return out;
}

std::wstring utf8ToWide(std::string_view text) {
  const std::string valid = repairUtf8(text);
  std::wstring out;
  out.reserve(valid.size());
  for (size_t i = 0; i < valid.size();) {
    const auto lead = static_cast<unsigned char>(valid[i]);
    const int length = shapeOf(lead).length;
    char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) codePoint = (codePoint << 6) | (static_cast<unsigned char>(valid[i + k]) & 0x3F);
    i += length;
    if (sizeof(wchar_t) == sizeof(char16_t) && codePoint >= 0x10000) {
      out += static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
      out += static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
      out += static_cast<wchar_t>(codePoint);
    }
  }
  return out;
}

std::string repairUtf8(std::string_view bytes) {
  // Paths and names are nearly always ASCII: copy them in one go.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
    return std::string(bytes);
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const SequenceShape shape = shapeOf(static_cast<unsigned char>(bytes[i]));
    if (shape.length == 1) {
      out += bytes[i++];
      continue;
    }
    if (shape.length == 0) {
      out += kReplacementCharacter;
      ++i;
      continue;
    }
    // Take the longest well-formed prefix; a complete one is copied, anything
    // less is one replacement character.
    size_t valid = 1;
    while (valid < size_t(shape.length) && i + valid < bytes.size()) {
      const auto next = static_cast<unsigned char>(bytes[i + valid]);
      const bool fits = valid == 1 ? next >= shape.secondLow && next <= shape.secondHigh : next >= 0x80 && next <= 0xBF;
      if (!fits) break;
      ++valid;
    }
    if (valid == size_t(shape.length))
      out.append(bytes.substr(i, valid));
    else
      out += kReplacementCharacter;
    i += valid;
  }
  return out;
}

std::string pathToUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
  // Windows paths are UTF-16 but may hold unpaired surrogates.
  const std::wstring& native = path.native();
  return utf16ToUtf8(std::u16string(native.begin(), native.end()));
#else
  // POSIX paths are bytes; nothing makes them UTF-8.
  return repairUtf8(path.native());
#endif
}
