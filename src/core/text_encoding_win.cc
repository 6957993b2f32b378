#include "core/text_encoding.h"

std::string pathToUtf8(const std::filesystem::path& path) {
  // Windows paths are UTF-16 but may hold unpaired surrogates.
  const std::wstring& native = path.native();
  return utf16ToUtf8(std::u16string(native.begin(), native.end()));
}
