// The upload dialog as an engineer meets it: the simulated Creo with its
// models over real files, the add-in's dialog, the real client library and the
// local Tavix service. What is asserted is what the user sees and the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "cloud/cloud_connection.h"
#include "core/log.h"
#include "core/properties.h"
#include "core/property_log_level.h"
#include "core/testing/lifecycle_test_support.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"
#include "local_service.h"
#include "model/testing/model_test_session.h"
#include "scripted_dialog_user.h"
#include "signin/sign_in_context.h"
#include "sim_model_file.h"
#include "upload/knowledge_center.h"
#include "upload/upload_workflow.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using creosim::DialogView;
using creosim::SimModelDefinition;

constexpr const char* kUniqueId = "1711 22345 61234";
constexpr const char* kKnowledgeCenter = "https://help.tavix.example/en/collections/19405936-creo-parametric";

class UploadDialogTest : public ::testing::Test {
 protected:
  UploadDialogTest() : sim_(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}) {
    testBaseDirectory();  // session directories in a private base
    setCreoHost(&sim_);
    sim_.dialogs().setUser(user_);
  }
  ~UploadDialogTest() override {
    for (const std::string& dialog : sim_.dialogs().openDialogs()) sim_.dialogs().destroyDialog(dialog);
    sim_.windows().browser().waitUntilIdle(20s);
    signIn_.endThreads();
    setCreoHost(nullptr);
  }

  // The service with the demo seed or `seed`, the add-in pointed at it, and
  // `email` signed in.
  void start(std::optional<nlohmann::json> seed = std::nullopt, const std::string& email = tavixtest::kDemoEmail,
             const std::string& password = tavixtest::kDemoPassword) {
    service_ = std::make_unique<tavixtest::LocalTavixService>(std::move(seed));
    std::ofstream(log_.directory() / "tavix.properties") << "tavix_creo_log_level=debug\n";
    addProperty("tavix_creo_login_url=" + service_->baseUrl());
    addProperty("tavix_creo_server_url=" + service_->baseUrl());
    addProperty(std::string("tavix_creo_client_id=") + tavixtest::kLocalClientId);
    applyPropertyLogLevel();
    signIn(email, password);
  }
  void signIn(const std::string& email = tavixtest::kDemoEmail, const std::string& password = tavixtest::kDemoPassword) {
    const nlohmann::json tokens = service_->issueTokens(email, password);
    getSessionManager().setTokens({tokens.at("access_token"), tokens.at("refresh_token"), tokens.at("id_token")});
    getSessionManager().setCurrentUser(getNorvaneClient()->getCurrentUser(getSessionManager().getAccessToken()));
  }

  void addProperty(const std::string& line) {
    std::ofstream(log_.directory() / "tavix.properties", std::ios::app) << line << "\n";
    TavixProperties::load(log_.directory() / "elsewhere" / "tavix.properties");
  }

  fs::path modelFile(const std::string& relative, const std::string& uniqueId = kUniqueId,
                     std::uintmax_t bytes = 1572864) {
    const fs::path path = log_.directory() / "models" / relative;
    fs::create_directories(path.parent_path());
    creosim::writeModelFile(path, uniqueId, bytes);
    return path;
  }
  // Adds the model and makes it the current one.
  void open(SimModelDefinition definition) {
    const std::string name = definition.name;
    sim_.models().addModel(std::move(definition));
    sim_.models().setCurrentModel(name);
  }
  static SimModelDefinition model(const std::string& name, const fs::path& file = {}) {
    SimModelDefinition definition;
    definition.name = name;
    definition.file = file;
    definition.versionStamp = "stamp-7";
    return definition;
  }
  void openPart(const std::string& name, const fs::path& file) { open(model(name, file)); }
  // The instance `name` of `generic` from its family-table row `row`, both added, the instance current.
  void openInstance(SimModelDefinition generic, const std::string& row, const std::string& name) {
    generic.familyRows = {row};
    SimModelDefinition instance = model(name);
    instance.generic = generic.name;
    instance.versionStamp = generic.versionStamp;
    sim_.models().addModel(generic);
    open(instance);
  }

  void showUploadDialog() { runUploadWorkflow(WorkflowStep::UploadDialog, oneSecondPauses()); }
  // Selects each workspace in turn, then closes the dialog: whether an earlier upload was shown after each.
  std::vector<bool> existingRevisionShownSelecting(const std::vector<std::string>& workspaces) {
    auto shown = std::make_shared<std::vector<bool>>();
    for (const std::string& workspace : workspaces)
      user_->select("StartFileUpload", "WorkspaceDropdown", workspace)
          .check("StartFileUpload",
                 [shown](const DialogView& view) { shown->push_back(view.isShown("ExistingRevisionLayout")); });
    user_->close("StartFileUpload");
    showUploadDialog();
    return *shown;
  }
  // Opens the dialog, closes it at once and returns what it showed.
  DialogView firstView() {
    user_->close("StartFileUpload");
    showUploadDialog();
    return user_->lastSeen("StartFileUpload");
  }

  // A revision stored in the workspace as an earlier upload through the library would.
  void uploadEarlierRevision(int64_t workspaceId, const std::string& revisionKey, const std::string& sourceRevisionId,
                             const fs::path& file) {
    const std::shared_ptr<INorvaneClient> client = getNorvaneClient();
    const std::string token = getSessionManager().getAccessToken();
    NorvaneUploadPayload payload;
    payload.targetDirectories[workspaceId] = client->getRootDirectory(token, workspaceId).id;
    payload.sourceRevisionId = sourceRevisionId;
    payload.revisionId = sourceRevisionId;
    payload.sourceRevisionVersion = "1";
    payload.lastModified = "2026-01-02T03:04:05.000Z";
    payload.files.push_back({file.filename().string(), file.string(), revisionKey, "1", {}});
    ASSERT_TRUE(client->upload(token, payload, false).errors.empty());
  }

  bool logged(const std::string& text) const { return log_.text().find(text) != std::string::npos; }
  std::string selected(const DialogView& view) const {
    const auto& names = view.component("WorkspaceDropdown")->selectedNames;
    return names.empty() ? "" : names.front();
  }
  void expectNoProblems() {
    EXPECT_TRUE(user_->problems().empty()) << ::testing::PrintToString(user_->problems());
    EXPECT_TRUE(sim_.dialogs().problems().empty()) << ::testing::PrintToString(sim_.dialogs().problems());
    EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
  }

  LogCapture log_;
  creosim::CreoSimulator sim_;
  std::shared_ptr<creosim::ScriptedDialogUser> user_ = std::make_shared<creosim::ScriptedDialogUser>();
  std::unique_ptr<tavixtest::LocalTavixService> service_;
  // The client is made on first use, after start() has pointed the properties at the service.
  CloudConnection cloud_{makeLibraryClient};
  // Loading dialogs close at once, as after the first of a Creo session.
  SignInContext signIn_{std::chrono::nanoseconds::zero()};
};

