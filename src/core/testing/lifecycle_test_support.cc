#include "core/testing/lifecycle_test_support.h"

#include <fstream>
#include <random>

#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/session_temp_directory.h"
#include "core/testing/test_environment.h"

namespace fs = std::filesystem;

namespace {

// The system temporary directory is pointed at a private folder only while the
// add-in resolves its base; afterwards it points at a sibling, so that the log
// captures' working directories never sit inside the base under test.
class PrivateBaseEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::random_device random;
    root_ = fs::temp_directory_path() / ("tvx-lifecycle-" + std::to_string(random()) + std::to_string(random()));
    base_ = root_ / "base";
    fs::create_directories(base_);
    fs::create_directories(root_ / "work");
    setTemp(base_);
    const fs::path previous = fs::current_path();
    fs::current_path(root_ / "work");
    cleanupStaleTempDirectories();  // resolves and keeps the base
    fs::current_path(previous);
    setTemp(root_ / "work");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  const fs::path& base() const { return base_; }

 private:
  static void setTemp(const fs::path& directory) {
    const std::string text = directory.string();
    for (const char* name : {"TMPDIR", "TMP", "TEMP"}) setEnvironmentVariable(name, text.c_str());
  }
  fs::path root_;
  fs::path base_;
};

PrivateBaseEnvironment* g_environment =
    static_cast<PrivateBaseEnvironment*>(::testing::AddGlobalTestEnvironment(new PrivateBaseEnvironment));

}  // namespace

const fs::path& testBaseDirectory() { return g_environment->base(); }

LifecycleTest::LifecycleTest() {
  useProperties();
  cleanupSessionTempDirectory();
  clearBase();
}

LifecycleTest::~LifecycleTest() {
  useProperties();
  cleanupSessionTempDirectory();
}

void LifecycleTest::useProperties(const std::string& extraLines) {
  std::ofstream(capture_.directory() / "tavix.properties") << "tavix_creo_log_level=DEBUG\n" << extraLines;
  TavixProperties::load();
  applyPropertyLogLevel();
}

void LifecycleTest::clearBase() {
  for (const fs::directory_entry& entry : fs::directory_iterator(testBaseDirectory())) fs::remove_all(entry.path());
}

bool LifecycleTest::logged(const std::string& levelAndMessage) const {
  for (const std::string& message : capture_.messages())
    if (message == levelAndMessage) return true;
  return false;
}

int LifecycleTest::countLogged(const std::string& prefix) const {
  int count = 0;
  for (const std::string& message : capture_.messages()) count += message.rfind(prefix, 0) == 0 ? 1 : 0;
  return count;
}

std::string LifecycleTest::logText() const {
  std::string text;
  for (const std::string& message : capture_.messages()) text += message + "\n";
  return text;
}
