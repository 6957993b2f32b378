// For tests that look at the log: moves the process into a fresh temporary
// directory (the log goes to the working directory) and reads the log back.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // The temporary working directory; removed again with everything in it.
  const std::filesystem::path& directory() const { return directory_; }
  // The log file's bytes, empty when there is no log file.
  std::string text() const;
  // Each line without its "\r\n".
  std::vector<std::string> lines() const;
  // Each line without its timestamp, e.g. "[INFO] [Tavix] Log level set to INFO (default)".
  std::vector<std::string> messages() const;

 private:
  std::filesystem::path previousDirectory_;
  std::filesystem::path directory_;
};
