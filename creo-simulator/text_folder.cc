#include "text_folder.h"

#include <algorithm>
#include <system_error>

#include "sim_text.h"

namespace creosim {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLanguage = "usascii";
constexpr const char* kResourceFolder = "resource";
constexpr const char* kRibbonFolder = "ribbon";
constexpr size_t kLongestMessageFileName = 30;

}  // namespace

TextFolder::TextFolder(fs::path textDirectory) : directory_(std::move(textDirectory)) {}

fs::path TextFolder::languageFolder() const { return directory_ / kLanguage; }

fs::path TextFolder::resourceFolder() const { return languageFolder() / kResourceFolder; }

std::optional<fs::path> TextFolder::messageFile(const std::string& name) const {
  if (!isMessageFileName(name)) return std::nullopt;
  return findFileIgnoringCase(languageFolder(), name);
}

std::optional<fs::path> TextFolder::resourceFile(const std::string& name) const {
  return findFileIgnoringCase(resourceFolder(), name);
}

std::optional<fs::path> TextFolder::ribbonFile(const std::string& name) const {
  if (std::optional<fs::path> shared = findFileIgnoringCase(directory_ / kRibbonFolder, name)) return shared;
  return findFileIgnoringCase(languageFolder() / kRibbonFolder, name);
}

bool isMessageFileName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (name.size() > kLongestMessageFileName || dot == std::string::npos || dot == 0 || name.size() - dot != 4)
    return false;
  return asciiLower(name) == name &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(dot) + 1, name.end(),
                     [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); });
}

std::optional<fs::path> findFileIgnoringCase(const fs::path& folder, const std::string& name) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos)
    return std::nullopt;
  std::error_code error;
  const fs::path exact = folder / pathOf(name);
  if (fs::is_regular_file(exact, error)) return exact;
  const std::string wanted = asciiLower(name);
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (asciiLower(utf8Of(it->path().filename())) == wanted && it->is_regular_file(error)) return it->path();
  }
  return std::nullopt;
}

}  // namespace creosim
