#include "core/properties.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/log.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"

using ::testing::ElementsAre;

namespace {

void writeFile(const std::filesystem::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// The search with a library directory of the test's own.
bool loadBeside(const std::filesystem::path& libraryDirectory) {
  return TavixProperties::load(libraryDirectory / "tavix.properties");
}

}  // namespace

TEST(Properties, GrammarTrimsSkipsAndKeepsTheLastValue) {
  LogCapture log;
  writeFile("tavix.properties",
            "\xEF\xBB\xBFtavix_creo_log_level=WARN\n"
            "   tavix_creo_server   =  stage  \t\n"
            "tavix_creo_login_url=https://login.example/auth?a=1&b=2\n"
            "# tavix_creo_client_id=commented\n"
            "! tavix_creo_audience=commented\n"
            "tavix_creo_client_id client-without-equals\n"
            "=orphan value\n"
            "tavix_creo_audience=\n"
            "tavix_creo_auth_timeout=5\n"
            "tavix_creo_auth_timeout=10\n"
            "TAVIX_CREO_SERVER=us_prod\n"
            "note=keeps # and ! inside\n"
            "\fformfeed=\xC2\xA0kept\xC2\xA0\n"
            "\n"
            "last_line_without_end=yes");
  ASSERT_TRUE(loadBeside(log.directory() / "no-library-here"));

  EXPECT_EQ(TavixProperties::get("tavix_creo_log_level"), "WARN");
  EXPECT_EQ(TavixProperties::get("tavix_creo_server"), "stage");
  EXPECT_EQ(TavixProperties::get("tavix_creo_login_url"), "https://login.example/auth?a=1&b=2");
  EXPECT_EQ(TavixProperties::get("tavix_creo_client_id"), "");
  EXPECT_EQ(TavixProperties::get("tavix_creo_audience"), "");
  EXPECT_EQ(TavixProperties::get("tavix_creo_auth_timeout"), "10");
  EXPECT_EQ(TavixProperties::get("TAVIX_CREO_SERVER"), "us_prod");
  EXPECT_EQ(TavixProperties::get("note"), "keeps # and ! inside");
  EXPECT_EQ(TavixProperties::get("\fformfeed"), "\xC2\xA0kept\xC2\xA0");
  EXPECT_EQ(TavixProperties::get("last_line_without_end"), "yes");
  EXPECT_EQ(TavixProperties::get(""), "");
}

TEST(Properties, LineEndsCrLfAsLfAndCrAloneIsOneLine) {
  std::istringstream crlf("a=1\r\nb = 2 \r\n");
  EXPECT_EQ(TavixProperties::parse(crlf), (TavixProperties::Table{{"a", "1"}, {"b", "2"}}));
  std::istringstream crOnly("a=1\rb=2\r");
  EXPECT_EQ(TavixProperties::parse(crOnly), (TavixProperties::Table{{"a", "1\rb=2"}}));
  // A byte-order mark counts only at the very start of the file.
  std::istringstream laterMark("a=1\n\xEF\xBB\xBF" "b=2\n");
  EXPECT_EQ(TavixProperties::parse(laterMark), (TavixProperties::Table{{"a", "1"}, {"\xEF\xBB\xBF" "b", "2"}}));
}

TEST(Properties, WorkingDirectoryFileWinsOverTheOneBesideTheLibrary) {
  LogCapture log;
  const auto library = log.directory() / "addin";
  std::filesystem::create_directory(library);
  writeFile(library / "tavix.properties", "from=library\nonly_library=1\n");
  writeFile("tavix.properties", "from=cwd\n");

  ASSERT_TRUE(loadBeside(library));
  EXPECT_EQ(TavixProperties::get("from"), "cwd");
  EXPECT_EQ(TavixProperties::get("only_library"), "");
  EXPECT_TRUE(TavixProperties::loadedPath().is_absolute());
  EXPECT_TRUE(std::filesystem::equivalent(TavixProperties::loadedPath(), log.directory() / "tavix.properties"));

  std::filesystem::remove("tavix.properties");
  ASSERT_TRUE(loadBeside(library));
  EXPECT_EQ(TavixProperties::get("from"), "library");
  EXPECT_EQ(TavixProperties::loadedPath(), library / "tavix.properties");

  // A later load replaces the table as a whole.
  std::filesystem::remove(library / "tavix.properties");
  EXPECT_FALSE(loadBeside(library));
  EXPECT_EQ(TavixProperties::get("from"), "");
  EXPECT_TRUE(TavixProperties::loadedPath().empty());
}

TEST(Properties, LoadTellsSupportWhereItLookedAtDebugLevel) {
  LogCapture log;
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", "DEBUG");
  initLogLevelFromEnvironment();
  const auto library = log.directory() / "addin";
  std::filesystem::create_directory(library);
  writeFile(library / "tavix.properties", "a=1\nb=2\n");
  const std::string libraryFile = (library / "tavix.properties").string();

  loadBeside(library);
  EXPECT_THAT(log.messages(),
              ElementsAre("[INFO] [Tavix] Log level set to DEBUG (env)",
                          "[DEBUG] [Tavix] TavixProperties::load: entry. DLL dir path: " + libraryFile,
                          "[DEBUG] [Tavix] TavixProperties::load: opening CWD probe",
                          "[DEBUG] [Tavix] TavixProperties::load: CWD probe open=false",
                          "[DEBUG] [Tavix] TavixProperties::load: opening DLL dir probe",
                          "[DEBUG] [Tavix] TavixProperties::load: DLL dir probe open=true",
                          "[DEBUG] [Tavix] TavixProperties::load: pathToLoad=" + libraryFile,
                          "[DEBUG] [Tavix] TavixProperties::load: opening file for parsing",
                          "[DEBUG] [Tavix] TavixProperties::load: parsing properties",
                          "[DEBUG] [Tavix] TavixProperties::load: parsed 2 entries",
                          "[DEBUG] [Tavix] TavixProperties::load: storing parsed properties",
                          "[DEBUG] [Tavix] TavixProperties::load: done, loaded=true"));

  loadBeside(log.directory() / "elsewhere");
  const std::string text = log.text();
  EXPECT_NE(text.find("TavixProperties::load: pathToLoad=(empty)\r\n"), std::string::npos);
  EXPECT_NE(text.find("TavixProperties::load: done, loaded=false\r\n"), std::string::npos);
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
}
