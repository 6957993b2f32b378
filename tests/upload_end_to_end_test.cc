// A signed-in Creo user uploads the model in the active window: the simulated
// Creo runs the add-in, which exports the model and sends it with the client
// library to the local Tavix service. What the user saw, what the log says and
// what the service stored are checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include "cloud/cloud_connection.h"
#include "http_exchange.h"
#include "sim_text.h"
#include "upload/upload_operation_dialog.h"
#include "upload_journey.h"

namespace {

using namespace std::chrono_literals;
using creosim::DialogView;
using creosim::SimModelDefinition;
using Files = std::vector<std::string>;

// Chooses the workspace, lets the upload run to its end and closes the progress dialog.
void uploadAndClose(UploadJourney& journey, const std::string& workspace) {
  journey.chooseWorkspace(workspace);
  journey.user().press("Upload", "CloseButton");
  journey.pressTavixButton();
}

// Nothing went wrong at the dialogs, none is left open, and nothing is left in
// the temporary directory.
void expectCleanEnd(UploadJourney& journey) {
  EXPECT_TRUE(journey.user().problems().empty()) << journey.user().transcript();
  EXPECT_TRUE(journey.creo().dialogs().problems().empty());
  EXPECT_TRUE(journey.creo().dialogs().openDialogs().empty());
  EXPECT_TRUE(journey.leftInTemp().empty());
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// What a user's model file is, as far as an upload could change it.
std::string fileState(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream state;
  state << in.rdbuf() << " written " << std::filesystem::last_write_time(file).time_since_epoch().count() << " mode "
        << static_cast<int>(std::filesystem::status(file).permissions()) << " links "
        << std::filesystem::hard_link_count(file);
  return state.str();
}

TEST(UploadEndToEnd, PartIsStoredUnderItsNameAndOpensInTavix) {
  UploadJourney journey;
  journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
  journey.chooseWorkspace("Bracket Team");
  journey.user().check("Upload", [](const DialogView& view) {
    EXPECT_EQ(view.text("PrimaryStatusLabel"), "Upload Complete!");
    EXPECT_EQ(view.text("SecondaryStatusLabel").rfind("Uploaded ", 0), 0u) << view.text("SecondaryStatusLabel");
    EXPECT_EQ(view.text("ModelNameLabel"), "bracket.prt");
    EXPECT_EQ(view.text("WorkspaceNameLabel"), "Bracket Team");
    EXPECT_EQ(view.image("ProgressAnimationLabel"), "tavix_upload_complete.png");
    EXPECT_FALSE(view.isShown("FooterLayout"));
    EXPECT_EQ(view.shownButtons(),
              (std::vector<std::string>{"Open in Tavix", "Upload to Another Workspace", "Close"}));
  });
  journey.user().press("Upload", "OpenInTavixButton");
  journey.pressTavixButton();

  EXPECT_EQ(journey.storedFiles(), Files{"bracket.prt 5000 v1"});
  const nlohmann::json stored = journey.service().storedFiles()[0];
  EXPECT_EQ(stored["workspace"], "Bracket Team");
  EXPECT_EQ(stored["sha256"].get<std::string>().size(), 64u);
  // While the transfer ran, the progress dialog was kept painted.
  EXPECT_GT(journey.creo().dialogs().activations("Upload"), 2);

  ASSERT_TRUE(journey.creo().windows().browser().waitUntilIdle(30s));
  const auto visits = journey.creo().windows().browser().visits();
  ASSERT_EQ(visits.size(), 1u);
  const std::string expected = journey.service().baseUrl() + "workspace/bracket-team/file/" +
                               std::to_string(stored["fileId"].get<int64_t>());
  EXPECT_EQ(visits[0].url, expected);
  EXPECT_EQ(visits[0].load.status, 200) << visits[0].load.body;
  EXPECT_TRUE(contains(visits[0].load.body, "bracket.prt"));
  for (const char* line : {"[INFO] [Tavix] Upload initiated: workspace_id=1, workspace_name=Bracket Team",
                           "[INFO] [Tavix] Launching upload operation dialog.",
                           "[INFO] [Tavix] Upload succeeded: workspace_id=1, workspace_name=Bracket Team",
                           "[DEBUG] [Tavix] Upload dialog closed.",
                           "Resolved uploaded Tavix URL for primary file: bracket.prt"})
    EXPECT_TRUE(journey.logged(line)) << line;
  expectCleanEnd(journey);

  // Saved again, as bracket.prt.4: a new revision of the same file.
  journey.writeModel("bracket.prt.4", 6000);
  std::filesystem::remove(journey.models() / "bracket.prt.3");
  std::filesystem::rename(journey.models() / "bracket.prt.4", journey.models() / "bracket.prt.3");
  uploadAndClose(journey, "Bracket Team");
  const nlohmann::json both = journey.service().storedFiles();
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(both[1]["name"], "bracket.prt");
  EXPECT_EQ(both[1]["fileId"], both[0]["fileId"]);
  EXPECT_NE(both[1]["revisionId"], both[0]["revisionId"]);
  EXPECT_EQ(both[1]["size"], 6000);
}

// A name and a folder outside ASCII reach the dialogs, the log, the temporary
// folder and the service as typed.
TEST(UploadEndToEnd, NonAsciiPartInANonAsciiFolderKeepsItsName) {
  UploadJourney journey;
  const std::filesystem::path folder = journey.models() / creosim::pathOf("Jürgen/Konstruktion");
  std::filesystem::create_directories(folder);
  journey.addCurrentModel(journey.localModel("Lagerbock_Ü.prt", "Jürgen/Konstruktion/Lagerbock_Ü.prt.2", 3000));
  journey.chooseWorkspace("Bracket Team");
  // Creo names model files in lower case, ASCII letters only.
  journey.user().check("Upload", [](const DialogView& view) { EXPECT_EQ(view.text("ModelNameLabel"), "lagerbock_Ü.prt"); });
  journey.user().press("Upload", "CloseButton");
  journey.pressTavixButton();

  EXPECT_EQ(journey.storedFiles(), Files{"Lagerbock_Ü.prt 3000 v1"}) << journey.logText();
  EXPECT_TRUE(journey.logged("Staging model file: " + creosim::utf8Of(folder / creosim::pathOf("Lagerbock_Ü.prt.2"))));
  EXPECT_TRUE(journey.logged("Resolved uploaded Tavix URL for primary file: Lagerbock_Ü.prt"));
  expectCleanEnd(journey);
}

TEST(UploadEndToEnd, AssemblySendsEachDistinctFileOnceAndUploadAnotherReturnsToTheUploadDialog) {
  UploadJourney journey;
  auto& models = journey.creo().models();
  models.addModel(journey.localModel("bolt.prt", "bolt.prt.2", 1000));
  models.addModel(journey.localModel("plate.prt", "plate.prt.1", 2000));
  SimModelDefinition frame = journey.localModel("frame.asm", "frame.asm.7", 3000);
  frame.components = {{"bolt.prt"}, {"bolt.prt"}, {"plate.prt"}, {"bolt.prt"}};
  journey.addCurrentModel(frame);
  std::map<std::string, std::string> before;
  for (const char* file : {"bolt.prt.2", "plate.prt.1", "frame.asm.7"}) before[file] = fileState(journey.models() / file);
  journey.chooseWorkspace("Gearbox");
  journey.user().press("Upload", "UploadAnotherWorkspaceButton");
  uploadAndClose(journey, "Bracket Team");

  Files stored = journey.storedFiles();
  std::sort(stored.begin(), stored.end());
  ASSERT_EQ(stored.size(), 6u) << journey.logText() << journey.user().transcript();
  EXPECT_EQ(stored, (Files{"bolt.prt 1000 v1", "bolt.prt 1000 v1", "frame.asm 3000 v1", "frame.asm 3000 v1",
                           "plate.prt 2000 v1", "plate.prt 2000 v1"}));
  const nlohmann::json files = journey.service().storedFiles();
  EXPECT_EQ(files[0]["workspace"], "Gearbox");
  EXPECT_EQ(files[5]["workspace"], "Bracket Team");
  EXPECT_EQ(journey.user().seenDialogs(),
            (std::vector<std::string>{"StartFileUpload", "Upload", "StartFileUpload", "Upload"}));
  expectCleanEnd(journey);
  // The temporary folder is on the models' volume: each upload staged the files
  // as links to them, and neither the upload nor the clean-up changed them.
  const auto messages = journey.messages();
  EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                          [](const std::string& line) { return contains(line, "File staged as a hard link: "); }),
            6);
  for (const auto& [file, state] : before) EXPECT_EQ(fileState(journey.models() / file), state) << file;
}

