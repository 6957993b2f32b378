#include "cloud/norvane_logger_adapter.h"

#include "core/log.h"

void NorvaneLoggerAdapter::debug(const char* message) { logDebug(message); }
void NorvaneLoggerAdapter::info(const char* message) { logInfo(message); }
void NorvaneLoggerAdapter::warning(const char* message) { logWarning(message); }
void NorvaneLoggerAdapter::error(const char* message) { logError(message); }
