// Shared by the lifecycle tests: a private base temporary directory for the
// whole test program, and a fixture that logs at DEBUG into a fresh working
// directory through a real properties file.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/testing/log_capture.h"

// The base directory the session temporary directories of this test program
// live in (resolved once per process, like the add-in's).
const std::filesystem::path& testBaseDirectory();

class LifecycleTest : public ::testing::Test {
 protected:
  LifecycleTest();
  ~LifecycleTest() override;

  // Writes tavix.properties into the working directory (DEBUG logging plus
  // `extraLines`) and loads it as start-up does.
  void useProperties(const std::string& extraLines = "");
  // Empties the base directory.
  void clearBase();

  bool logged(const std::string& levelAndMessage) const;
  int countLogged(const std::string& levelAndMessagePrefix) const;
  // The log's messages as "[LEVEL] [Tavix] text", one per line, for failure output.
  std::string logText() const;

  LogCapture capture_;
};
