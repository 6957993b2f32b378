// Placeholder until the logger lands.
#include "core/log.h"
void logDebug(const char*) {}
void logInfo(const char*) {}
void logWarning(const char*) {}
void logError(const char*) {}
LogLevel currentLogLevel() { return LogLevel::Info; }
const char* logLevelName(LogLevel) { return "info"; }
void applyPropertyLogLevel() {}
