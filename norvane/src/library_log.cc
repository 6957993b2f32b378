#include "library_log.h"

#include <algorithm>
#include <cctype>

#include "norvane/norvane.h"

namespace norvane {

std::string escapeControlCharacters(const std::string& text) {
  static const char* const hex = "0123456789ABCDEF";
  std::string escaped;
  escaped.reserve(text.size());
  for (const unsigned char c : text) {
    if (c >= 0x20 && c != 0x7f) {
      escaped += static_cast<char>(c);
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else if (c == '\t') {
      escaped += "\\t";
    } else {
      escaped += "\\x";
      escaped += hex[c >> 4];
      escaped += hex[c & 15];
    }
  }
  return escaped;
}

LibraryLog::LibraryLog(std::shared_ptr<INorvaneLogger> logger) : logger_(std::move(logger)) {}

bool LibraryLog::setLevel(const std::string& name) {
  std::string lowered = name;
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  LibraryLogLevel level;
  if (lowered == "debug") {
    level = LibraryLogLevel::Debug;
  } else if (lowered == "info") {
    level = LibraryLogLevel::Info;
  } else if (lowered == "warning" || lowered == "warn") {
    level = LibraryLogLevel::Warning;
  } else if (lowered == "error") {
    level = LibraryLogLevel::Error;
  } else {
    return false;
  }
  level_.store(level);
  return true;
}

void LibraryLog::debug(const std::string& message) const { write(LibraryLogLevel::Debug, message); }
void LibraryLog::info(const std::string& message) const { write(LibraryLogLevel::Info, message); }
void LibraryLog::warning(const std::string& message) const { write(LibraryLogLevel::Warning, message); }
void LibraryLog::error(const std::string& message) const { write(LibraryLogLevel::Error, message); }

void LibraryLog::write(LibraryLogLevel level, const std::string& message) const {
  if (!logger_ || level < level_.load()) return;
  const std::string line = "[norvane] " + message;
  switch (level) {
    case LibraryLogLevel::Debug: logger_->debug(line.c_str()); break;
    case LibraryLogLevel::Info: logger_->info(line.c_str()); break;
    case LibraryLogLevel::Warning: logger_->warning(line.c_str()); break;
    case LibraryLogLevel::Error: logger_->error(line.c_str()); break;
  }
}

}  // namespace norvane