TEST_F(UploadDialogTest, ShowsTheModelTheUserAndTheWorkspacesAndTheSelectionDrivesUpload) {
  start();
  openPart("bracket.prt", modelFile("bracket.prt.3"));
  user_->check("StartFileUpload", [&](const DialogView& view) {
    EXPECT_EQ(view.text("FileNameValue"), "bracket.prt");
    EXPECT_EQ(view.text("SizeValue"), "1.50 MB");
    EXPECT_FALSE(view.text("LastModifiedValue").empty());
    EXPECT_EQ(view.image("ModelIconLabel"), "tavix_file_upload_single_icon.svg");
    EXPECT_EQ(view.text("WelcomeBackLabel"), "Welcome back, Demo Engineer");
    EXPECT_EQ(view.text("UserEmailLabel"), tavixtest::kDemoEmail);
    EXPECT_EQ(view.text("IntegrationVersionLabel"), "Version 1.0.0");
    const auto* menu = view.component("WorkspaceDropdown");
    EXPECT_EQ(menu->itemNames, (std::vector<std::string>{"__select_placeholder__", "Bracket Team", "Gearbox"}));
    EXPECT_EQ(menu->itemLabels, (std::vector<std::string>{"Select...", "Bracket Team", "Gearbox"}));
    EXPECT_EQ(selected(view), "__select_placeholder__");
    EXPECT_FALSE(view.component("UploadButton")->enabled);
    EXPECT_EQ(view.component("UploadButton")->color, (creosim::Rgb{190, 190, 190}));
    EXPECT_TRUE(view.isShown("ButtonsLayout"));
    for (const char* hidden : {"NoWorkspacesLayout", "DrwWarningLayout", "UnsavedModelWarningLayout",
                               "ExistingRevisionLayout"})
      EXPECT_FALSE(view.isShown(hidden)) << hidden;
  });
  user_->select("StartFileUpload", "WorkspaceDropdown", "Gearbox");
  user_->check("StartFileUpload", [](const DialogView& view) {
    EXPECT_TRUE(view.component("UploadButton")->enabled);
    EXPECT_EQ(view.component("UploadButton")->color, (creosim::Rgb{0, 108, 224}));
    EXPECT_FALSE(view.isShown("ExistingRevisionLayout"));
  });
  user_->select("StartFileUpload", "WorkspaceDropdown", "__select_placeholder__");
  user_->check("StartFileUpload", [](const DialogView& view) {
    EXPECT_FALSE(view.component("UploadButton")->enabled);
    EXPECT_EQ(view.component("UploadButton")->color, (creosim::Rgb{190, 190, 190}));
  });
  // A disabled button cannot be pressed; were it reached all the same, Upload
  // with the placeholder leaves the dialog open.
  user_->press("StartFileUpload", "UploadButton");
  user_->press("StartFileUpload", "CancelButton");
  showUploadDialog();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Existing revision for model not found in selected workspace"));
  EXPECT_FALSE(logged("Upload initiated"));
  EXPECT_FALSE(logged("Launching upload operation dialog."));
  EXPECT_EQ(user_->problems(),
            std::vector<std::string>{"StartFileUpload: could not press UploadButton: the button is hidden or disabled"});
  EXPECT_TRUE(sim_.dialogs().problems().empty()) << ::testing::PrintToString(sim_.dialogs().problems());
  EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
}

