// What poppler's PDF tools (poppler-utils) read in a file: the reader tests
// check the simulator's PDFs with.
#pragma once

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

namespace creosim {

// What poppler's tools read in a file, e.g. readWith("pdfinfo", file).
inline std::string readWith(const std::string& tool, const std::filesystem::path& file, const std::string& output = "") {
  std::string command = tool + " '" + file.string() + "' " + output + " 2>&1";
  std::string printed;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) printed.append(buffer, n);
    pclose(pipe);
  }
  return printed;
}

// One field of pdfinfo's answer, e.g. "3" for "Pages".
inline std::string infoField(const std::filesystem::path& file, const std::string& name) {
  std::istringstream lines(readWith("pdfinfo", file));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(name + ":", 0) == 0) {
      size_t value = line.find_first_not_of(' ', name.size() + 1);
      return value == std::string::npos ? "" : line.substr(value);
    }
  return "(no " + name + ")";
}

}  // namespace creosim