// Three failed transfers retried in a row (the file arrives once), Upload to
// Another Workspace, a session that expires on the way and a new sign-in, then
// the last upload: each dialog waits for the user as deep in Creo's stack as it
// did the first time. The depth is the distance in bytes between a local of this test and
// one of the check that runs while the dialog waits.
TEST(UploadEndToEnd, RetriesAnotherWorkspaceAndANewSignInLeaveTheStackAsItWas) {
  UploadJourney journey;
  journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
  journey.creo().windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  int transfers = 0;
  journey.setPauses(UploadPauses{[&] {
                                   if (++transfers <= 3) journey.service().failNext(1, 500);
                                 },
                                 {}});
  const char base = 0;
  std::map<std::string, std::vector<std::intptr_t>> depths;
  const auto measure = [&](const std::string& dialog) {
    const char here = 0;
    depths[dialog].push_back(reinterpret_cast<std::intptr_t>(&base) - reinterpret_cast<std::intptr_t>(&here));
  };
  // Every check measures through the same frames; `then` runs after.
  const auto measured = [&](const std::string& dialog, std::function<void()> then = {}) {
    return [&measure, dialog, then](const DialogView&) {
      measure(dialog);
      if (then) then();
    };
  };
  creosim::ScriptedDialogUser& user = journey.user();
  user.check("StartFileUpload", measured("StartFileUpload"));
  journey.chooseWorkspace("Bracket Team");
  user.check("UploadFailed", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorMessageLabel"), "An unexpected error occurred. Please try again.");
    EXPECT_EQ(view.text("ModelWorkspaceLabel"), "bracket.prt  \u2192  Bracket Team");
  });
  for (int retry = 0; retry < 3; ++retry)
    user.check("UploadFailed", measured("UploadFailed")).press("UploadFailed", "RetryUploadButton");
  user.check("Upload", measured("Upload")).press("Upload", "UploadAnotherWorkspaceButton");
  user.check("StartFileUpload", measured("StartFileUpload", [&] { journey.service().expireTokens(); }));
  journey.chooseWorkspace("Gearbox");
  user.check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorTitleLabel"), "Session Expired");
    EXPECT_EQ(view.text("ErrorMessageLabel"), "Your session has expired.\nPlease sign in again to continue.");
  });
  user.check("GenericError", measured("GenericError")).press("GenericError", "StartOverButton");
  // Start Over signed the expired session out.
  user.check("Start", measured("Start", [] { EXPECT_FALSE(getSessionManager().hasTokens()); }))
      .press("Start", "LoginButton");
  journey.pressTavixButton();

  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!getSessionManager().getCachedUser() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(getSessionManager().getCachedUser()) << journey.logText();
  user.check("StartFileUpload", measured("StartFileUpload"));
  journey.chooseWorkspace("Gearbox");
  user.check("Upload", measured("Upload")).press("Upload", "CloseButton");
  journey.pressTavixButton();

  EXPECT_EQ(journey.user().seenDialogs(),
            (std::vector<std::string>{"StartFileUpload", "Upload", "UploadFailed", "Upload", "UploadFailed", "Upload",
                                      "UploadFailed", "Upload", "StartFileUpload", "Upload", "GenericError",
                                      "Loading", "Start", "StartFileUpload", "Upload"}));
  EXPECT_EQ(journey.storedFiles(), (Files{"bracket.prt 5000 v1", "bracket.prt 5000 v1"}));
  const std::vector<std::string> messages = journey.messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "[INFO] [Tavix] User requested upload retry."), 3);
  EXPECT_TRUE(journey.logged("[INFO] [Tavix] Auth expired during upload. Redirecting to sign-in."));
  EXPECT_TRUE(journey.logged("[INFO] [Tavix] Login completed."));
  EXPECT_TRUE(journey.logged("[INFO] [Tavix] Upload succeeded: workspace_id=2, workspace_name=Gearbox"));
  ASSERT_EQ(depths["Upload"].size(), 2u);
  EXPECT_EQ(depths["Upload"].back(), depths["Upload"].front()) << "the last dialog against the first";
  for (const auto& [dialog, seen] : depths)
    for (const std::intptr_t depth : seen) EXPECT_EQ(depth, seen.front()) << dialog;
  EXPECT_EQ(depths["UploadFailed"].size(), 3u);
  EXPECT_EQ(depths["StartFileUpload"].size(), 3u);
  expectCleanEnd(journey);
}

