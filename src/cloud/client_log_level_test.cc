// The log seen from the cloud client: the client follows the level the
// properties set, and the library's own messages land in the add-in's log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "cloud/cloud_connection.h"
#include "cloud/norvane_logger_adapter.h"
#include "cloud/testing/null_norvane_client.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"

using ::testing::ElementsAre;

namespace {

// Sets TAVIX_CREO_LOG_LEVEL and reads it again as the library does when loaded.
void startWithEnvironmentLevel(const char* value) {
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", value);
  initLogLevelFromEnvironment();
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
}

void writePropertiesFile(const std::string& contents) {
  std::ofstream("tavix.properties", std::ios::binary) << contents;
}

class RecordingClient : public NullNorvaneClient {
 public:
  std::vector<std::string> levels;
  void setLogLevel(const std::string& levelName) override { levels.push_back(levelName); }
};

}  // namespace

TEST(LogLevels, PropertyLevelIsAppliedOnceAndBadValuesWarn) {
  LogCapture log;
  auto client = std::make_shared<RecordingClient>();

  startWithEnvironmentLevel("ERROR");
  for (const std::string value : {"verbose", "error", ""}) {
    writePropertiesFile("tavix_creo_log_level=" + value + "\n");
    TavixProperties::load();
    applyPropertyLogLevel();
    EXPECT_EQ(currentLogLevel(), LogLevel::Error) << value;
  }

  writePropertiesFile("tavix_creo_log_level=Debug\n");
  TavixProperties::load();
  {
    CloudConnection cloud([client] { return client; });
    cloud.client();
    applyPropertyLogLevel();
  }
  EXPECT_EQ(currentLogLevel(), LogLevel::Debug);
  EXPECT_THAT(client->levels, ElementsAre("debug"));

  std::vector<std::string> messages = log.messages();
  std::erase_if(messages, [](const std::string& m) { return m.starts_with("[DEBUG] [Tavix] TavixProperties::load"); });
  EXPECT_THAT(messages, ElementsAre("[INFO] [Tavix] Log level set to ERROR (env)",
                                    "[WARNING] [Tavix] tavix.properties: unrecognised value for tavix_creo_log_level: "
                                    "\"verbose\" \xE2\x80\x94 ignoring.",
                                    "[INFO] [Tavix] Log level set to DEBUG (properties)"));
  startWithEnvironmentLevel(nullptr);
}

TEST(LogLevels, ClientLibraryMessagesArriveThroughTheAdapter) {
  LogCapture log;
  startWithEnvironmentLevel("info");
  std::shared_ptr<norvane::INorvaneLogger> adapter = std::make_shared<NorvaneLoggerAdapter>();
  adapter->debug("[norvane] hidden");
  adapter->info("[norvane] signed in");
  adapter->warning("[norvane] slow");
  adapter->error("untagged");
  EXPECT_THAT(log.messages(), ElementsAre("[INFO] [Tavix] Log level set to INFO (env)", "[INFO] [norvane] signed in",
                                          "[WARNING] [norvane] slow", "[ERROR] [Tavix] untagged"));
}
