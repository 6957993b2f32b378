// "tavix.properties": optional overrides, read from Creo's working directory or
// from beside the add-in's library.
#pragma once

#include <filesystem>
#include <istream>
#include <map>
#include <string>

class TavixProperties {
 public:
  using Table = std::map<std::string, std::string>;

  // Finds and parses the file; true when one was found. The file in the
  // current directory wins over the one beside the library; only one is read.
  static bool load();
  // The same search with another file in place of the one beside the library.
  static bool load(const std::filesystem::path& libraryDirectoryPath);
  // The value of a key, empty when absent.
  static std::string get(const std::string& key);
  static std::filesystem::path loadedPath();
  // "tavix.properties" beside the add-in's library, or the relative name when
  // the library's file cannot be named.
  static const std::filesystem::path& libraryDirectoryPath();
  // The grammar: key=value lines, '#'/'!' comments, last occurrence wins.
  static Table parse(std::istream& in);
};