// The user clicks the progress dialog's close control while the model is
// exported, or while a slow transfer runs: nothing happens until the
// completion panel, where it closes the dialog.
TEST(UploadEndToEnd, CloseControlDoesNothingWhileTheExportAndTheTransferRun) {
  for (const char* phase : {"Exporting your data for upload...", "Transferring file to Tavix..."}) {
    SCOPED_TRACE(phase);
    UploadJourney journey;
    journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
    journey.setPauses(UploadPauses{[&] { journey.service().setDelay(1000); },
                                   [&] { journey.service().setDelay(0); }});
    journey.chooseWorkspace("Bracket Team");
    journey.user().meanwhile("Upload", phase, creosim::DialogAction::close());
    journey.user().check("Upload", [](const DialogView& view) {
      EXPECT_EQ(view.text("PrimaryStatusLabel"), "Upload Complete!");
    });
    journey.user().close("Upload");
    journey.pressTavixButton();

    const std::string transcript = journey.user().transcript();
    EXPECT_TRUE(contains(transcript, "> meanwhile: close the window\n")) << transcript;
    EXPECT_EQ(journey.user().seenDialogs(), (std::vector<std::string>{"StartFileUpload", "Upload"}));
    EXPECT_EQ(journey.storedFiles(), Files{"bracket.prt 5000 v1"});
    EXPECT_TRUE(journey.logged("Upload succeeded: workspace_id=1, workspace_name=Bracket Team"));
    EXPECT_TRUE(journey.logged("Upload dialog closed."));
    EXPECT_FALSE(journey.logged("[ERROR]")) << journey.logText();
    expectCleanEnd(journey);
  }
}

