// The library's own messages, tagged "[norvane] " and filtered by the level
// the integration chose. Never give it a token, code, verifier or state.
#pragma once

#include <atomic>
#include <memory>
#include <string>

namespace norvane {

class INorvaneLogger;

// Text from outside (a server, the browser's redirect) with its control
// characters written out as \r, \n, \t or \xHH, so that it can neither break
// a log line nor forge one. Apply it where such text enters a message.
std::string escapeControlCharacters(const std::string& text);

enum class LibraryLogLevel { Debug = 0, Info = 1, Warning = 2, Error = 3 };

class LibraryLog {
 public:
  explicit LibraryLog(std::shared_ptr<INorvaneLogger> logger);

  // "debug", "info", "warning"/"warn" or "error", any case; false (and no change) otherwise.
  bool setLevel(const std::string& name);

  void debug(const std::string& message) const;
  void info(const std::string& message) const;
  void warning(const std::string& message) const;
  void error(const std::string& message) const;

 private:
  void write(LibraryLogLevel level, const std::string& message) const;

  std::shared_ptr<INorvaneLogger> logger_;
  std::atomic<LibraryLogLevel> level_{LibraryLogLevel::Info};
};

}  // namespace norvane
