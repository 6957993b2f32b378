#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/log.h"
#include "core/properties.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"

namespace {
const std::string kReplacement = "\xEF\xBF\xBD";
}

TEST(TextEncoding, Utf16ReplacesOnlyUnpairedSurrogates) {
  EXPECT_EQ(utf16ToUtf8(u"Zeichnung \u00e9\u4e2d"), "Zeichnung \xC3\xA9\xE4\xB8\xAD");
  EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  const char16_t loneHigh[] = {u'a', 0xD83D, u'b', 0};
  const char16_t loneLowThenHighAtEnd[] = {0xDE00, u'x', 0xD800, 0};
  EXPECT_EQ(utf16ToUtf8(loneHigh), "a" + kReplacement + "b");
  EXPECT_EQ(utf16ToUtf8(loneLowThenHighAtEnd), kReplacement + "x" + kReplacement);
}

TEST(TextEncoding, Utf8RepairKeepsValidTextAndReplacesEachBadSequenceOnce) {
  const std::string valid = "plain \xC3\xA9 \xE2\x80\x94 \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF";
  EXPECT_EQ(repairUtf8(valid), valid);
  EXPECT_EQ(repairUtf8("a\x80z"), "a" + kReplacement + "z");                  // stray continuation byte
  EXPECT_EQ(repairUtf8("a\xE2\x80z"), "a" + kReplacement + "z");              // cut-off sequence
  EXPECT_EQ(repairUtf8("\xC0\xAF"), kReplacement + kReplacement);             // overlong '/'
  EXPECT_EQ(repairUtf8("\xED\xA0\x80"), kReplacement + kReplacement + kReplacement);  // encoded surrogate
  // Above U+10FFFF.
  EXPECT_EQ(repairUtf8("\xF4\x90\x80\x80"), kReplacement + kReplacement + kReplacement + kReplacement);
  EXPECT_EQ(repairUtf8("end\xF0\x9F\x98"), "end" + kReplacement);
  EXPECT_EQ(repairUtf8(std::string("nul\0in", 6)), std::string("nul\0in", 6));
}

// A file name the system accepts but that is not valid Unicode text still
// reaches the log, as a replacement character, and start-up goes on.
TEST(TextEncoding, UnconvertibleLibraryPathIsLoggedWithReplacementCharacter) {
  LogCapture log;
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", "DEBUG");
  initLogLevelFromEnvironment();
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
#ifdef _WIN32
  const std::filesystem::path odd(std::wstring{L'o', L'd', L'd', wchar_t(0xD800), L'd', L'i', L'r'});
#else
  const std::filesystem::path odd("odd\xFF" "dir");
#endif
  // Windows allows such a name but wine cannot create it; the log line matters either way.
  std::error_code notCreated;
  const bool created = std::filesystem::create_directory(log.directory() / odd, notCreated);
  if (created) std::ofstream(log.directory() / odd / "tavix.properties", std::ios::binary) << "found=yes\n";

  EXPECT_EQ(TavixProperties::load(log.directory() / odd / "tavix.properties"), created);
  EXPECT_EQ(TavixProperties::get("found"), created ? "yes" : "");
  const std::string shown = "odd" + kReplacement + "dir";
  EXPECT_EQ(pathToUtf8(odd), shown);
  const std::string separator(1, char(std::filesystem::path::preferred_separator));
  const std::string shownFile = pathToUtf8(log.directory()) + separator + shown + separator + "tavix.properties";
  EXPECT_NE(log.text().find("DLL dir path: " + shownFile + "\r\n"), std::string::npos) << log.text();
}