// A Creo dialog call fails once the transfer has started: in the progress
// dialog's polling, or in the completion panel. The user is told what reached
// Tavix, only after the transfer has ended, and every staged file is removed.
TEST(UploadEndToEnd, ADialogFailureDuringTheTransferTellsWhatReachedTavix) {
  struct Case {
    const char* name;
    const char* failingOperation;
    bool serviceRefuses;
  };
  for (const Case& c : {Case{"polling, the files arrive", "uifcActivateDialog", false},
                        Case{"polling, the service refuses them", "uifcActivateDialog", true},
                        Case{"completion panel", "uifcDialog::SetDialogStyle", false}}) {
    SCOPED_TRACE(c.name);
    UploadJourney journey;
    journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
    // Armed from the transfer thread as it starts; the slow service keeps it
    // running while the progress dialog fails.
    journey.setPauses(UploadPauses{[&] {
                                     journey.creo().faults().failNext(c.failingOperation,
                                                                      "pfcXToolkitCantAccess");
                                     journey.service().setDelay(300);
                                     if (c.serviceRefuses) journey.service().failNext(1, 500, "complete");
                                   },
                                   [&] { journey.service().setDelay(0); }});
    journey.chooseWorkspace("Bracket Team");
    if (c.serviceRefuses) {
      journey.user().check("UploadFailed", [](const DialogView& view) {
        EXPECT_EQ(view.text("ErrorMessageLabel"), "An unexpected error occurred. Please try again.");
      });
      journey.user().press("UploadFailed", "CancelButton");
    } else {
      journey.user().check("GenericError", [](const DialogView& view) {
        EXPECT_EQ(view.text("ErrorTitleLabel"), "Upload Complete");
        EXPECT_EQ(view.text("ErrorMessageLabel"),
                  "Your model was uploaded to Tavix.\nOpen it from your workspace in Tavix.");
      });
      journey.user().close("GenericError");
    }
    journey.pressTavixButton();

    EXPECT_EQ(journey.storedFiles(), c.serviceRefuses ? Files{} : Files{"bracket.prt 5000 v1"});
    EXPECT_EQ(journey.creo().faults().fired(), 1);
    EXPECT_TRUE(journey.logged("[ERROR] [Tavix] Unknown error detected in UploadOperationDialog::showDialog."));
    EXPECT_EQ(journey.user().seenDialogs().back(), c.serviceRefuses ? "UploadFailed" : "GenericError");
    expectCleanEnd(journey);
  }
}

