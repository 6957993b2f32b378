#include "core/properties.h"

#include <fstream>
#include <optional>
#include <string_view>

#include "core/full_path.h"
#include "core/log.h"
#include "core/module_file.h"
#include "core/text_encoding.h"

namespace {

constexpr char kPropertiesFileName[] = "tavix.properties";
constexpr std::string_view kTrimmed = " \t\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

struct LoadedProperties {
  TavixProperties::Table table;
  std::filesystem::path path;
};

// Filled once during start-up, before any other thread exists; read only afterwards.
LoadedProperties& loaded() {
  static LoadedProperties properties;
  return properties;
}

std::string_view trim(std::string_view text) {
  const size_t first = text.find_first_not_of(kTrimmed);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kTrimmed) - first + 1);
}

bool canOpen(const std::filesystem::path& path) { return std::ifstream(path, std::ios::binary).is_open(); }

}  // namespace

bool TavixProperties::load() { return load(libraryDirectoryPath()); }

bool TavixProperties::load(const std::filesystem::path& libraryDirectoryPath) {
  const std::filesystem::path relativePath(kPropertiesFileName);
  logDebug("TavixProperties::load: entry. DLL dir path: " + pathToUtf8(libraryDirectoryPath));

  std::filesystem::path pathToLoad;
  logDebug("TavixProperties::load: opening CWD probe");
  const bool inWorkingDirectory = canOpen(relativePath);
  logDebug(std::string("TavixProperties::load: CWD probe open=") + (inWorkingDirectory ? "true" : "false"));
  if (inWorkingDirectory) {
    pathToLoad = fullPathName(relativePath).value_or(relativePath);
    logDebug("TavixProperties::load: CWD path resolved to: " + pathToUtf8(pathToLoad));
  }
  if (pathToLoad.empty()) {
    logDebug("TavixProperties::load: opening DLL dir probe");
    const bool besideLibrary = canOpen(libraryDirectoryPath);
    logDebug(std::string("TavixProperties::load: DLL dir probe open=") + (besideLibrary ? "true" : "false"));
    if (besideLibrary) pathToLoad = libraryDirectoryPath;
  }
  logDebug("TavixProperties::load: pathToLoad=" +
           (pathToLoad.empty() ? std::string("(empty)") : pathToUtf8(pathToLoad)));

  Table table;
  if (!pathToLoad.empty()) {
    logDebug("TavixProperties::load: opening file for parsing");
    std::ifstream file(pathToLoad, std::ios::binary);
    if (file.is_open()) {
      logDebug("TavixProperties::load: parsing properties");
      table = parse(file);
      logDebug("TavixProperties::load: parsed " + std::to_string(table.size()) + " entries");
    }
  }

  logDebug("TavixProperties::load: storing parsed properties");
  loaded().table = std::move(table);
  loaded().path = pathToLoad;
  logDebug(std::string("TavixProperties::load: done, loaded=") + (pathToLoad.empty() ? "false" : "true"));
  return !pathToLoad.empty();
}

std::string TavixProperties::get(const std::string& key) {
  const Table& table = loaded().table;
  const auto entry = table.find(key);
  return entry == table.end() ? std::string() : entry->second;
}

std::filesystem::path TavixProperties::loadedPath() { return loaded().path; }

const std::filesystem::path& TavixProperties::libraryDirectoryPath() {
  static const std::filesystem::path path = [] {
    try {
      return moduleFileName().parent_path() / kPropertiesFileName;
    } catch (const std::exception&) {
      return std::filesystem::path(kPropertiesFileName);
    }
  }();
  return path;
}

TavixProperties::Table TavixProperties::parse(std::istream& in) {
  Table table;
  std::string line;
  bool firstLine = true;
  while (std::getline(in, line)) {
    std::string_view text(line);
    if (firstLine && text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) text.remove_prefix(kByteOrderMark.size());
    firstLine = false;
    text = trim(text);
    if (text.empty() || text.front() == '#' || text.front() == '!') continue;
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = trim(text.substr(0, equals));
    if (key.empty()) continue;
    table[std::string(key)] = std::string(trim(text.substr(equals + 1)));
  }
  return table;
}

namespace {
// The module's file is named as the library is loaded, for the start-up
// sequence that reads the properties later.
[[maybe_unused]] const bool libraryDirectoryResolvedAtLoad = (TavixProperties::libraryDirectoryPath(), true);
}  // namespace
