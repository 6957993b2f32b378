// The add-in's log, "tavix-integration.log" in Creo's working directory.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

enum class LogLevel : int32_t { Debug = 0, Info = 1, Warning = 2, Error = 3 };

// Each takes one finished UTF-8 text; a null pointer logs an empty message.
void logDebug(const char* message);
void logInfo(const char* message);
void logWarning(const char* message);
void logError(const char* message);
inline void logDebug(const std::string& message) { logDebug(message.c_str()); }
inline void logInfo(const std::string& message) { logInfo(message.c_str()); }
inline void logWarning(const std::string& message) { logWarning(message.c_str()); }
inline void logError(const std::string& message) { logError(message.c_str()); }

LogLevel currentLogLevel();
// "debug", "info", "warning" or "error": the name the client library is given.
const char* logLevelName(LogLevel level);
// Sets the level from TAVIX_CREO_LOG_LEVEL (INFO when unset or not a level
// name) and announces it. Runs when the library is loaded, before anything else logs.
void initLogLevelFromEnvironment();
// The level a name stands for, in any case ("WARN" for warning too).
std::optional<LogLevel> parseLogLevel(std::string_view name);
// Makes `level` current, announces it with its source and tells the listener;
// nothing when it is current already.
void changeLogLevel(LogLevel level, const char* source);
// Told of each level change changeLogLevel makes; whoever creates the cloud
// client installs it so the client logs at the same level.
void setLogLevelListener(std::function<void(LogLevel)> listener);
// A warning the log holds whatever its level.
void logWarningAtAnyLevel(const char* message);
