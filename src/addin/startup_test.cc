// Start-up, the ribbon command and termination, driven by the simulated Creo
// with the add-in's real resource files.
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

#include "addin/add_in.h"
#include "cloud/cloud_connection.h"
#include "cloud/testing/null_norvane_client.h"
#include "core/session_temp_directory.h"
#include "core/testing/lifecycle_test_support.h"
#include "core/text_encoding.h"
#include "creo_simulator.h"
#include "host/creo_host.h"

namespace fs = std::filesystem;

namespace {

const std::string kCommand = "tavixRibbonButton";

class Startup : public LifecycleTest {
 protected:
  Startup() {
    textDirectory_ = capture_.directory() / "install" / "text";
    fs::create_directories(textDirectory_.parent_path());
    fs::copy(fs::path(TAVIX_SOURCE_DIR) / "text", textDirectory_, fs::copy_options::recursive);
    creosim::SimulatorOptions options;
    options.textDirectory = textDirectory_;
    simulator_ = std::make_unique<creosim::CreoSimulator>(options);
    setCreoHost(simulator_.get());
  }
  ~Startup() override {
    user_terminate();
    simulator_->ribbon().releaseCommands();
    setCreoHost(nullptr);
  }

  int start() { return user_initialize(0, nullptr, nullptr, nullptr, nullptr); }
  void overwrite(const std::string& file, const std::string& text) {
    std::ofstream(textDirectory_ / file, std::ios::binary | std::ios::trunc) << text;
  }
  // Start-up fails with exactly this ERROR line and returns 1.
  void expectFailedStart(const std::string& errorLine) {
    EXPECT_EQ(start(), 1);
    EXPECT_TRUE(logged("[ERROR] [Tavix] " + errorLine)) << logText();
    EXPECT_FALSE(logged("[INFO] [Tavix] Tavix integration initialization complete."));
  }

  fs::path textDirectory_;
  std::unique_ptr<creosim::CreoSimulator> simulator_;
};

TEST_F(Startup, RegistersTheCommandInOrderAndTerminationRemovesTheSessionDirectory) {
  const fs::path leftover = testBaseDirectory() / "tavix-00000000000000ff";
  fs::create_directories(leftover / "sub");
  fs::permissions(leftover, fs::perms::owner_all);  // as the add-in makes them

  ASSERT_EQ(start(), 0) << logText();
  const std::vector<std::string> expected = {
      "[INFO] [Tavix] Tavix integration initialization started.",
      "[INFO] [Tavix] tavix.properties loaded from: " + pathToUtf8(capture_.directory() / "tavix.properties"),
      "[DEBUG] [Tavix] Verifying packaged norvane runtime is available.",
      "[DEBUG] [Tavix] Cleaning up stale temp directories from previous sessions.",
      "[DEBUG] [Tavix] Stale temp directory cleanup complete: dirs_removed=1, entries_removed=2",
      "[DEBUG] [Tavix] Initializing ribbon command and UI.",
      "[DEBUG] [Tavix] Creo Runtime: version=M080",
      "[DEBUG] [Tavix] Creo Integration: version=1.0.0, creo_version=9.0.0.0",
      "[INFO] [Tavix] Tavix integration initialization complete.",
  };
  size_t next = 0;
  for (const std::string& message : capture_.messages())
    if (next < expected.size() && message == expected[next]) ++next;
  EXPECT_EQ(next, expected.size()) << "missing or out of order: " << expected[std::min(next, expected.size() - 1)]
                                   << "\n" << logText();
  EXPECT_FALSE(fs::exists(leftover));

  const creosim::RibbonCommandView view = simulator_->ribbon().commandView(kCommand);
  EXPECT_EQ(view.label, "Upload to Tavix");
  EXPECT_FALSE(view.help.empty());
  EXPECT_FALSE(view.description.empty());
  EXPECT_EQ(view.icon.filename(), "tavix_logo_toolbar.png");

  const fs::path sessionDirectory = getSessionTempDirectory("upload");
  getSessionManager().setTokens(NorvaneLocalAuthTokens{"access", "refresh", "id"});
  user_terminate();
  EXPECT_FALSE(fs::exists(sessionDirectory));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Integration termination started. Cleaning session temp directory."));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Tavix integration terminated."));

  // What the add-in kept went with it: a press that still reaches the stopped
  // add-in is only logged, and the next start begins signed out.
  simulator_->ribbon().pressButton(kCommand);
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unhandled exception in TavixStartAction::OnCommand: The cloud connection is "
                     "not available: the add-in is not started."))
      << logText();
  simulator_->ribbon().releaseCommands();
  ASSERT_EQ(start(), 0) << logText();
  EXPECT_FALSE(getSessionManager().hasTokens());
}

