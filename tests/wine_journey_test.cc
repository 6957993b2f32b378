// The Windows build under wine: creo-sim.exe loads tavix-creo.dll, which
// loads norvane.dll; the engineer signs in through the simulator's browser
// and uploads a part and an assembly to the local Tavix service running on
// Linux. Skipped when the Windows build or wine is not there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/testing/log_capture.h"
#include "local_service.h"
#include "scripted_browser.h"
#include "sim_model_file.h"
#include "wine_program.h"

namespace fs = std::filesystem;

namespace {

using tavixtest::readFile;
using tavixtest::wineLoader;
using tavixtest::windowsPathOf;

TEST(WineJourney, WindowsBuildSignsInAndUploadsAPartAndAnAssembly) {
  const fs::path simulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";
  const fs::path wine = wineLoader();
  if (!fs::exists(simulator) || wine.empty()) GTEST_SKIP() << "no Windows build at " << simulator << " or no wine";

  LogCapture log;
  tavixtest::LocalTavixService service;
  const fs::path work = log.directory() / "work";
  const fs::path models = log.directory() / "models";
  fs::create_directories(work);
  fs::create_directories(models);
  std::ofstream(work / "tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                           << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                           << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                           << "tavix_creo_log_level=debug\n";
  creosim::writeModelFile(models / "bracket.prt.3", "1711 22345 61234", 5000);
  std::ofstream(models / "part.json") << R"({"models": [{"name": "bracket.prt", "file": "bracket.prt.3"}],
                                            "current": "bracket.prt"})";
  std::ofstream(log.directory() / "journey.sim")
      << "load\n"
      << "session " << windowsPathOf(models / "part.json") << "\n"
      << "signin-user " << tavixtest::kDemoEmail << " " << tavixtest::kDemoPassword << "\n"
      << "answer Start press LoginButton\n"
      << "press\n"
      << "browser 60\n"
      << "wait-log Login completed. 60\n"
      << "answer StartFileUpload select WorkspaceDropdown Bracket Team\n"
      << "answer StartFileUpload press UploadButton\n"
      << "answer Upload press CloseButton\n"
      << "press\n"
      << "generate " << windowsPathOf(models / "assembly") << " 12\n"
      << "answer StartFileUpload select WorkspaceDropdown Gearbox\n"
      << "answer StartFileUpload press UploadButton\n"
      << "answer Upload press OpenInTavixButton\n"
      << "press\n"
      << "browser 60\n"
      << "dialogs\n"
      << "unload\n";
  const fs::path output = log.directory() / "creo-sim.out";
  const std::string command = "WINEDEBUG=-all '" + wine.string() + "' '" + simulator.string() + "' --workdir '" +
                              windowsPathOf(work) + "' --script '" + windowsPathOf(log.directory() / "journey.sim") +
                              "' > '" + output.string() + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << readFile(output);

  const std::string addinLog = readFile(work / "tavix-integration.log");
  const nlohmann::json stored = service.storedFiles();
  ASSERT_GE(stored.size(), 2u) << readFile(output) << addinLog;
  EXPECT_EQ(stored[0]["name"], "bracket.prt");
  EXPECT_EQ(stored[0]["size"], 5000);
  EXPECT_EQ(stored[0]["workspace"], "Bracket Team");
  for (size_t i = 1; i < stored.size(); ++i) EXPECT_EQ(stored[i]["workspace"], "Gearbox");
  EXPECT_EQ(stored[1]["name"], "root.asm");
  EXPECT_NE(addinLog.find("[INFO] [Tavix] Login completed."), std::string::npos) << addinLog;
  EXPECT_NE(addinLog.find("Upload succeeded: workspace_id=2, workspace_name=Gearbox"), std::string::npos);
  // Open in Tavix: the simulator's browser fetched the uploaded file's page from the Linux service.
  const std::string transcript = readFile(output);
  EXPECT_NE(transcript.find("/workspace/gearbox/file/"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("  -> 200 from " + service.baseUrl() + "workspace/gearbox/file/"), std::string::npos)
      << transcript;
}

// The client library's Windows code (WinHTTP calls, the Winsock redirect
// listener, BCrypt for PKCE) against the Linux service: norvane_smoke.exe
// reads the user and workspaces, uploads a file and signs in through a
// scripted browser.
TEST(WineJourney, WindowsClientLibraryTalksToTheLinuxService) {
  const fs::path smoke = fs::path(TAVIX_WINDOWS_BIN_DIR) / "norvane_smoke.exe";
  const fs::path wine = wineLoader();
  if (!fs::exists(smoke) || wine.empty()) GTEST_SKIP() << "no " << smoke << " or no wine";

  tavixtest::LocalTavixService service;
  const std::string token = service.issueTokens()["access_token"];
  const std::string command = "WINEDEBUG=-all '" + wine.string() + "' '" + smoke.string() + "' " +
                              service.baseUrl() + " " + tavixtest::kLocalClientId + " " + token + " 2>&1";
  FILE* output = popen(command.c_str(), "r");
  ASSERT_NE(output, nullptr);
  std::string transcript;
  tavixtest::BrowserPage page;
  char line[4096];
  while (std::fgets(line, sizeof line, output)) {
    transcript += line;
    const std::string text = line;
    if (text.rfind("authorize: ", 0) == 0) {
      const std::string address = text.substr(11, text.find_last_not_of("\r\n") - 10);
      page = tavixtest::ScriptedBrowser().signIn(address, tavixtest::kDemoEmail, tavixtest::kDemoPassword);
    }
  }
  EXPECT_EQ(pclose(output), 0) << transcript;
  EXPECT_NE(transcript.find("user: Demo Engineer <engineer@example.com>"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("workspace 1: Bracket Team"), std::string::npos);
  EXPECT_NE(transcript.find("uploaded norvane-smoke.prt: " + service.baseUrl() + "workspace/bracket-team/file/"),
            std::string::npos);
  EXPECT_EQ(page.status, 200) << page.body;
  EXPECT_NE(transcript.find("signed in: access token of"), std::string::npos);
  const nlohmann::json stored = service.storedFiles();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0]["size"], 3 * 1024 * 1024 + 5);
}

}  // namespace
