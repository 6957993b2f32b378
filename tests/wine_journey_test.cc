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
#include <string>
#include <vector>

#include "core/testing/log_capture.h"
#include "local_service.h"
#include "self_signed_server.h"
#include "sim_model_file.h"
#include "sim_text.h"
#include "unload_after_press.h"
#include "wine_program.h"

namespace fs = std::filesystem;

namespace {

using tavixtest::readFile;
using tavixtest::wineLoader;
using tavixtest::windowsPathOf;

// creo-sim.exe under wine, with a working folder whose properties point the
// add-in at this test's service.
struct WineCreo {
  fs::path simulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";
  fs::path wine = wineLoader();
  bool available() const { return fs::exists(simulator) && !wine.empty(); }

  // Runs `script`; its exit status, with its output in `output`.
  int run(const fs::path& script, const fs::path& output) const {
    const std::string command = "WINEDEBUG=-all '" + wine.string() + "' '" + simulator.string() + "' --workdir '" +
                                windowsPathOf(work) + "' --script '" + windowsPathOf(script) + "' > '" +
                                output.string() + "' 2>&1";
    return std::system(command.c_str());
  }
  void useWorkFolder(const fs::path& folder, const tavixtest::LocalTavixService& service) {
    work = folder;
    fs::create_directories(work);
    std::ofstream(work / "tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                             << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                             << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                             << "tavix_creo_log_level=debug\n";
  }
  fs::path work;
};

// The part's name and folder are not ASCII: the add-in's dialogs, log,
// temporary folder and the service all carry them as typed.
TEST(WineJourney, WindowsBuildSignsInAndUploadsAPartAndAnAssembly) {
  WineCreo creo;
  if (!creo.available()) GTEST_SKIP() << "no Windows build at " << creo.simulator << " or no wine";

  LogCapture log;
  tavixtest::LocalTavixService service;
  creo.useWorkFolder(log.directory() / "work", service);
  const fs::path models = log.directory() / creosim::pathOf("Jürgen") / "Konstruktion";
  const fs::path work = creo.work;
  fs::create_directories(models);
  creosim::writeModelFile(models / creosim::pathOf("Lagerbock_Ü.prt.3"), "1711 22345 61234", 5000);
  std::ofstream(models / "part.json") << R"({"models": [{"name": "Lagerbock_Ü.prt", "file": "Lagerbock_Ü.prt.3"}],
                                            "current": "Lagerbock_Ü.prt"})";
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
  EXPECT_EQ(creo.run(log.directory() / "journey.sim", output), 0) << readFile(output);

