// Windows: norvane.dll is delay-loaded, so the add-in loads without it and
// reports its absence itself; with it, the add-in's own copy is the one in use.
#include <windows.h>
#include <psapi.h>

#include <string>

#include "addin_library_test_support.h"

namespace fs = std::filesystem;

namespace {

// Every module of the process whose file is named norvane.dll.
std::vector<fs::path> loadedClientLibraries() {
  HMODULE modules[1024];
  DWORD needed = 0;
  std::vector<fs::path> found;
  if (!K32EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, &needed)) return found;
  for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) {
    wchar_t name[32768];
    const DWORD length = GetModuleFileNameW(modules[i], name, 32768);
    const fs::path file(std::wstring(name, length));
    if (_wcsicmp(file.filename().c_str(), L"norvane.dll") == 0) found.push_back(file);
  }
  return found;
}

bool sameFile(const fs::path& a, const fs::path& b) {
  std::error_code ignored;
  return fs::equivalent(a, b, ignored);
}

TEST(SimAddinLibraryWindows, FromALongInstallPathTheAddinLoadsItsOwnClientLibrary) {
  // Over 260 characters: the module name buffer must grow.
  const std::string folder = std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c');
  InstalledAddin installed(folder);
  ASSERT_GT(installed.addinFile().wstring().size(), 260u);

  creosim::AddinLibrary addin(installed.simulator(), installed.addinFile());
  ASSERT_EQ(addin.start(), 0) << installed.logText();
  EXPECT_TRUE(installed.simulator().ribbon().hasCommand("tavixRibbonButton"));
  std::vector<fs::path> clientLibraries = loadedClientLibraries();
  ASSERT_EQ(clientLibraries.size(), 1u);
  EXPECT_TRUE(sameFile(clientLibraries[0], installed.installFolder() / "norvane.dll")) << clientLibraries[0];

  addin.stop();
  EXPECT_EQ(installed.logText().find("[ERROR]"), std::string::npos) << installed.logText();
}

TEST(SimAddinLibraryWindows, WithoutTheClientLibraryStartUpFailsWithTheSystemsReason) {
  InstalledAddin installed("tavix-creo", /*withClientLibrary=*/false);
  creosim::AddinLibrary addin(installed.simulator(), installed.addinFile());
  EXPECT_EQ(addin.start(), 1);
  EXPECT_FALSE(installed.simulator().ribbon().hasCommand("tavixRibbonButton"));

  const std::string expectedPath = installed.installFolder().string() + "\\norvane.dll";
  const std::string failure = "Failed to load norvane.dll from \"";
  int fromLoader = 0;
  int fromStartUp = 0;
  for (const std::string& message : installed.logMessages()) {
    const std::string loaderLine = "[ERROR] [Tavix] " + failure;
    const std::string startUpLine = "[ERROR] [Tavix] Error during integration initialization: " + failure;
    const bool isLoader = message.rfind(loaderLine, 0) == 0;
    const bool isStartUp = message.rfind(startUpLine, 0) == 0;
    if (!isLoader && !isStartUp) continue;
    (isLoader ? fromLoader : fromStartUp) += 1;
    EXPECT_NE(message.find(expectedPath + "\": "), std::string::npos) << message;
    EXPECT_EQ(message.substr(message.size() - 19), " (Win32 error 126).") << message;
    // The system's own wording sits between the path and the code.
    const size_t textStart = message.find(expectedPath) + expectedPath.size() + 3;
    const std::string systemText = message.substr(textStart, message.size() - 19 - textStart);
    EXPECT_FALSE(systemText.empty());
    EXPECT_NE(systemText, "unknown error");
  }
  EXPECT_EQ(fromLoader, 1) << installed.logText();
  EXPECT_EQ(fromStartUp, 1) << installed.logText();
}

TEST(SimAddinLibraryWindows, ToolkitExceptionsThrownByCreoAreCaughtInTheAddin) {
  InstalledAddin installed("tavix-creo");
  installed.simulator().faults().failNext("pfcUICommand::Designate", "pfcXToolkitMsgNotFound");
  creosim::AddinLibrary addin(installed.simulator(), installed.addinFile());
  EXPECT_EQ(addin.start(), 1);
  EXPECT_NE(installed.logText().find("[ERROR] [Tavix] Integration initialization failed because a required message "
                                     "catalog entry was not found.\n"),
            std::string::npos)
      << installed.logText();
}

}  // namespace
