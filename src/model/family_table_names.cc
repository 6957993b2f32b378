#include "model/family_table_names.h"

#include "core/ascii_case.h"
#include "core/fnv1a_hash.h"

namespace fs = std::filesystem;

std::string makeStagedFileName(const std::string& fileName, const std::string& genericOrigin) {
  // A leading dot starts the stem, as for std::filesystem.
  const size_t dot = fileName.rfind('.');
  const size_t split = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
  return fileName.substr(0, split) + "_" + std::to_string(fnv1a64(genericOrigin)) + fileName.substr(split);
}

fs::path toNativeExtension(const fs::path& path) {
  const std::string extension = asciiLowered(path.extension().string());
  if (extension == ".xpr") return fs::path(path).replace_extension(".prt");
  if (extension == ".xas") return fs::path(path).replace_extension(".asm");
  return path;
}

std::string acceleratorExtension(pfcModelType type) { return type == pfcMDL_ASSEMBLY ? ".xas" : ".xpr"; }

std::string nativeExtension(pfcModelType type) { return type == pfcMDL_ASSEMBLY ? ".asm" : ".prt"; }
