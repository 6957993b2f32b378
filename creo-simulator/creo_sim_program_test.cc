// The creo-sim program as Creo: each case runs in a process of its own, so the
// client library is loaded (or not) afresh.
#include <algorithm>
#include <fstream>

#include "testing/addin_library_test_support.h"
#include "testing/text_parts_test_support.h"

namespace fs = std::filesystem;

namespace {

const std::string kClientLibrary = fs::path(TAVIX_CLIENT_LIBRARY_FILE).filename().string();

TEST(SimProgram, FromALongInstallPathTheAddinStartsWithItsOwnClientLibrary) {
  // Over 260 characters in all: on Windows the module name buffer must grow.
  InstalledAddin installed(std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c'));
  ASSERT_GT(installed.addinFile().string().size(), 260u);

  const std::string output = installed.runSimulator("load\nmodule " + kClientLibrary + "\nribbon\nunload\n");
  EXPECT_HAS_PARTS(output, {"user_initialize returned 0 (started)", "button -> tavixRibbonButton: \"Upload to Tavix\""});
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

TEST(SimProgram, AScriptArmsAnyFaultOnAnyOperationAndUnknownOnesAreRefused) {
  InstalledAddin installed("tavix-creo");
  std::string output = installed.runSimulator(
      "faults\n"
      "fault pfcUICommand::Designate pfcXToolkitMsgNotFound\n"
      "load\n"
      "fault pfcModel::GetRevision SimulatedProcessorFault always\n"
      "fault clear\n"
      "fault pfcNoSuch::Operation pfcXToolkitNotFound\n");
  std::erase(output, '\r');  // Windows' console lines end in CR LF
  EXPECT_HAS_PARTS(output, {"  pfcBaseSession::CopyFileFromWS\n", "  uifcLabel::SetText\n", "  pfcXToolkitUnsupported\n",
                            "  SimulatedProcessorFault\n",
                            "pfcUICommand::Designate throws pfcXToolkitMsgNotFound on the next 1 call(s)\n",
                            "user_initialize returned 1 (failed to start)\n",
                            "pfcModel::GetRevision throws SimulatedProcessorFault on every call\n", "no fault armed\n",
                            "unknown operation: pfcNoSuch::Operation"});
  // The toolkit exception crossed from the simulator into the loaded add-in and was caught there.
  EXPECT_HAS_PARTS(installed.logText(), {"[ERROR] [Tavix] Integration initialization failed because a required message "
                                         "catalog entry was not found.\n"});
}

TEST(SimProgram, WithoutTheClientLibraryTheAddinDoesNotStartAndSaysWhy) {
  InstalledAddin installed("tavix-creo", /*withClientLibrary=*/false);
  const std::string output = installed.runSimulator("load\n");
#if defined(_WIN32)
  // Delay-loaded: the add-in loads, finds the library missing and reports it.
  EXPECT_HAS_PARTS(output, {"user_initialize returned 1 (failed to start)"});
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
  EXPECT_HAS_PARTS(output, {"load: Cannot load add-in", kClientLibrary});
#endif
}

// The registration file an administrator writes: full paths, "end" last.
std::string registrationOf(const InstalledAddin& installed, const std::string& extraLines = "") {
  return "name tavix-creo\nstartup dll\ntoolkit object\n" + extraLines + "exec_file " + installed.addinFile().string() +
         "\ntext_dir " + (installed.installFolder() / "text").string() + "\nrevision 9.0\nend\n";
}

TEST(SimProgram, RegisteredWithFullPathsTheAddinStartsFromAFolderWithASpace) {
  InstalledAddin installed("Tavix Creo");
  const fs::path registration = installed.writeRegistration(registrationOf(installed, "fail_tol FALSE\n"));
  const std::string output = installed.runRegisteredSimulator(registration, "load\nribbon\nunload\n");
  EXPECT_HAS_PARTS(output, {"user_initialize returned 0 (started)",
                            "button -> tavixRibbonButton: \"Upload to Tavix\" (Upload the model in the active window to "
                            "a Tavix workspace.) icon=tavix_logo_toolbar.png"});
  EXPECT_EQ(installed.logText().find("[ERROR]"), std::string::npos) << installed.logText();
}

TEST(SimProgram, ABrokenRegistrationIsRefusedBeforeTheAddinLoads) {
  InstalledAddin installed("tavix-creo");
  const std::string good = registrationOf(installed);
  auto without = [&](const std::string& line) {
    std::string text = good;
    return text.erase(text.find(line), line.size());
  };
  const std::vector<std::pair<std::string, std::string>> cases = {
      {without("end\n"), "creotk.dat: no \"end\" line"},
      {without("toolkit object\n"), "creotk.dat: no \"toolkit\" line (required for an Object TOOLKIT C++ application)"},
      {"exec_file_path x\n" + good, "creotk.dat:1: unknown keyword \"exec_file_path\""},
      {"name tavix-creo\nstartup dll\ntoolkit object\nexec_file tavix-creo.dll\ntext_dir text\nend\n",
       "creotk.dat:4: exec_file must be a full path: tavix-creo.dll"},
      {"fail_tol MAYBE\n" + good, "creotk.dat:1: fail_tol must be TRUE or FALSE"},
      {good + "name other\nend\n", "creotk.dat:8: creo-sim hosts one application: nothing may follow its \"end\""},
  };
  for (const auto& [text, error] : cases) {
    const std::string output = installed.runRegisteredSimulator(installed.writeRegistration(text), "load\n");
    EXPECT_HAS_PARTS(output, {error});
    EXPECT_EQ(output.find("user_initialize"), std::string::npos) << output;
  }
  EXPECT_TRUE(installed.logMessages().empty()) << installed.logText();
}

// Without "fail_tol TRUE" an application that fails to start takes Creo down with it.
TEST(SimProgram, AFailedStartEndsCreoUnlessTheRegistrationToleratesIt) {
  InstalledAddin installed("tavix-creo");
  std::ofstream(installed.installFolder() / "text/usascii/ribbon/toolkitribbonui.rbn", std::ios::trunc)
      << "<ribbon></ribbon>";
  const std::string script = "load\nlog\n";
  const std::string initializationFailed = "Integration initialization failed because a Creo ribbon or icon resource";

  std::string output = installed.runRegisteredSimulator(installed.writeRegistration(registrationOf(installed)), script);
  EXPECT_HAS_PARTS(output, {"user_initialize returned 1 (failed to start)",
                            "tavix-creo did not start and its registration has no \"fail_tol TRUE\": Creo shuts down"});
  EXPECT_EQ(output.find(initializationFailed), std::string::npos) << "the script went on:\n" << output;

  output = installed.runRegisteredSimulator(
      installed.writeRegistration(registrationOf(installed, "fail_tol TRUE\n")), script);
  EXPECT_HAS_PARTS(output, {"tavix-creo did not start; Creo carries on without it", initializationFailed});
}

// A script asks for pictures of every dialog state, and of the dialogs on
// screen when none is; the Windows simulator says that it draws none.
TEST(SimProgram, PicturesOfTheDialogsAreDrawnAsTheyAppear) {
  InstalledAddin installed("tavix-creo");
  const std::string output =
      installed.runSimulator("pictures pics\nload\nanswer Start close\npress\nunload\npicture now.png\n");
  const fs::path pictures = installed.installFolder().parent_path() / "work" / "pics";
  EXPECT_HAS_PARTS(output, {"pictures of the dialogs go to " + pictures.string(), "picture: no dialog is on screen"});
#if defined(_WIN32)
  EXPECT_HAS_PARTS(output, {"no picture of Loading: the Windows simulator draws no pictures of dialogs"});
  EXPECT_TRUE(fs::is_empty(pictures));
#else
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(pictures)) files.push_back(entry.path().filename().string());
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"01-Loading.png", "01-Loading.svg", "02-Start.png", "02-Start.svg"}));
  EXPECT_HAS_PARTS(output, {"picture " + (pictures / "02-Start.png").string() + " ("});
#endif
}

}  // namespace