// Creo sets the process's numeric locale from the user's language. German
// writes decimals with a comma; the locale is compiled for the test from
// Debian's locale sources into a private folder.
class CommaDecimalLocale {
 public:
  explicit CommaDecimalLocale(const fs::path& folder) {
    fs::create_directories(folder);
    const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return;
    setEnvironmentVariable("LOCPATH", folder.string().c_str());
    active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  }
  ~CommaDecimalLocale() {
    std::setlocale(LC_NUMERIC, "C");
    setEnvironmentVariable("LOCPATH", nullptr);
  }
  bool active() const {
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    return active_ && std::string(text) == "1,50";
  }

 private:
  bool active_ = false;
};

TEST_F(UploadDialogTest, BothDialogsShowTheSizeAlikeWhateverTheUsersLanguage) {
  CommaDecimalLocale german(log_.directory() / "locales");
  if (!german.active()) GTEST_SKIP() << "no de_DE locale could be compiled (Debian's locales package)";
  start();
  openPart("bracket.prt", modelFile("bracket.prt.3"));
  user_->check("StartFileUpload", [](const DialogView& view) { EXPECT_EQ(view.text("SizeValue"), "1.50 MB"); })
      .select("StartFileUpload", "WorkspaceDropdown", "Gearbox")
      .press("StartFileUpload", "UploadButton")
      .check("Upload", [](const DialogView& view) { EXPECT_EQ(view.text("ModelSizeLabel"), "1.50 MB"); })
      .press("Upload", "CloseButton");
  showUploadDialog();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Setting file size label: 1.50 MB"));
  EXPECT_TRUE(logged("[INFO] [Tavix] Upload succeeded: workspace_id=2, workspace_name=Gearbox"));
  expectNoProblems();
}

TEST_F(UploadDialogTest, AUserWithoutWorkspacesSeesNoWorkspacesAndNoButtonsRow) {
  start(nlohmann::json{{"users", {{{"email", "ann@example.com"}, {"password", "secret"}, {"name", "Ann"}}}},
                       {"workspaces", nlohmann::json::array()}},
        "ann@example.com", "secret");
  openPart("bracket.prt", modelFile("bracket.prt.1"));
  const DialogView view = firstView();
  EXPECT_TRUE(view.isShown("NoWorkspacesLayout"));
  EXPECT_FALSE(view.isShown("ButtonsLayout"));
  EXPECT_EQ(view.component("WorkspaceDropdown")->itemNames, std::vector<std::string>{"__select_placeholder__"});
  EXPECT_EQ(view.text("WelcomeBackLabel"), "Welcome back, Ann");
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Workspaces loaded: count=0"));
  expectNoProblems();
}

