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

  // Finds and parses the file; true when one was found.
  static bool load();
  // The value of a key, empty when absent.
  static std::string get(const std::string& key);
  static std::filesystem::path loadedPath();
  // The grammar: key=value lines, '#'/'!' comments, last occurrence wins.
  static Table parse(std::istream& in);
};
