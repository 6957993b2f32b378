#include "core/log.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <string_view>

#include "core/ascii_case.h"
#include "core/environment.h"
#include "core/log_file.h"
#include "core/log_line.h"

namespace {

// Constant-initialised, so it holds INFO even for code that logs during static
// initialisation before the environment has been read.
std::atomic<LogLevel> currentLevel{LogLevel::Info};

std::function<void(LogLevel)>& levelListener() {
  static std::function<void(LogLevel)> listener;
  return listener;
}

const char* upperCaseName(LogLevel level) {
  switch (level) {
    case LogLevel::Debug: return "DEBUG";
    case LogLevel::Warning: return "WARNING";
    case LogLevel::Error: return "ERROR";
    default: return "INFO";
  }
}

}  // namespace

std::optional<LogLevel> parseLogLevel(std::string_view text) {
  const std::string upper = asciiUppered(std::string(text));
  if (upper == "DEBUG") return LogLevel::Debug;
  if (upper == "INFO") return LogLevel::Info;
  if (upper == "WARNING" || upper == "WARN") return LogLevel::Warning;
  if (upper == "ERROR") return LogLevel::Error;
  return std::nullopt;
}

namespace {

void writeLine(const char* levelName, const char* message) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::string line = formatLogLine(levelName, message ? message : "", now);
  line += "\r\n";
  appendToFile(kLogFileName, line);
}

void logAt(LogLevel level, const char* message) {
  if (level < currentLevel.load(std::memory_order_relaxed)) return;
  writeLine(upperCaseName(level), message);
}

// Written at INFO whatever the current level, so the log always says which level it holds.
void announceLogLevel(LogLevel level, const char* source) {
  std::string message = std::string("Log level set to ") + upperCaseName(level);
  if (*source != '\0') message += std::string(" (") + source + ")";
  writeLine("INFO", message.c_str());
}

}  // namespace

void logDebug(const char* message) { logAt(LogLevel::Debug, message); }
void logInfo(const char* message) { logAt(LogLevel::Info, message); }
void logWarning(const char* message) { logAt(LogLevel::Warning, message); }
void logError(const char* message) { logAt(LogLevel::Error, message); }

LogLevel currentLogLevel() { return currentLevel.load(std::memory_order_relaxed); }

const char* logLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Debug: return "debug";
    case LogLevel::Warning: return "warning";
    case LogLevel::Error: return "error";
    default: return "info";
  }
}

void initLogLevelFromEnvironment() {
  const std::optional<std::string> value = environmentVariable("TAVIX_CREO_LOG_LEVEL");
  const std::optional<LogLevel> level = value ? parseLogLevel(*value) : std::nullopt;
  announceLogLevel(level.value_or(LogLevel::Info), level ? "env" : "default");
  currentLevel.store(level.value_or(LogLevel::Info), std::memory_order_relaxed);
}

void changeLogLevel(LogLevel level, const char* source) {
  if (level == currentLogLevel()) return;
  currentLevel.store(level, std::memory_order_relaxed);
  announceLogLevel(level, source);
  if (levelListener()) levelListener()(level);
}

void logWarningAtAnyLevel(const char* message) { writeLine("WARNING", message); }

void setLogLevelListener(std::function<void(LogLevel)> listener) { levelListener() = std::move(listener); }

namespace {
// As the library is loaded, kept here (every program that logs links this
// file): the level's announcement is the log's first line.
[[maybe_unused]] const bool initialisedAtLoad = (initLogLevelFromEnvironment(), true);
}  // namespace