TEST(UploadEndToEnd, RemovedWorkspaceLeadsBackToTheUploadDialogOnlyThroughItsButton) {
  for (const bool pressBack : {true, false}) {
    SCOPED_TRACE(pressBack ? "Back to Upload" : "close control");
    UploadJourney journey;
    journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
    // Removed while the user looks at the upload dialog, after the list was read.
    journey.user().check("StartFileUpload", [&](const DialogView&) { journey.service().removeWorkspace(2); });
    journey.chooseWorkspace("Gearbox");
    journey.user().check("GenericError", [](const DialogView& view) {
      EXPECT_EQ(view.text("ErrorTitleLabel"), "Workspace no longer accessible");
      EXPECT_EQ(view.text("ErrorMessageLabel"),
                "The selected workspace is no longer accessible.\nPlease choose another workspace to continue.");
    });
    std::vector<std::string> expected = {"StartFileUpload", "Upload", "GenericError"};
    if (pressBack) {
      journey.user().press("GenericError", "StartOverButton");
      journey.user().check("StartFileUpload", [](const DialogView& view) {
        EXPECT_EQ(view.component("WorkspaceDropdown")->itemNames.size(), 2u);  // the placeholder and Bracket Team
      });
      journey.user().close("StartFileUpload");
      expected.push_back("StartFileUpload");
    } else {
      journey.user().close("GenericError");
    }
    journey.pressTavixButton();
    EXPECT_TRUE(journey.storedFiles().empty());
    EXPECT_EQ(journey.user().seenDialogs(), expected);
    EXPECT_EQ(journey.logged("Returning to upload dialog after workspace error."), pressBack);
    expectCleanEnd(journey);
  }
}

