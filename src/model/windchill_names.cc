#include "model/windchill_names.h"

#include "core/ascii_case.h"
#include "core/fnv1a_hash.h"
#include "model/path_separators.h"

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

bool isWindchillOrigin(const std::string& origin) {
  return origin.rfind("wtws://", 0) == 0 || origin.rfind("wtpub://", 0) == 0;
}

std::string localFileNameFromOrigin(const std::string& origin) {
  size_t slash = origin.rfind('/');
  std::string name = slash == std::string::npos ? origin : origin.substr(slash + 1);
  return name.substr(0, name.find('|'));
}

bool isSafeLocalFileName(const std::string& fileName) {
  if (fileName.find_first_not_of('.') == std::string::npos) return false;  // "", ".", "..", ...
  return fileName.find_first_of(kUnsafeFileNameCharacters) == std::string::npos &&
         fileName.find('\0') == std::string::npos;
}

std::string originFolder(const std::string& origin) {
  size_t slash = origin.rfind('/');
  return slash == std::string::npos ? origin : origin.substr(0, slash + 1);
}

std::string genericFileNameOf(const std::string& instanceFileName) {
  size_t open = instanceFileName.find('<');
  if (open == std::string::npos) return {};
  size_t close = instanceFileName.find('>', open + 1);
  if (close == std::string::npos || close == open + 1) return {};
  return instanceFileName.substr(open + 1, close - open - 1) + instanceFileName.substr(close + 1);
}

std::string normalisedModelFileName(const std::string& fileName) {
  std::string name = asciiLowered(fileName);
  if (endsWith(name, ".xas")) name.replace(name.size() - 4, 4, ".asm");
  else if (endsWith(name, ".xpr")) name.replace(name.size() - 4, 4, ".prt");
  return name;
}

std::string withoutVersionSuffix(const std::string& fileName) {
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot + 1 == fileName.size()) return fileName;
  if (fileName.find_first_not_of("0123456789", dot + 1) != std::string::npos) return fileName;
  return fileName.substr(0, dot);
}

std::string comparableFileName(const std::string& fileName) { return asciiLowered(withoutVersionSuffix(fileName)); }

std::string windchillCopyDirectoryName(const std::string& origin) {
  return "_windchill_copy_" + std::to_string(fnv1a64(origin));
}

std::string makeWindchillScopeKey(const std::string& first, const std::string& second) {
  return second.empty() ? first : first + ":" + second;
}

std::string modelFileKey(const std::string& origin, const std::string& fileName) {
  return origin + '\n' + fileName;
}