TEST_F(UploadDialogTest, WorkspacesOfTheSameNameResolveToTheFirstInListOrder) {
  nlohmann::json seed = {{"users", {{{"email", "ann@example.com"}, {"password", "secret"}, {"name", "Ann"}}}}};
  seed["workspaces"] = nlohmann::json::array();
  for (const auto& [name, key] : std::vector<std::pair<std::string, std::string>>{
           {"Same", "same-1"},
           {"Same", "same-2"},
           {"(unnamed workspace)", "odd-1"},
           {"(unnamed workspace)", "odd-2"}})
    seed["workspaces"].push_back({{"name", name}, {"addressKey", key}, {"members", {"ann@example.com"}}});
  start(seed, "ann@example.com", "secret");
  openPart("bracket.prt", modelFile("bracket.prt.1"));

  user_->check("StartFileUpload", [](const DialogView& view) {
    EXPECT_EQ(view.component("WorkspaceDropdown")->itemLabels,
              (std::vector<std::string>{"Select...", "Same", "Same", "(unnamed workspace)", "(unnamed workspace)"}));
  });
  user_->select("StartFileUpload", "WorkspaceDropdown", "Same").press("StartFileUpload", "UploadButton").press("Upload", "CloseButton");
  showUploadDialog();
  EXPECT_TRUE(logged("Upload initiated: workspace_id=1, workspace_name=Same"));
  user_->select("StartFileUpload", "WorkspaceDropdown", "(unnamed workspace)").press("StartFileUpload", "UploadButton").press("Upload", "CloseButton");
  showUploadDialog();
  EXPECT_TRUE(logged("Upload initiated: workspace_id=3, workspace_name=(unnamed workspace)"));
  expectNoProblems();
}

TEST_F(UploadDialogTest, AssembliesDrawingsAndUnsavedChangesShowTheirFactsAndWarnings) {
  start();
  for (const char* part : {"left.prt", "right.prt"}) sim_.models().addModel(model(part, modelFile(std::string(part) + ".1")));
  // A file whose size cannot be read: the origin names a folder.
  SimModelDefinition assembly = model("frame.asm", log_.directory() / "models" / "frame.asm.1");
  fs::create_directories(assembly.file);
  assembly.components = {{"left.prt"}, {"right.prt"}};
  SimModelDefinition empty = model("empty.asm", modelFile("empty.asm.1", kUniqueId, 1048576));
  empty.modified = true;
  SimModelDefinition drawing = model("frame.drw", modelFile("frame.drw.2", kUniqueId, 524288));
  drawing.modified = true;  // a drawing never counts as unsaved
  struct Case {
    SimModelDefinition model;
    std::string size, icon;
    bool drawingWarning, unsavedWarning;
  };
  for (const Case& c : {Case{assembly, "undefined (2 components)", "tavix_file_upload_asm_icon.svg", false, false},
                        Case{empty, "1.00 MB (0 components)", "tavix_file_upload_asm_icon.svg", false, true},
                        Case{drawing, "0.50 MB", "tavix_file_upload_single_icon.svg", true, false}}) {
    SCOPED_TRACE(c.model.name);
    open(c.model);
    const DialogView view = firstView();
    EXPECT_EQ(view.text("SizeValue"), c.size);
    EXPECT_EQ(view.image("ModelIconLabel"), c.icon);
    EXPECT_EQ(view.isShown("DrwWarningLayout"), c.drawingWarning);
    EXPECT_EQ(view.isShown("UnsavedModelWarningLayout"), c.unsavedWarning);
  }
  expectNoProblems();
}

