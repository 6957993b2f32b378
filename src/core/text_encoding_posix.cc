#include "core/text_encoding.h"

std::string pathToUtf8(const std::filesystem::path& path) {
  // POSIX paths are bytes; nothing makes them UTF-8.
  return repairUtf8(path.native());
}
