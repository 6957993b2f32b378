#include "core/module_directory.h"

#include "core/module_file.h"

namespace fs = std::filesystem;

namespace {

using NativeString = fs::path::string_type;

NativeString native(const char* ascii) { return fs::path(ascii).native(); }

// Windows' MAX_PATH: a name this long or longer opens only with the "\\?\" prefix.
constexpr size_t kLongestOrdinaryName = 259;

const NativeString& uncPrefix() {
  static const NativeString prefix = native("\\\\?\\UNC\\");
  return prefix;
}
const NativeString& drivePrefix() {
  static const NativeString prefix = native("\\\\?\\");
  return prefix;
}

bool isSeparator(fs::path::value_type c) { return c == '\\' || c == '/'; }

bool hasLongPathPrefix(const NativeString& name) { return name.compare(0, drivePrefix().size(), drivePrefix()) == 0; }

// "\\?\C:\x" -> "C:\x", "\\?\UNC\server\share" -> "\\server\share".
NativeString withoutLongPathPrefix(const NativeString& name) {
  if (name.compare(0, uncPrefix().size(), uncPrefix()) == 0) return native("\\\\") + name.substr(uncPrefix().size());
  if (hasLongPathPrefix(name)) return name.substr(drivePrefix().size());
  return name;
}

// The reverse, for a name in drive or UNC form.
NativeString withLongPathPrefix(const NativeString& name) {
  if (name.size() > 2 && isSeparator(name[0]) && isSeparator(name[1])) return uncPrefix() + name.substr(2);
  return drivePrefix() + name;
}

}  // namespace

fs::path canonicalModuleName(const fs::path& name) {
  std::error_code error;
  fs::path canonical = fs::canonical(fs::path(withoutLongPathPrefix(name.native())), error);
  if (error || canonical.empty()) return name;
  NativeString ordinary = withoutLongPathPrefix(canonical.native());
  // A name too long for the ordinary form keeps the prefix it came with.
  if (hasLongPathPrefix(name.native()) && ordinary.size() > kLongestOrdinaryName)
    return fs::path(withLongPathPrefix(ordinary));
  return fs::path(ordinary);
}

fs::path parentDirectoryOf(const fs::path& name) {
  const NativeString& text = name.native();
  size_t end = text.size();
  while (end > 0 && !isSeparator(text[end - 1])) --end;  // drop the file name
  while (end > 1 && isSeparator(text[end - 1])) --end;   // and the separators before it
  // "C:\x.dll" lies in "C:\"; "C:" alone would name the drive's current directory.
  if (end == 2 && text[1] == ':' && text.size() > 2 && isSeparator(text[2])) end = 3;
  return fs::path(text.substr(0, end));
}

fs::path moduleDirectory() {
  static const fs::path directory = parentDirectoryOf(canonicalModuleName(moduleFileName()));
  return directory;
}

fs::path moduleRelativePath(const fs::path& fileName) { return moduleDirectory() / fileName; }