TEST_F(UploadDialogTest, AnEarlierUploadIsFoundUnderTheModelsRevisionKeyInTheSelectedWorkspaceOnly) {
  start();
  const fs::path bracket = modelFile("bracket.prt.3");
  uploadEarlierRevision(1, kUniqueId, "stamp-7", bracket);
  openPart("bracket.prt", bracket);
  EXPECT_EQ(existingRevisionShownSelecting({"Bracket Team", "Gearbox", "Bracket Team", "__select_placeholder__"}),
            (std::vector<bool>{true, false, true, false}));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Selected workspace: Bracket Team"));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Existing revision present for model in selected workspace"));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Existing revision for model not found in selected workspace"));

  // A family-table instance is known under its identifier and its file name,
  // which names its generic: plate_a<plate>.prt.
  SimModelDefinition generic = model("plate.prt", modelFile("plate.prt.2"));
  generic.versionStamp = "stamp-9";
  openInstance(generic, "PLATE_A", "plate_a.prt");
  uploadEarlierRevision(2, std::string(kUniqueId) + "_plate_a<plate>.prt", "stamp-9", generic.file);
  EXPECT_EQ(existingRevisionShownSelecting({"Gearbox"}), std::vector<bool>{true});
  expectNoProblems();
}

TEST_F(UploadDialogTest, AModelWithoutUniqueIdentifierNeverShowsAnExistingRevision) {
  start();
  // Revisions with any key are in the workspace; an empty key would match them all.
  const fs::path anonymous = modelFile("anonymous.prt.1", "");
  uploadEarlierRevision(1, "", "stamp-7", anonymous);
  uploadEarlierRevision(1, "_anonymous_a<anonymous_gen>.prt", "stamp-7", anonymous);
  openPart("anonymous.prt", anonymous);
  EXPECT_EQ(existingRevisionShownSelecting({"Bracket Team"}), std::vector<bool>{false});
  // Nor does an instance of such a generic.
  openInstance(model("anonymous_gen.prt", anonymous), "ANONYMOUS_A", "anonymous_a.prt");
  EXPECT_EQ(existingRevisionShownSelecting({"Bracket Team"}), std::vector<bool>{false});
  EXPECT_FALSE(logged("Querying existing revisions in selected workspace"));
  EXPECT_TRUE(logged("[WARNING] [Tavix] Existing revision lookup input is incomplete; skipping existing revision "
                     "lookup."));
  expectNoProblems();
}

