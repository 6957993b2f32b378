// Routes the cloud client library's own messages into the add-in's log.
#pragma once

#include "norvane/norvane.h"

class NorvaneLoggerAdapter : public norvane::INorvaneLogger {
 public:
  void debug(const char* message) override;
  void info(const char* message) override;
  void warning(const char* message) override;
  void error(const char* message) override;
};
