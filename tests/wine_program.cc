#include "wine_program.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace tavixtest {

fs::path wineLoader() {
  for (const char* candidate : {"/usr/lib/wine/wine64", "/usr/bin/wine64", "/usr/bin/wine"})
    if (fs::exists(candidate)) return candidate;
  return {};
}

std::string windowsPathOf(const fs::path& path) {
  std::string text = "Z:" + fs::absolute(path).string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::string readFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace tavixtest
