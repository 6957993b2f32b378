#include "core/log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/log_line.h"
#include "core/properties.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"

using ::testing::ElementsAre;

namespace {

const std::regex kLinePattern(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d [+-]\d{4}\] \[(DEBUG|INFO|WARNING|ERROR)\] .*)");

// Sets TAVIX_CREO_LOG_LEVEL and reads it again as the library does when loaded.
void startWithEnvironmentLevel(const char* value) {
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", value);
  initLogLevelFromEnvironment();
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
}

}  // namespace

TEST(LogFile, LinesHaveTheSupportFormatWithCrLfInTheWorkingDirectory) {
  LogCapture log;
  startWithEnvironmentLevel("debug");
  logDebug("d");
  logInfo("i");
  logWarning(nullptr);
  logError("[norvane] from the library");
  logInfo("found [norvane] inside");

  const std::string text = log.text();
  EXPECT_TRUE(text.ends_with("inside\r\n"));
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
  for (const std::string& line : log.lines()) EXPECT_TRUE(std::regex_match(line, kLinePattern)) << line;
  EXPECT_THAT(log.messages(), ElementsAre("[INFO] [Tavix] Log level set to DEBUG (env)", "[DEBUG] [Tavix] d",
                                          "[INFO] [Tavix] i", "[WARNING] [Tavix] ",
                                          "[ERROR] [norvane] from the library",
                                          "[INFO] [Tavix] found [norvane] inside"));
}

// An upload's error, a file address, a toolkit exception's text, a workspace
// name or a server message may come from anywhere: it stays on its own line,
// cannot pass for another one nor turn the rest of it around; other non-ASCII
// text stays as it is.
TEST(LogFile, ControlCharactersSeparatorsAndDirectionMarksInOutsideTextAreWrittenOut) {
  const std::vector<std::pair<std::string, std::string>> writtenAs = {
      {"Upload failed: denied\r\n[2026-01-01 00:00:00 +0000] [INFO] [Tavix] Login completed.\t\x1b[2J\x7f\x01",
       "Upload failed: denied\\r\\n[2026-01-01 00:00:00 +0000] [INFO] [Tavix] Login completed.\\t\\x1B[2J\\x7F\\x01"},
      {"C:\\Users\\ada\\bracket.prt, 100% done; \"quoted\" [norvane] \\n stays",
       "C:\\Users\\ada\\bracket.prt, 100% done; \"quoted\" [norvane] \\n stays"},
      {"Selected workspace: a\u2028b\u2029c\u0085d", "Selected workspace: a\\u2028b\\u2029c\\u0085d"},
      {"Selected workspace: \u202Eexe.fdp\u202C \u202A\u202B\u202D \u2066\u2067\u2068\u2069 \u200E\u200F\u061C",
       "Selected workspace: \\u202Eexe.fdp\\u202C \\u202A\\u202B\\u202D \\u2066\\u2067\\u2068\\u2069 "
       "\\u200E\\u200F\\u061C"},
      {"Selected workspace: Zahnr\u00e4der \u2192 \u0627\u0644\u0641\u0631\u064a\u0642 \u2027\u202F\u2065\u206A\u200D",
       "Selected workspace: Zahnr\u00e4der \u2192 \u0627\u0644\u0641\u0631\u064a\u0642 \u2027\u202F\u2065\u206A\u200D"},
      {"cut short: \xE2\x80", "cut short: \xE2\x80"},
  };
  LogCapture log;
  startWithEnvironmentLevel("info");
  std::vector<std::string> expected = {"[INFO] [Tavix] Log level set to INFO (env)"};
  for (const auto& [text, written] : writtenAs) {
    logInfo(text);
    expected.push_back("[INFO] [Tavix] " + written);
  }
  EXPECT_EQ(log.messages(), expected);
}

TEST(LogFile, TimestampIsLocalTimeWithItsUtcOffset) {
  const char* previous = std::getenv("TZ");
  const std::string saved = previous ? previous : "";
  // POSIX TZ signs are inverted: this zone is five and a half hours east of UTC.
  setEnvironmentVariable("TZ", "XST-05:30");
  rereadTimeZone();
  const std::string east = formatLogLine("INFO", "m", 0);
  setEnvironmentVariable("TZ", "YST08");
  rereadTimeZone();
  const std::string west = formatLogLine("ERROR", "m", 86400 * 365);
  setEnvironmentVariable("TZ", previous ? saved.c_str() : nullptr);
  rereadTimeZone();

  EXPECT_EQ(east, "[1970-01-01 05:30:00 +0530] [INFO] [Tavix] m");
  EXPECT_EQ(west, "[1970-12-31 16:00:00 -0800] [ERROR] [Tavix] m");
}

TEST(LogFile, UnwritableLogLosesTheLineQuietly) {
  LogCapture log;
  std::filesystem::create_directory(log.directory() / "tavix-integration.log");
  EXPECT_NO_THROW(logError("nowhere to go"));
  EXPECT_TRUE(std::filesystem::is_directory(log.directory() / "tavix-integration.log"));
}

TEST(LogFile, TwoThreadsWritingAtOnceLoseAndTearNoLine) {
  LogCapture log;
  startWithEnvironmentLevel("INFO");
  constexpr int kLinesPerThread = 10000;
  auto writer = [](char name) {
    for (int i = 0; i < kLinesPerThread; ++i) logInfo(std::string(1, name) + " line " + std::to_string(i));
  };
  std::thread first(writer, 'a');
  std::thread second(writer, 'b');
  first.join();
  second.join();

  const std::regex writerLine(R"(\[[^\]]+\] \[INFO\] \[Tavix\] ([ab]) line (\d+))");
  int next[2] = {0, 0};
  int torn = 0;
  for (const std::string& line : log.lines()) {
    std::smatch match;
    if (!std::regex_match(line, match, writerLine)) {
      torn += line.find("Log level set to") == std::string::npos;
      continue;
    }
    // Each writer's lines arrive complete and in its own order.
    int& expected = next[match[1] == "a" ? 0 : 1];
    EXPECT_EQ(std::stoi(match[2]), expected);
    expected = std::stoi(match[2]) + 1;
  }
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(next[0], kLinesPerThread);
  EXPECT_EQ(next[1], kLinesPerThread);
}

TEST(LogLevels, EnvironmentSetsAndAnnouncesTheLevel) {
  LogCapture log;
  startWithEnvironmentLevel("wArN");
  EXPECT_EQ(currentLogLevel(), LogLevel::Warning);
  logInfo("hidden");
  logWarning("shown");

  startWithEnvironmentLevel("ERROR");
  logWarning("hidden");
  logError("shown");

  startWithEnvironmentLevel(" INFO ");
  startWithEnvironmentLevel("");
  startWithEnvironmentLevel(nullptr);
  EXPECT_EQ(currentLogLevel(), LogLevel::Info);

  EXPECT_THAT(log.messages(), ElementsAre("[INFO] [Tavix] Log level set to WARNING (env)", "[WARNING] [Tavix] shown",
                                          "[INFO] [Tavix] Log level set to ERROR (env)", "[ERROR] [Tavix] shown",
                                          "[INFO] [Tavix] Log level set to INFO (default)",
                                          "[INFO] [Tavix] Log level set to INFO (default)",
                                          "[INFO] [Tavix] Log level set to INFO (default)"));
}