// The session is gone (signed out elsewhere) when a failed transfer is
// classified: whatever failed, the user is asked to sign in again.
TEST(UploadEndToEnd, NoTokensWhenAFailureIsClassifiedMeanTheSessionExpired) {
  UploadJourney journey;
  journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
  journey.setPauses(UploadPauses{[&] {
                                   journey.service().failNext(1, 500, "announce");
                                   getSessionManager().clear();
                                 },
                                 {}});
  journey.chooseWorkspace("Bracket Team");
  journey.user().check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorTitleLabel"), "Session Expired");
    EXPECT_EQ(view.text("ErrorMessageLabel"), "Your session has expired.\nPlease sign in again to continue.");
  });
  journey.user().close("GenericError");
  journey.pressTavixButton();
  EXPECT_TRUE(journey.storedFiles().empty());
  EXPECT_TRUE(journey.logged("[DEBUG] [Tavix] No auth tokens during failure classification; treating as auth expiry."));
  EXPECT_TRUE(journey.logged("[INFO] [Tavix] Auth expired during upload. Redirecting to sign-in."));
  expectCleanEnd(journey);
}

// A drawing whose PDF cannot be written: its text is shown and nothing is sent.
TEST(UploadEndToEnd, ExportFailureIsShownAndNothingIsSent) {
  UploadJourney journey;
  SimModelDefinition plan = journey.localModel("plan.drw", "plan.drw.2", 3000);
  journey.addCurrentModel(plan);
  journey.creo().faults().failNext("pfcModel::Export", "pfcXToolkitCantAccess", -1);
  journey.chooseWorkspace("Bracket Team");
  std::string shown;
  journey.user().check("UploadFailed", [&](const DialogView& view) { shown = view.text("ErrorMessageLabel"); });
  journey.user().press("UploadFailed", "CancelButton");
  journey.pressTavixButton();
  EXPECT_FALSE(shown.empty());
  EXPECT_NE(shown, "An unexpected error occurred. Please try again.");
  EXPECT_TRUE(journey.logged("Upload aborted before transfer because export failed: "));
  EXPECT_FALSE(journey.logged("Upload started."));
  EXPECT_TRUE(journey.storedFiles().empty());
  expectCleanEnd(journey);
}

TEST(UploadEndToEnd, DrawingTravelsAsOnePdf) {
  UploadJourney journey;
  SimModelDefinition plan = journey.localModel("plan.drw", "plan.drw.2", 3000);
  plan.sheets = 2;
  journey.addCurrentModel(plan);
  uploadAndClose(journey, "Bracket Team");
  const nlohmann::json files = journey.service().storedFiles();
  ASSERT_EQ(files.size(), 1u) << journey.logText();
  EXPECT_EQ(files[0]["name"], "plan.pdf");
  expectCleanEnd(journey);
}

// The generic plate.prt (saved as plate.prt.2) with its instance PLATE_A, whose
// accelerator is already in the user's folder.
void addFamily(UploadJourney& journey) {
  SimModelDefinition plate = journey.localModel("plate.prt", "plate.prt.2", 6000);
  plate.familyRows = {"PLATE_A"};
  journey.creo().models().addModel(plate);
  SimModelDefinition instance;
  instance.name = "plate_a.prt";
  instance.generic = "plate.prt";
  journey.creo().models().addModel(instance);
  journey.writeModel("PLATE_A.xpr", 1024);
  journey.creo().models().setConfigOption("save_instance_accelerator", "NONE");
}