  const std::string addinLog = readFile(work / "tavix-integration.log");
  const nlohmann::json stored = service.storedFiles();
  ASSERT_GE(stored.size(), 2u) << readFile(output) << addinLog;
  EXPECT_EQ(stored[0]["name"], "Lagerbock_Ü.prt");
  EXPECT_EQ(stored[0]["size"], 5000);
  EXPECT_EQ(stored[0]["workspace"], "Bracket Team");
  for (size_t i = 1; i < stored.size(); ++i) EXPECT_EQ(stored[i]["workspace"], "Gearbox");
  EXPECT_EQ(stored[1]["name"], "root.asm");
  EXPECT_NE(addinLog.find("[INFO] [Tavix] Login completed."), std::string::npos) << addinLog;
  EXPECT_NE(addinLog.find("Resolved uploaded Tavix URL for primary file: Lagerbock_Ü.prt"), std::string::npos)
      << addinLog;
  for (const char* logged : {"Staging model file: ", "Jürgen", "Lagerbock_Ü.prt.3", "Model file staged: "})
    EXPECT_NE(addinLog.find(logged), std::string::npos) << logged << "\n" << addinLog;
  EXPECT_NE(addinLog.find("Upload succeeded: workspace_id=2, workspace_name=Gearbox"), std::string::npos);
  // Open in Tavix: the simulator's browser fetched the uploaded file's page from the Linux service.
  const std::string transcript = readFile(output);
  EXPECT_NE(transcript.find("Lagerbock_Ü.prt"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("/workspace/gearbox/file/"), std::string::npos) << transcript;
  EXPECT_NE(transcript.find("  -> 200 from " + service.baseUrl() + "workspace/gearbox/file/"), std::string::npos)
      << transcript;
}

// FreeLibrary unmaps the add-in: ten unloads, each right after a press whose
// Loading dialog failed, leave no thread of it to wake in the unmapped code.
TEST(WineJourney, UnloadsRightAfterAPressLeaveNothingRunning) {
  WineCreo creo;
  if (!creo.available()) GTEST_SKIP() << "no Windows build at " << creo.simulator << " or no wine";

  LogCapture log;
  tavixtest::LocalTavixService service;
  creo.useWorkFolder(log.directory() / "work", service);
  std::ofstream(log.directory() / "unload.sim") << unloadAfterPressScript(10);
  const fs::path output = log.directory() / "creo-sim.out";
  EXPECT_EQ(creo.run(log.directory() / "unload.sim", output), 0) << readFile(output);
  const std::string addinLog = readFile(creo.work / "tavix-integration.log");
  size_t started = 0;
  for (size_t at = addinLog.find("Loading worker started."); at != std::string::npos;
       at = addinLog.find("Loading worker started.", at + 1))
    ++started;
  EXPECT_EQ(started, 10u) << addinLog;
  EXPECT_EQ(loggedAfterTermination(addinLog), "") << addinLog;
  EXPECT_EQ(addinLog.find("Loading worker completed."), std::string::npos) << addinLog;
}

// Everything a command printed, and its exit status. The output goes through a
// file: a wineserver that wine starts keeps a pipe open after the program ends.
struct Ran {
  int status = -1;
  std::string output;
};

Ran run(const std::string& command, const fs::path& outputFile) {
  Ran ran;
  ran.status = std::system((command + " > '" + outputFile.string() + "' 2>&1").c_str());
  ran.output = readFile(outputFile);
  return ran;
}

// "Suite.Case" for each case that a GoogleTest program lists.
std::vector<std::string> listedCases(const std::string& listing) {
  std::vector<std::string> cases;
  std::istringstream lines(listing);
  std::string suite;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (line[0] != ' ') suite = line;
    else if (!suite.empty()) cases.push_back(suite + line.substr(line.find_first_not_of(' ')));
  }
  return cases;
}

// The client library's own tests, built for Windows, against the Linux
// service: its WinHTTP, Winsock and BCrypt code. Each case gets a fresh service.
TEST(WineJourney, ClientLibraryTestsPassUnderWine) {
  const fs::path tests = fs::path(TAVIX_WINDOWS_BIN_DIR) / "norvane_tests.exe";
  const fs::path wine = wineLoader();
  if (!fs::exists(tests) || wine.empty()) GTEST_SKIP() << "no " << tests << " or no wine";

  LogCapture log;
  const fs::path output = log.directory() / "norvane_tests.out";
  const std::string program = "WINEDEBUG=-all '" + wine.string() + "' '" + tests.string() + "'";
  const Ran listing = run(program + " --gtest_list_tests", output);
  ASSERT_EQ(listing.status, 0) << listing.output;
  const std::vector<std::string> cases = listedCases(listing.output);
  ASSERT_GE(cases.size(), 9u) << listing.output;
  tavixtest::SelfSignedServer tls;
  for (const std::string& name : cases) {
    tavixtest::LocalTavixService service;
    const Ran ran = run(std::string(tavixtest::kServiceUrlVariable) + "=" + service.baseUrl() + " " +
                        tavixtest::kServiceSecretVariable + "=" + service.controlSecret() + " " +
                        tavixtest::kSelfSignedUrlVariable + "=" + tls.url() + " " + program +
                        " --gtest_filter=" + name,
                        output);
    EXPECT_EQ(ran.status, 0) << name << " under wine:\n" << ran.output;
    const bool ended = ran.output.find("[       OK ] " + name) != std::string::npos ||
                       ran.output.find("[  SKIPPED ] " + name) != std::string::npos;
    EXPECT_TRUE(ended) << name << " under wine:\n" << ran.output;
  }
}

}  // namespace