TEST_F(Startup, EachToolkitFailureEndsStartUpWithItsOwnLine) {
  struct Case {
    const char* operation;
    const char* exceptionClass;
    const char* errorLine;
    bool commandRegistered;
  };
  const Case cases[] = {
      {"pfcSession::RibbonDefinitionfileLoad", "pfcXToolkitInvalidFile",
       "Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.", false},
      {"pfcSession::UICreateCommand", "pfcXToolkitFound",
       "Integration initialization failed because the ribbon command already exists in the Creo session.", false},
      {"pfcUICommand::Designate", "pfcXToolkitMsgNotFound",
       "Integration initialization failed because a required message catalog entry was not found.", true},
      {"pfcUICommand::SetIcon", "pfcXToolkitNotFound",
       "Integration initialization failed because a required Creo UI resource was not found.", true},
      {"wfcWSession::GetDisplayDateCode", "pfcXToolkitCantAccess",
       "Unknown error during Tavix integration initialization.", false},
      {"pfcGetCurrentSessionWithCompatibility", "pfcXToolkitBadContext",
       "Unknown error during Tavix integration initialization.", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.operation);
    simulator_->ribbon().releaseCommands();
    simulator_->faults().failNext(c.operation, c.exceptionClass);
    expectFailedStart(c.errorLine);
    EXPECT_EQ(simulator_->ribbon().hasCommand(kCommand), c.commandRegistered);
    // A toolkit failure the fixed lines do not name is named in a line of its own.
    EXPECT_EQ(logged(std::string("[WARNING] [Tavix] Creo toolkit exception during initialization: ") +
                     c.exceptionClass + " in " + c.operation),
              std::string(c.errorLine).starts_with("Unknown"));
  }
}

TEST_F(Startup, BrokenResourceFilesAndASecondStartAreReportedAsCreoWould) {
  overwrite("usascii/tavix_msg.txt", "TAVIX_RIBBON_LABEL\nUpload to Tavix\n#\n#\n");
  expectFailedStart("Integration initialization failed because a required message catalog entry was not found.");
  // The ribbon file was loaded and the command created before the message file failed.
  EXPECT_TRUE(simulator_->ribbon().hasCommand(kCommand));

  // The same session already holds the command.
  expectFailedStart("Integration initialization failed because the ribbon command already exists in the Creo session.");

  simulator_->ribbon().releaseCommands();
  std::ifstream original(fs::path(TAVIX_SOURCE_DIR) / "text/usascii/tavix_msg.txt", std::ios::binary);
  overwrite("usascii/tavix_msg.txt", std::string(std::istreambuf_iterator<char>(original), {}));
  overwrite("usascii/resource/tavix_logo_toolbar.png", "GIF89a not a png");
  expectFailedStart(
      "Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.");

  simulator_->ribbon().releaseCommands();
  overwrite("usascii/ribbon/toolkitribbonui.rbn", "<ribbon><button name=\"b\"/></ribbon>");
  expectFailedStart(
      "Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.");
  EXPECT_FALSE(simulator_->ribbon().hasCommand(kCommand));

  // Creo does not look for a ribbon among the dialog resources.
  simulator_->ribbon().releaseCommands();
  fs::rename(textDirectory_ / "usascii/ribbon/toolkitribbonui.rbn", textDirectory_ / "usascii/resource/toolkitribbonui.rbn");
  expectFailedStart(
      "Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.");
}

TEST_F(Startup, WithoutASessionOrPropertiesTheReasonIsLogged) {
  fs::remove(capture_.directory() / "tavix.properties");
  simulator_->setSessionAvailable(false);
  expectFailedStart("Error during integration initialization: No Creo session is available.");
  EXPECT_TRUE(logged("[INFO] [Tavix] tavix.properties not found, using defaults."));
}

// A client whose user look-up fails or answers.
class UserLookupClient : public NullNorvaneClient {
 public:
  NorvaneUser getCurrentUser(const std::string&) override {
    ++userLookups;
    if (fails) throw std::runtime_error("service unavailable");
    NorvaneUser user;
    user.email = "ada@example.com";
    return user;
  }
  bool fails = true;
  int userLookups = 0;
};

TEST_F(Startup, ThePressedButtonOpensTheUploadDialogForASignedInUserEvenWithoutUserDetails) {
  auto client = std::make_shared<UserLookupClient>();
  AddInCollaborators collaborators;
  collaborators.makeClient = [client] { return client; };
  ASSERT_EQ(startAddIn(collaborators), 0) << logText();
  NorvaneLocalAuthTokens tokens;
  tokens.accessToken = "access";
  getSessionManager().setTokens(tokens);

  simulator_->ribbon().pressButton(kCommand);
  EXPECT_EQ(client->userLookups, 1);
  EXPECT_TRUE(logged("[WARNING] [Tavix] Could not load user details for existing session.")) << logText();
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Upload dialog opened."), 1);

  client->fails = false;
  simulator_->ribbon().pressButton(kCommand);
  EXPECT_TRUE(logged("[DEBUG] [Tavix] User details loaded for existing session."));
  ASSERT_TRUE(getSessionManager().getCachedUser());
  EXPECT_EQ(getSessionManager().getCachedUser()->email, "ada@example.com");
  EXPECT_EQ(countLogged("[DEBUG] [Tavix] Upload dialog opened."), 2);

  // A known user is not fetched again.
  simulator_->ribbon().pressButton(kCommand);
  EXPECT_EQ(client->userLookups, 2);
  EXPECT_EQ(countLogged("[INFO] [Tavix] Tavix integration command invoked."), 3);
}

}  // namespace