// An instance sends its accelerator, then the generic: with the accelerator in
// the user's folder, or without, when Creo writes one for the upload. A generic
// is exported as one file, like a plain part. Either way the user's folder ends
// as it was, and the option too.
TEST(UploadEndToEnd, FamilyTableModelsSendTheFilesTheyHave) {
  struct Case {
    const char* what;
    const char* current;
    bool acceleratorSaved;
    Files names;
    Files stored;  // empty where Creo writes the accelerator: its size is Creo's
  };
  for (const Case& c : {Case{"instance, accelerator saved", "plate_a.prt", true, {"PLATE_A.prt", "plate.prt"},
                             {"PLATE_A.prt 1024 v1", "plate.prt 6000 v1"}},
                        Case{"instance, accelerator written for the upload", "plate_a.prt", false,
                             {"PLATE_A.prt", "plate.prt"}, {}},
                        Case{"generic", "plate.prt", true, {"plate.prt.2"}, {"plate.prt.2 6000 v1"}}}) {
    SCOPED_TRACE(c.what);
    UploadJourney journey;
    addFamily(journey);
    if (!c.acceleratorSaved) std::filesystem::remove(journey.models() / "PLATE_A.xpr");
    journey.creo().models().setCurrentModel(c.current);
    uploadAndClose(journey, "Bracket Team");
    std::vector<std::string> names;
    for (const nlohmann::json& file : journey.service().storedFiles()) names.push_back(file["name"]);
    EXPECT_EQ(names, c.names) << journey.logText();
    if (!c.stored.empty()) {
      EXPECT_EQ(journey.storedFiles(), c.stored);
    }
    EXPECT_EQ(journey.creo().models().configOption("save_instance_accelerator"), "NONE");
    std::vector<std::string> userFiles;
    for (const auto& entry : std::filesystem::directory_iterator(journey.models()))
      userFiles.push_back(entry.path().filename().string());
    std::sort(userFiles.begin(), userFiles.end());
    EXPECT_EQ(userFiles, c.acceleratorSaved ? (Files{"PLATE_A.xpr", "plate.prt.2"}) : Files{"plate.prt.2"});
    expectCleanEnd(journey);
  }
}

// Each file of a Windchill assembly is stored under the revision and iteration
// Windchill reports for it, not the assembly's, and its page shows that
// revision; the upload carries the assembly's.
TEST(UploadEndToEnd, WindchillAssemblyChildrenKeepTheirOwnRevisions) {
  UploadJourney journey;
  const std::filesystem::path cache = journey.models() / "wscache";
  journey.creo().models().addWorkspace({"main", cache});
  std::filesystem::create_directories(cache);
  const auto inWorkspace = [&](const std::string& name, const char* revision, const char* iteration,
                               std::vector<creosim::SimComponentDefinition> components = {}) {
    SimModelDefinition model = journey.localModel(name, "wscache/" + name, 2500);
    model.components = std::move(components);
    model.workspace = "main";
    model.revision = creosim::QueryScript::answer(revision);
    model.version = creosim::QueryScript::answer(iteration);
    return model;
  };
  journey.creo().models().addModel(inWorkspace("shaft.prt", "B", "3"));
  journey.creo().models().addModel(inWorkspace("bolt.prt", "A", "7"));
  journey.addCurrentModel(inWorkspace("frame.asm", "C", "4", {{"shaft.prt"}, {"bolt.prt"}}));
  uploadAndClose(journey, "Bracket Team");

  std::map<std::string, std::string> revisions;
  for (const nlohmann::json& file : journey.service().storedFiles()) {
    revisions[file["name"]] = file["sourceRevisionId"].get<std::string>() + " v" + file["version"].get<std::string>() +
                              " of " + file["sourceRevisionVersion"].get<std::string>();
    if (file["name"] != "shaft.prt") continue;
    const tavixtest::BrowserPage page = tavixtest::httpExchange(
        journey.service().baseUrl() + "workspace/bracket-team/file/" + std::to_string(file["fileId"].get<int64_t>()));
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(contains(page.body, "</td><td>3</td><td>B ")) << page.body;
  }
  EXPECT_EQ(revisions, (std::map<std::string, std::string>{{"frame.asm", "C v4 of 4"}, {"shaft.prt", "B v3 of 4"},
                                                           {"bolt.prt", "A v7 of 4"}}))
      << journey.logText();
  expectCleanEnd(journey);
}

