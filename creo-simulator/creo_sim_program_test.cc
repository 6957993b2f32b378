// The creo-sim program as Creo: each case runs in a process of its own, so the
// client library is loaded (or not) afresh.
#include "addin_library_test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kClientLibrary = fs::path(TAVIX_CLIENT_LIBRARY_FILE).filename().string();

TEST(SimProgram, FromALongInstallPathTheAddinStartsWithItsOwnClientLibrary) {
  // Over 260 characters in all: on Windows the module name buffer must grow.
  InstalledAddin installed(std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c'));
  ASSERT_GT(installed.addinFile().string().size(), 260u);

  const std::string output = installed.runSimulator("load\nmodule " + kClientLibrary + "\nribbon\nunload\n");
  EXPECT_NE(output.find("user_initialize returned 0 (started)"), std::string::npos) << output;
  EXPECT_NE(output.find("button -> tavixRibbonButton: \"Upload to Tavix\""), std::string::npos) << output;
  // The copy beside the add-in is the one in use, not one found on a search path.
  const std::string prefix = kClientLibrary + ": ";
  const size_t at = output.find(prefix);
  ASSERT_NE(at, std::string::npos) << output;
  std::string loaded = output.substr(at + prefix.size(), output.find('\n', at) - at - prefix.size());
  if (!loaded.empty() && loaded.back() == '\r') loaded.pop_back();
  EXPECT_EQ(fs::path(loaded).lexically_normal().generic_string(),
            (installed.installFolder() / kClientLibrary).lexically_normal().generic_string());
  EXPECT_EQ(installed.logText().find("[ERROR]"), std::string::npos) << installed.logText();
}

TEST(SimProgram, WithoutTheClientLibraryTheAddinDoesNotStartAndSaysWhy) {
  InstalledAddin installed("tavix-creo", /*withClientLibrary=*/false);
  const std::string output = installed.runSimulator("load\n");
#if defined(_WIN32)
  // Delay-loaded: the add-in loads, finds the library missing and reports it.
  EXPECT_NE(output.find("user_initialize returned 1 (failed to start)"), std::string::npos) << output;
  const std::string failure = "Failed to load norvane.dll from \"" + installed.installFolder().string() +
                              "\\norvane.dll\": ";
  const std::vector<std::string> expectedLines = {"[ERROR] [Tavix] " + failure,
                                                  "[ERROR] [Tavix] Error during integration initialization: " + failure};
  for (const std::string& expected : expectedLines) {
    int found = 0;
    for (const std::string& message : installed.logMessages()) {
      if (message.rfind(expected, 0) != 0) continue;
      ++found;
      // The system's own wording, then the code.
      const std::string rest = message.substr(expected.size());
      EXPECT_GT(rest.size(), std::string(" (Win32 error 126).").size()) << message;
      EXPECT_EQ(rest.substr(rest.size() - 19), " (Win32 error 126).") << message;
      EXPECT_EQ(rest.rfind("unknown error", 0), std::string::npos) << message;
    }
    EXPECT_EQ(found, 1) << expected << "\n" << installed.logText();
  }
#else
  // Linked with RUNPATH $ORIGIN: without its client library the add-in cannot be loaded at all.
  EXPECT_NE(output.find("load: Cannot load add-in"), std::string::npos) << output;
  EXPECT_NE(output.find(kClientLibrary), std::string::npos) << output;
#endif
}

}  // namespace