TEST_F(UploadDialogTest, EachRefusedModelIsExplainedAndTheUploadDialogNeverOpens) {
  start();
  const fs::path saved = modelFile("bracket.prt.1");
  SimModelDefinition faulty = model("faulty.prt", saved);
  faulty.faults["pfcModel::GetFileName"] = "StructuredException";
  SimModelDefinition imported = model("imported.prt", saved);
  imported.fileName = "imported.stp";
  SimModelDefinition light = model("light.asm", modelFile("light.asm.1"));
  light.simplifiedRep = pfcSIMPREP_GRAPHICS_REP;
  SimModelDefinition gone = model("gone.prt");
  gone.origin = (log_.directory() / "unplugged" / "gone.prt.1").string();
  SimModelDefinition locked = model("locked.prt", saved);
  locked.faults["pfcModel::GetOrigin"] = "pfcXToolkitCantAccess";
  const auto opening = [this](const SimModelDefinition& definition) { return [this, definition] { open(definition); }; };
  struct Case {
    std::string what;
    std::function<void()> arrange;
    std::string message;
    std::string logLine;
  };
  const std::vector<Case> cases = {
      {"no session", [&] { sim_.setSessionAvailable(false); },
       "Creo session is unavailable.\nPlease restart Creo and try again.",
       "[ERROR] [Tavix] Creo session unavailable during model preparation."},
      {"no model", [] {}, "No supported model is currently open.\nPlease open a model and try again.",
       "[WARNING] [Tavix] No current model is active during model preparation."},
      {"current object not a model",
       [&] {
         openPart("bracket.prt", saved);
         sim_.faults().failNext("pfcBaseSession::GetCurrentModel", "pfcXToolkitNotFound");
       },
       "No supported model is currently open.\nPlease open a model and try again.",
       "[WARNING] [Tavix] Current Creo object is not an uploadable model."},
      {"name faults", opening(faulty),
       "Failed to read the current model.\nPlease verify the integration version matches your Creo version.",
       "[ERROR] [Tavix] Non-C++ exception in wfcWModel::GetFileName (possible Creo ABI mismatch)."},
      {"step file", opening(imported),
       ".stp files are not supported in Tavix.\nTavix supports only PRT, ASM, and DRW files.",
       "[WARNING] [Tavix] Unsupported file selected for upload: imported.stp, type=part, is_simplified_rep=false"},
      {"simplified representation", opening(light),
       "This assembly has an active simplified representation.\nSimplified representations are not supported in "
       "Tavix.",
       "is_simplified_rep=true"},
      {"never saved", opening(model("new.prt")),
       "The current model has not been saved yet.\nPlease save the file and try again.",
       "[WARNING] [Tavix] Filesystem model has no origin; treating it as unsaved."},
      {"file gone", opening(gone),
       "We couldn't access the model file at its saved location.\nReconnect the drive or reopen and save the "
       "model, then try again.",
       "[WARNING] [Tavix] Filesystem model origin is present but the file is not accessible."},
      {"origin unreadable", opening(locked),
       "Failed to prepare the model for upload.\nPlease try again or contact support.",
       "[ERROR] [Tavix] Unable to resolve model origin during upload preparation."},
      {"workspace copy fails",
       [&] {
         const fs::path cache = log_.directory() / "wscache";
         fs::create_directories(cache);
         creosim::writeModelFile(cache / "shaft.prt", kUniqueId, 4096);
         sim_.models().addWorkspace({"main", cache});
         sim_.models().setWorkspaceCopiesVanish(true);
         SimModelDefinition part = model("shaft.prt", cache / "shaft.prt");
         part.workspace = "main";
         open(part);
       },
       "Failed to prepare the model for upload.\nPlease try again or contact support.",
       "[ERROR] [Tavix] Failed to stage Windchill model locally; cannot open upload dialog."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange();
    user_->check("GenericError", [&](const DialogView& view) {
      EXPECT_EQ(view.text("ErrorMessageLabel"), c.message);
      EXPECT_FALSE(view.isShown("StartOverButton"));
      EXPECT_EQ(view.shownButtons(), std::vector<std::string>{"Sign Out"});
      EXPECT_EQ(view.text("UserEmailLabel"), tavixtest::kDemoEmail);
    });
    user_->close("GenericError");
    showUploadDialog();
    sim_.setSessionAvailable(true);
    EXPECT_TRUE(logged(c.logLine));
    EXPECT_TRUE(logged("[WARNING] [Tavix] Model preparation failed; upload dialog will not be shown."));
  }
  for (const std::string& dialog : user_->seenDialogs()) EXPECT_EQ(dialog, "GenericError");
  expectNoProblems();
}

// The user's files stay as they were: the fault matrix's clean journeys
// compare every byte under the models folder and the workspace cache.
TEST_F(UploadDialogTest, AWindchillModelIsStagedLocallyBeforeTheDialogShowsIt) {
  start();
  const fs::path cache = log_.directory() / "wscache";
  fs::create_directories(cache);
  creosim::writeModelFile(cache / "shaft.prt", kUniqueId, 300000);
  sim_.models().addWorkspace({"main", cache});
  SimModelDefinition shaft = model("shaft.prt", cache / "shaft.prt");
  shaft.workspace = "main";
  open(shaft);
  EXPECT_EQ(firstView().text("FileNameValue"), "shaft.prt");
  EXPECT_TRUE(logged("prepareModelLocally: staging Windchill model. file=shaft.prt, origin=wtws://main/"));
  EXPECT_TRUE(logged("[INFO] [Tavix] Windchill model preparation complete."));
  expectNoProblems();
}

// Signing in again after Back to Sign In is the expiry in the upload journeys.
TEST_F(UploadDialogTest, AnExpiredSessionIsToldAndEndsOnlyThroughTheErrorsButtons) {
  start();
  openPart("bracket.prt", modelFile("bracket.prt.1"));
  service_->expireTokens();
  user_->check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorTitleLabel"), "Session Expired");
    EXPECT_EQ(view.text("ErrorMessageLabel"), "Your session has expired.\nPlease sign in again to continue.");
    EXPECT_EQ(view.shownButtons(), (std::vector<std::string>{"Back to Sign In", "Sign Out"}));
  });
  // The upload dialog itself never shows. Closing the error keeps the expired
  // session: the next press asks again.
  user_->close("GenericError");
  showUploadDialog();
  EXPECT_TRUE(logged("[WARNING] [Tavix] Auth failure detected while fetching workspaces. Session may have expired."));
  EXPECT_TRUE(logged("[WARNING] [Tavix] Auth expired; aborting upload dialog."));
  EXPECT_FALSE(logged("An error occurred while preparing the upload."));
  ASSERT_TRUE(getSessionManager().hasTokens());

  user_->press("GenericError", "SignOutButton");
  showUploadDialog();
  EXPECT_FALSE(getSessionManager().getTokens());
  EXPECT_TRUE(logged("[INFO] [Tavix] User signed out."));
  const std::vector<std::string> messages = log_.messages();
  EXPECT_EQ(std::count(messages.begin(), messages.end(), "[DEBUG] [Tavix] Generic error dialog closed."), 2);
  EXPECT_FALSE(logged("Session cleared after auth failure."));

  signIn();
  service_->expireTokens();
  user_->press("GenericError", "StartOverButton").close("Start");
  showUploadDialog();
  EXPECT_TRUE(logged("[INFO] [Tavix] Session cleared after auth failure. Redirecting to sign-in."));
  EXPECT_FALSE(getSessionManager().hasTokens());
  EXPECT_EQ(user_->seenDialogs(),
            (std::vector<std::string>{"GenericError", "GenericError", "GenericError", "Loading", "Start"}));
  expectNoProblems();
}