// The real client, but the upload's answer carries the addresses a test gives.
class AddressRewritingClient : public INorvaneClient {
 public:
  AddressRewritingClient(std::shared_ptr<INorvaneClient> real, std::map<std::string, std::string> fileUrls)
      : real_(std::move(real)), fileUrls_(std::move(fileUrls)) {}
  std::string localAuthFlowAuthorize() override { return real_->localAuthFlowAuthorize(); }
  NorvaneLocalAuthTokens localAuthFlowComplete() override { return real_->localAuthFlowComplete(); }
  std::string localAuthFlowLogout() override { return real_->localAuthFlowLogout(); }
  void localAuthFlowCancel() override { real_->localAuthFlowCancel(); }
  std::vector<NorvaneWorkspace> listWorkspaces(const std::string& token, const std::string& filter) override {
    return real_->listWorkspaces(token, filter);
  }
  NorvaneUser getCurrentUser(const std::string& token) override { return real_->getCurrentUser(token); }
  NorvaneDirectory getRootDirectory(const std::string& token, int64_t workspace) override {
    return real_->getRootDirectory(token, workspace);
  }
  std::vector<NorvaneFindRevisionResult> findRevision(const std::string& token, int64_t workspace,
                                                      const std::string& key, const std::string& version,
                                                      const std::string& revision, const std::string& name,
                                                      bool deleted, bool latest, bool shared, bool match) override {
    return real_->findRevision(token, workspace, key, version, revision, name, deleted, latest, shared, match);
  }
  NorvaneUploadResult upload(const std::string& token, const NorvaneUploadPayload& payload, bool overwrite) override {
    NorvaneUploadResult result = real_->upload(token, payload, overwrite);
    result.fileUrls = fileUrls_;
    return result;
  }
  void setLogFile(const std::string& path) override { real_->setLogFile(path); }
  void setLogLevel(const std::string& level) override { real_->setLogLevel(level); }

 private:
  std::shared_ptr<INorvaneClient> real_;
  std::map<std::string, std::string> fileUrls_;
};

TEST(UploadEndToEnd, OpenInTavixShowsOnlyWebAddressesAndIsOfferedOnlyWithOne) {
  for (const char* address : {"javascript:alert(1)", "file:///etc/passwd", "http://example.com/x"}) {
    SCOPED_TRACE(address);
    UploadJourney journey;
    journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
    journey.wrapClient([address](std::shared_ptr<INorvaneClient> client) {
      return std::make_shared<AddressRewritingClient>(client,
                                                      std::map<std::string, std::string>{{"bracket.prt", address}});
    });
    journey.chooseWorkspace("Bracket Team");
    journey.user().press("Upload", "OpenInTavixButton");
    journey.user().check("GenericError", [](const DialogView& view) {
      EXPECT_EQ(view.text("ErrorTitleLabel"), "Unable to Open File");
      EXPECT_EQ(view.text("ErrorMessageLabel"), "We couldn't open the uploaded file in Tavix.\nPlease try again.");
      EXPECT_TRUE(view.shownButtons().size() == 1u);  // Sign Out only
    });
    journey.user().close("GenericError");
    // The progress dialog is still there.
    journey.user().press("Upload", "CloseButton");
    journey.pressTavixButton();
    EXPECT_TRUE(journey.creo().windows().browser().visits().empty());
    EXPECT_EQ(journey.storedFiles(), Files{"bracket.prt 5000 v1"});
    expectCleanEnd(journey);
  }

  UploadJourney journey;
  journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
  journey.wrapClient([](std::shared_ptr<INorvaneClient> client) {
    return std::make_shared<AddressRewritingClient>(client, std::map<std::string, std::string>{});
  });
  journey.chooseWorkspace("Bracket Team");
  journey.user().check("Upload", [](const DialogView& view) {
    EXPECT_EQ(view.text("PrimaryStatusLabel"), "Upload Complete!");
    EXPECT_EQ(view.shownButtons(), (std::vector<std::string>{"Upload to Another Workspace", "Close"}));
  });
  journey.user().press("Upload", "CloseButton");
  journey.pressTavixButton();
  EXPECT_TRUE(journey.logged("Upload succeeded but no Tavix file URL was resolved for primary file: bracket.prt"));
  expectCleanEnd(journey);
}

}  // namespace
