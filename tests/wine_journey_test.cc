// The Windows build under wine: creo-sim.exe loads tavix-creo.dll, which
// loads norvane.dll; the engineer signs in through the simulator's browser
// and uploads a part and an assembly to the local Tavix service running on
// Linux. Skipped when the Windows build or wine is not there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/testing/test_environment.h"
#include "self_signed_server.h"
#include "sim_model_file.h"
#include "sim_program_run.h"
#include "sim_text.h"
#include "unload_after_press.h"
#include "wine_program.h"

namespace fs = std::filesystem;

namespace {

using tavixtest::readFile;
using tavixtest::windowsPathOf;

const fs::path kSimulator = fs::path(TAVIX_WINDOWS_BIN_DIR) / "creo-sim.exe";

// creo-sim.exe with the add-in beside it, in the log's folder "work" whose
// properties point the add-in at `service`.
tavixtest::WineRun runWindowsCreo(const LogCapture& log, const tavixtest::LocalTavixService& service,
                                  const std::string& script) {
  writeServiceProperties(log.directory() / "work", service);
  return tavixtest::runCreoSim(kSimulator, {}, log.directory() / "work", script);
}

// The part's name and folder are not ASCII: the add-in's dialogs, log,
// temporary folder and the service all carry them as typed.
TEST(WineJourney, WindowsBuildSignsInAndUploadsAPartAndAnAssembly) {
  if (!fs::exists(kSimulator) || tavixtest::wineLoader().empty())
    GTEST_SKIP() << "no Windows build at " << kSimulator << " or no wine";
  LogCapture log;
  tavixtest::LocalTavixService service;
  const fs::path models = log.directory() / creosim::pathOf("Jürgen") / "Konstruktion";
  fs::create_directories(models);
  creosim::writeModelFile(models / creosim::pathOf("Lagerbock_Ü.prt.3"), "1711 22345 61234", 5000);
  std::ofstream(models / "part.json") << R"({"models": [{"name": "Lagerbock_Ü.prt", "file": "Lagerbock_Ü.prt.3"}],
                                            "current": "Lagerbock_Ü.prt"})";
  std::ostringstream script;
  script << "load\n"
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
  const tavixtest::WineRun creo = runWindowsCreo(log, service, script.str());
  EXPECT_EQ(creo.exitCode, 0) << creo.output;

  const std::string addinLog = readFile(log.directory() / "work" / "tavix-integration.log");
  const nlohmann::json stored = service.storedFiles();
  ASSERT_GE(stored.size(), 2u) << creo.output << addinLog;
  EXPECT_EQ(stored[0]["name"], "Lagerbock_Ü.prt");
  EXPECT_EQ(stored[0]["size"], 5000);
  EXPECT_EQ(stored[0]["workspace"], "Bracket Team");
  for (size_t i = 1; i < stored.size(); ++i) EXPECT_EQ(stored[i]["workspace"], "Gearbox");
  EXPECT_EQ(stored[1]["name"], "root.asm");
  for (const char* logged : {"[INFO] [Tavix] Login completed.",
                             "Resolved uploaded Tavix URL for primary file: Lagerbock_Ü.prt", "Staging model file: ",
                             "Jürgen", "Lagerbock_Ü.prt.3", "Model file staged: ",
                             "Upload succeeded: workspace_id=2, workspace_name=Gearbox"})
    EXPECT_NE(addinLog.find(logged), std::string::npos) << logged << "\n" << addinLog;
  // Open in Tavix: the simulator's browser fetched the uploaded file's page from the Linux service.
  EXPECT_NE(creo.output.find("Lagerbock_Ü.prt"), std::string::npos) << creo.output;
  EXPECT_NE(creo.output.find("  -> 200 from " + service.baseUrl() + "workspace/gearbox/file/"), std::string::npos)
      << creo.output;
}

// FreeLibrary unmaps the add-in: ten unloads, each right after a press whose
// Loading dialog failed, leave no thread of it to wake in the unmapped code.
TEST(WineJourney, UnloadsRightAfterAPressLeaveNothingRunning) {
  if (!fs::exists(kSimulator) || tavixtest::wineLoader().empty())
    GTEST_SKIP() << "no Windows build at " << kSimulator << " or no wine";
  LogCapture log;
  tavixtest::LocalTavixService service;
  const tavixtest::WineRun creo = runWindowsCreo(log, service, unloadAfterPressScript(10));
  EXPECT_EQ(creo.exitCode, 0) << creo.output;
  expectNothingRanAfterTermination(readFile(log.directory() / "work" / "tavix-integration.log"), 10);
}

// The client library's own tests, built for Windows, against the Linux
// service: its WinHTTP, Winsock and BCrypt code. Each case gets a fresh service.
TEST(WineJourney, ClientLibraryTestsPassUnderWine) {
  const fs::path tests = fs::path(TAVIX_WINDOWS_BIN_DIR) / "norvane_tests.exe";
  if (!fs::exists(tests) || tavixtest::wineLoader().empty()) GTEST_SKIP() << "no " << tests << " or no wine";
  const tavixtest::WineRun listing = tavixtest::runUnderWine(tests, {"--gtest_list_tests"});
  ASSERT_EQ(listing.exitCode, 0) << listing.output;
  // "Suite.Case" for each case listed: a suite's line, then its cases indented.
  std::vector<std::string> cases;
  std::istringstream lines(listing.output);
  std::string suite;
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != ' ') suite = line;
    else if (!line.empty() && !suite.empty()) cases.push_back(suite + line.substr(line.find_first_not_of(' ')));
  }
  ASSERT_GE(cases.size(), 9u) << listing.output;

  tavixtest::SelfSignedServer tls;
  setEnvironmentVariable(tavixtest::kSelfSignedUrlVariable, tls.url().c_str());
  for (const std::string& name : cases) {
    tavixtest::LocalTavixService service;
    setEnvironmentVariable(tavixtest::kServiceUrlVariable, service.baseUrl().c_str());
    setEnvironmentVariable(tavixtest::kServiceSecretVariable, service.controlSecret().c_str());
    const tavixtest::WineRun ran = tavixtest::runUnderWine(tests, {"--gtest_filter=" + name});
    EXPECT_EQ(ran.exitCode, 0) << name << " under wine:\n" << ran.output;
    const bool ended = ran.output.find("[       OK ] " + name) != std::string::npos ||
                       ran.output.find("[  SKIPPED ] " + name) != std::string::npos;
    EXPECT_TRUE(ended) << name << " under wine:\n" << ran.output;
  }
  for (const char* variable : {tavixtest::kSelfSignedUrlVariable, tavixtest::kServiceUrlVariable,
                               tavixtest::kServiceSecretVariable})
    setEnvironmentVariable(variable, nullptr);
}

}  // namespace