TEST_F(UploadDialogTest, OtherServiceFailuresAndCreoErrorsEndInTheGenericErrorAndKeepTheSession) {
  start();
  openPart("bracket.prt", modelFile("bracket.prt.1"));
  service_->failNext(1, 503);
  user_->check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorMessageLabel"), "An error occurred while preparing the upload.\nPlease try again.");
    EXPECT_EQ(view.shownButtons(), (std::vector<std::string>{"Start Over", "Sign Out"}));
  });
  user_->press("GenericError", "StartOverButton");
  showUploadDialog();
  EXPECT_TRUE(logged("[ERROR] [Tavix] Error detected in StartFileUploadDialog::showDialog: norvane: server error "
                     "(HTTP 503)"));
  EXPECT_TRUE(getSessionManager().hasTokens());

  sim_.faults().failNext("uifcLabel::SetImage", "pfcXToolkitCantAccess");
  user_->check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorMessageLabel"),
              "A Creo error occurred while opening the upload dialog.\nPlease try again.");
  });
  user_->close("GenericError");
  showUploadDialog();
  EXPECT_TRUE(logged("[ERROR] [Tavix] Creo toolkit error in StartFileUploadDialog::showDialog. "
                     "exception=pfcXToolkitCantAccess in uifcLabel::SetImage"));
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"GenericError", "GenericError"}));
  expectNoProblems();
}

TEST_F(UploadDialogTest, CreoErrorsInTheListenersAreLoggedWithTheirOwnLines) {
  start();
  openPart("bracket.prt", modelFile("bracket.prt.1"));
  const auto failNext = [&](const char* operation) {
    return [this, operation](const DialogView&) { sim_.faults().failNext(operation, "pfcXToolkitCantAccess"); };
  };
  sim_.faults().failNext("uifcOptionMenu::GetSelectedItemNameArray", "pfcXToolkitCantAccess");
  user_->check("StartFileUpload", failNext("uifcOptionMenu::GetSelectedItemNameArray"))
      .select("StartFileUpload", "WorkspaceDropdown", "Gearbox")
      .select("StartFileUpload", "WorkspaceDropdown", "Bracket Team")
      .check("StartFileUpload", failNext("uifcOptionMenu::GetSelectedItemNameArray"))
      .press("StartFileUpload", "UploadButton")
      .check("GenericError", [](const DialogView& view) {
        EXPECT_EQ(view.text("ErrorMessageLabel"),
                  "No workspace available.\nPlease create a workspace in Tavix and try again.");
      })
      .close("GenericError");
  showUploadDialog();
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unknown error while checking for existing revisions on dialog display.\r\n"));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unknown error while checking for existing revisions on workspace select.\r\n"));
  EXPECT_TRUE(logged("[ERROR] [Tavix] No workspace selected for upload.\r\n"));
  EXPECT_FALSE(logged("An error occurred while checking for existing revisions"));

  // The selection is cleared but the listener that greys Upload fails: Upload
  // with the placeholder does nothing. Then Upload cannot close the dialog: the
  // workspace is chosen all the same, and the upload follows once it closes.
  user_->select("StartFileUpload", "WorkspaceDropdown", "Gearbox")
      .check("StartFileUpload", failNext("uifcOptionMenu::GetSelectedItemNameArray"))
      .select("StartFileUpload", "WorkspaceDropdown", "__select_placeholder__")
      .press("StartFileUpload", "UploadButton")
      .select("StartFileUpload", "WorkspaceDropdown", "Gearbox")
      .check("StartFileUpload", failNext("uifcExitDialog"))
      .press("StartFileUpload", "UploadButton")
      .press("StartFileUpload", "CancelButton")
      .press("Upload", "CloseButton");
  showUploadDialog();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Upload button clicked but no workspace selected \u2014 ignoring.\r\n"));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unknown error detected in UploadAction::OnActivate.\r\n"));
  EXPECT_TRUE(logged("[INFO] [Tavix] Upload succeeded: workspace_id=2, workspace_name=Gearbox"));
  EXPECT_EQ(user_->seenDialogs(),
            (std::vector<std::string>{"StartFileUpload", "GenericError", "StartFileUpload", "Upload"}));
  expectNoProblems();
}

