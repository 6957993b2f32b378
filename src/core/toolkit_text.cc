#include "core/toolkit_text.h"

#include "core/text_encoding.h"

namespace {
std::wstring_view wideOf(xrstring text) {
  const cWStringT wide = static_cast<cWStringT>(text);
  return wide ? std::wstring_view(wide) : std::wstring_view();
}
}  // namespace

xstring toXstring(const std::string& utf8) { return utf8ToWide(utf8).c_str(); }

xstring pathToXstring(const std::filesystem::path& path) {
#ifdef _WIN32
  return path.c_str();
#else
  return toXstring(path.native());
#endif
}

std::string fromXstring(xrstring text) { return wideToUtf8(wideOf(text)); }

std::filesystem::path pathFromXstring(xrstring text) {
#ifdef _WIN32
  return std::filesystem::path(std::wstring(wideOf(text)));
#else
  return std::filesystem::path(fromXstring(text));
#endif
}
