#include "core/module_directory.h"

#include "core/module_file.h"

namespace fs = std::filesystem;

namespace {

using NativeString = fs::path::string_type;

NativeString native(const char* ascii) { return fs::path(ascii).native(); }

bool isSeparator(fs::path::value_type c) { return c == '\\' || c == '/'; }

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share".
NativeString withoutLongPathPrefix(const NativeString& name) {
  static const NativeString uncPrefix = native("\\\\?\\UNC\\");
  static const NativeString drivePrefix = native("\\\\?\\");
  if (name.compare(0, uncPrefix.size(), uncPrefix) == 0) return native("\\\\") + name.substr(uncPrefix.size());
  if (name.compare(0, drivePrefix.size(), drivePrefix) == 0) return name.substr(drivePrefix.size());
  return name;
}

}  // namespace

fs::path canonicalModuleName(const fs::path& name) {
  std::error_code error;
  fs::path canonical = fs::canonical(fs::path(withoutLongPathPrefix(name.native())), error);
  if (error || canonical.empty()) return name;
  return fs::path(withoutLongPathPrefix(canonical.native()));
}

fs::path parentDirectoryOf(const fs::path& name) {
  const NativeString& text = name.native();
  size_t end = text.size();
  while (end > 0 && !isSeparator(text[end - 1])) --end;  // drop the file name
  while (end > 1 && isSeparator(text[end - 1])) --end;   // and the separators before it
  return fs::path(text.substr(0, end));
}

fs::path moduleDirectory() {
  static const fs::path directory = parentDirectoryOf(canonicalModuleName(moduleFileName()));
  return directory;
}

fs::path moduleRelativePath(const fs::path& fileName) { return moduleDirectory() / fileName; }