TEST_F(UploadDialogTest, KnowledgeCenterOpensTheHelpSiteAndSignOutEndsTheSession) {
  start();
  openPart("bracket.prt", modelFile("bracket.prt.1"));
  EXPECT_EQ(knowledgeCenterUrl(), kKnowledgeCenter);
  user_->press("StartFileUpload", "KnowledgeCenterButton");
  showUploadDialog();
  EXPECT_TRUE(logged(std::string("[INFO] [Tavix] Opening Knowledge Center URL: ") + kKnowledgeCenter));
  EXPECT_TRUE(logged("[INFO] [Tavix] Upload dialog closed after Knowledge Center navigation."));

  // The browser cannot show it: the user is told once the upload dialog is gone.
  sim_.faults().failNext("pfcWindow::SetURL", "pfcXToolkitCantOpen");
  user_->press("StartFileUpload", "KnowledgeCenterButton");
  user_->check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorTitleLabel"), "Unable to Open Knowledge Center");
    EXPECT_EQ(view.text("ErrorMessageLabel"), "We couldn't open the Knowledge Center.\nPlease try again.");
    EXPECT_EQ(view.shownButtons(), std::vector<std::string>{"Sign Out"});
  });
  user_->close("GenericError");
  showUploadDialog();
  EXPECT_TRUE(logged("[ERROR] [Tavix] Failed to open Knowledge Center URL from upload dialog due to a Creo "
                     "toolkit error."));

  // A host setting that is not a host name opens nothing.
  addProperty("tavix_creo_knowledge_center_host=evil.example/x?y=");
  user_->press("StartFileUpload", "KnowledgeCenterButton");
  showUploadDialog();
  EXPECT_TRUE(logged("[WARNING] [Tavix] Knowledge Center URL was empty; embedded browser not opened."));
  addProperty("tavix_creo_knowledge_center_host=docs.tavix.example:8443");
  EXPECT_EQ(knowledgeCenterUrl(), "https://docs.tavix.example:8443/en/collections/19405936-creo-parametric");

  user_->press("StartFileUpload", "SignOutButton");
  showUploadDialog();
  EXPECT_FALSE(getSessionManager().getTokens());
  EXPECT_TRUE(logged("[INFO] [Tavix] User signed out."));

  ASSERT_TRUE(sim_.windows().browser().waitUntilIdle(20s));
  const auto visits = sim_.windows().browser().visits();
  ASSERT_EQ(visits.size(), 2u);
  EXPECT_EQ(visits[0].url, kKnowledgeCenter);
  EXPECT_EQ(visits[0].load.status, 0) << "only loopback addresses are fetched";
  EXPECT_EQ(visits[1].url.rfind(service_->baseUrl() + "v2/logout", 0), 0u) << visits[1].url;
  EXPECT_EQ(user_->seenDialogs(),
            (std::vector<std::string>{"StartFileUpload", "StartFileUpload", "GenericError", "StartFileUpload",
                                      "StartFileUpload"}));
  expectNoProblems();
}

}  // namespace
