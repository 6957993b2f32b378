// The network and the service fail while a signed-in Creo user uploads an
// assembly: each call of the upload answers an error, never answers, breaks
// off in the middle of a file, or the service dies and comes back. Each time
// the user must see the dialog that says what to do, trying again must store
// the assembly, and the service must hold each file once with the bytes sent.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>

#include "cloud/cloud_connection.h"
#include "core/testing/test_environment.h"
#include "crypto.h"
#include "upload_journey.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using creosim::DialogView;

constexpr std::uintmax_t kFileBytes = 1536 * 1024;
const std::string kUnexpectedShown = "UploadFailed: An unexpected error occurred. Please try again.";

// What the user was first shown that was not the upload's own progress, with the message's first line.
std::string firstErrorShown(const creosim::ScriptedDialogUser& user) {
  for (const DialogView& view : user.seen()) {
    if (view.dialog == "GenericError" || view.dialog == "UploadFailed") {
      const std::string message = view.text("ErrorMessageLabel");
      return view.dialog + ": " + message.substr(0, message.find('\n'));
    }
  }
  return "none";
}

std::string sha256Of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return tavixservice::sha256Hex(bytes.str());
}

// How the user goes on after the error dialog.
enum class Recovery { None, Retry, SignInAgain, PressButtonAgain };

// A signed-in user with the assembly frame.asm of bolt.prt and plate.prt in
// the active window, each file 1.5 MiB, and the service it uploads to: its
// own, or `service`.
class FaultJourney {
 public:
  explicit FaultJourney(tavixtest::LocalTavixService* service = nullptr)
      : journey_(service ? std::make_unique<UploadJourney>(*service, UploadJourney::Start::SignedIn)
                         : std::make_unique<UploadJourney>()) {
    auto& models = journey_->creo().models();
    models.addModel(model("bolt.prt", "bolt.prt.2"));
    models.addModel(model("plate.prt", "plate.prt.1"));
    creosim::SimModelDefinition frame = model("frame.asm", "frame.asm.7");
    frame.components = {{"bolt.prt"}, {"plate.prt"}, {"bolt.prt"}};
    // With a revision the upload dialog asks whether the workspace holds it already.
    frame.versionStamp = "7";
    frame.version = creosim::QueryScript::answer("1");
    journey_->addCurrentModel(frame);
    journey_->creo().windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  }

  UploadJourney& journey() { return *journey_; }
  tavixtest::LocalTavixService& service() { return journey_->service(); }
  creosim::ScriptedDialogUser& user() { return journey_->user(); }

  // The session keeps its tokens but forgets its user, so the button asks the service who it is.
  void forgetUser() {
    const auto tokens = getSessionManager().getTokens();
    getSessionManager().clear();
    getSessionManager().setTokens(*tokens);
  }

  // Presses the button and uploads to Bracket Team; `recovery` is what the
  // user does at the error dialog, `uploadDialogOpens` whether the upload
  // dialog comes before it.
  void upload(Recovery recovery, bool uploadDialogOpens = true) {
    if (uploadDialogOpens) journey_->chooseWorkspace("Bracket Team");
    if (recovery == Recovery::Retry) user().press("UploadFailed", "RetryUploadButton");
    if (recovery == Recovery::SignInAgain) user().press("GenericError", "StartOverButton").press("Start", "LoginButton");
    if (recovery == Recovery::PressButtonAgain) user().close("GenericError");
    if (recovery == Recovery::SignInAgain || recovery == Recovery::PressButtonAgain) {
      journey_->pressTavixButton();
      ASSERT_TRUE(recovery != Recovery::SignInAgain || signedIn()) << journey_->logText();
      journey_->chooseWorkspace("Bracket Team");
    }
    user().press("Upload", "CloseButton");
    journey_->pressTavixButton();
  }

  // "3 files once, bytes as sent" when the service holds exactly the three
  // files, each once, and every revision of each holds the SHA-256 of the
  // user's file (a retry after an answer that never came may add a revision
  // of a file, never a second file); else what differs.
  std::string filesHeld() {
    const std::map<std::string, std::string> sent = {{"frame.asm", sha256Of(journey_->models() / "frame.asm.7")},
                                                     {"bolt.prt", sha256Of(journey_->models() / "bolt.prt.2")},
                                                     {"plate.prt", sha256Of(journey_->models() / "plate.prt.1")}};
    std::map<std::string, int64_t> held;  // name -> file id
    std::string problems;
    for (const nlohmann::json& file : service().storedFiles()) {
      const std::string name = file["name"];
      const int64_t fileId = file["fileId"];
      if (held.count(name) && held[name] != fileId) problems += " " + name + " twice;";
      held[name] = fileId;
      if (!sent.count(name)) problems += " unexpected " + name + ";";
      else if (file["sha256"] != sent.at(name)) problems += " " + name + " differs;";
      if (file["size"] != kFileBytes) problems += " " + name + " has " + file["size"].dump() + " bytes;";
    }
    for (const auto& [name, sha] : sent)
      if (!held.count(name)) problems += " " + name + " missing;";
    if (!fs::is_empty(service().dataDir() / "blobs" / "incoming")) problems += " bytes left in incoming;";
    return problems.empty() ? "3 files once, bytes as sent" : "wrong:" + problems;
  }

  // The service's own record shows the call answered with that status.
  bool answered(const std::string& call, int status) {
    static const std::map<std::string, std::string> requests = {
        {"me", "GET /api/v1/me"},
        {"workspaces", "GET /api/v1/workspaces"},
        {"root", "GET /api/v1/workspaces/1/root"},
        {"revisions", "GET /api/v1/workspaces/1/revisions"},
        {"announce", "POST /api/v1/uploads"},
        {"file", "PUT /api/v1/uploads/[^ ]+/files/[^ ]+"},
        {"complete", "POST /api/v1/uploads/[^ ]+/complete"}};
    const std::regex line("(^|\n)" + requests.at(call) + " " + std::to_string(status) + "\n");
    return std::regex_search(service().output(), line);
  }

  // The user was shown `shown` first, the last progress dialog ended complete,
  // the service holds the assembly whole and nothing is left behind. Prints
  // the case's line of figures.
  void expectStoredAfter(const std::string& fault, const std::string& shown) {
    std::string status;
    for (const DialogView& view : user().seen())
      if (view.dialog == "Upload") status = view.text("PrimaryStatusLabel");
    EXPECT_EQ(firstErrorShown(user()), shown);
    EXPECT_EQ(status, "Upload Complete!") << journey_->logText();
    EXPECT_EQ(filesHeld(), "3 files once, bytes as sent");
    EXPECT_TRUE(journey_->leftInTemp().empty());
    EXPECT_TRUE(user().problems().empty()) << user().transcript();
    std::cout << fault << ": " << shown << "; then " << status << ", " << filesHeld() << std::endl;
  }

 private:
  creosim::SimModelDefinition model(const std::string& name, const std::string& file) {
    creosim::SimModelDefinition definition;
    definition.name = name;
    definition.file = journey_->writeModel(file, kFileBytes);
    return definition;
  }

  static bool signedIn() {
    for (const auto deadline = std::chrono::steady_clock::now() + 60s; !getSessionManager().getCachedUser();) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  std::unique_ptr<UploadJourney> journey_;
};

// What the user sees when `call` answers `status` once, and how they go on.
struct Expected {
  std::string shown;
  Recovery recovery;
  bool uploadDialogOpens = true;
};

Expected expectedFor(const std::string& call, int status) {
  // Who the user is and whether the model is already there only decorate the
  // upload dialog: without them the upload goes on.
  if (call == "me" || call == "revisions") return {"none", Recovery::None};
  const bool uploadDialogOpens = call != "workspaces";
  if (status == 401) return {"GenericError: Your session has expired.", Recovery::SignInAgain, uploadDialogOpens};
  if (call == "workspaces")
    return {"GenericError: An error occurred while preparing the upload.", Recovery::PressButtonAgain, false};
  return {kUnexpectedShown, Recovery::Retry};
}

TEST(UploadNetworkFaults, EachCallOfTheUploadAnsweringAnErrorOnce) {
  for (const std::string call : {"me", "workspaces", "revisions", "root", "announce", "file", "complete"}) {
    for (const int status : {401, 403, 404, 500, 503}) {
      const std::string fault = "HTTP " + std::to_string(status) + " to " + call;
      SCOPED_TRACE(fault);
      FaultJourney journey;
      if (call == "me") journey.forgetUser();
      journey.service().failNext(1, status, call);
      const Expected expected = expectedFor(call, status);
      journey.upload(expected.recovery, expected.uploadDialogOpens);

      EXPECT_TRUE(journey.answered(call, status)) << journey.service().output() << journey.journey().logText();
      if (expected.recovery == Recovery::SignInAgain) {
        EXPECT_EQ(journey.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Session Expired");
      }
      journey.expectStoredAfter(fault, expected.shown);
    }
  }
}

// The service takes fewer files in one upload than this assembly has: the
// same model would be refused again, so the user is told it cannot go as it
// is, and offered no Retry.
TEST(UploadNetworkFaults, AnUploadLargerThanTheServiceTakesIsNotOfferedARetry) {
  tavixtest::LocalTavixService service(std::nullopt, {"--announcement-limit", "300"});
  FaultJourney journey(&service);
  journey.user().close("GenericError");
  journey.journey().chooseWorkspace("Bracket Team");
  journey.journey().pressTavixButton();

  EXPECT_EQ(firstErrorShown(journey.user()), "GenericError: This model type is not supported for upload.");
  EXPECT_EQ(journey.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Unsupported Model");
  EXPECT_TRUE(journey.journey().logged(
      "The service refused the upload as larger than it takes (HTTP 413); retrying cannot change that."))
      << journey.journey().logText();
  EXPECT_TRUE(journey.answered("announce", 413)) << service.output();
  EXPECT_TRUE(service.storedFiles().empty());
  EXPECT_TRUE(journey.journey().leftInTemp().empty());
  EXPECT_TRUE(journey.user().problems().empty()) << journey.user().transcript();
}

// The client library waits 5 minutes for an answer; here 2 seconds, so that an
// answer that never comes ends the upload quickly.
class ShortNetworkTimeouts {
 public:
  ShortNetworkTimeouts() { setEnvironmentVariable("NORVANE_NETWORK_TIMEOUT_SECONDS", "2"); }
  ~ShortNetworkTimeouts() { setEnvironmentVariable("NORVANE_NETWORK_TIMEOUT_SECONDS", nullptr); }
};

TEST(UploadNetworkFaults, ConnectionsBreakingOffAnswersNeverComingAndASlowService) {
  const ShortNetworkTimeouts timeouts;
  struct Case {
    std::string fault;
    std::function<void(tavixtest::LocalTavixService&)> arm;
    Recovery recovery;
    std::string shown;
    std::string logged;
    bool held = false;
  };
  const Case cases[] = {
      {"reset in the middle of the first file", [](auto& service) { service.breakNextFile("reset", 256 * 1024); },
       Recovery::Retry, kUnexpectedShown, "Unhandled error during upload: norvane: cannot connect to"},
      {"no answer to root", [](auto& service) { service.holdNext("root", 120000); }, Recovery::Retry,
       kUnexpectedShown, "", true},
      {"no answer to announce", [](auto& service) { service.holdNext("announce", 120000); }, Recovery::Retry,
       kUnexpectedShown, "", true},
      {"no answer to file", [](auto& service) { service.holdNext("file", 120000); }, Recovery::Retry,
       kUnexpectedShown, "", true},
      {"no answer to complete", [](auto& service) { service.holdNext("complete", 120000); }, Recovery::Retry,
       kUnexpectedShown, "", true},
      {"every answer 300 ms late", [](auto& service) { service.setDelay(300); }, Recovery::None, "none", ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.fault);
    FaultJourney journey;
    test.arm(journey.service());
    journey.upload(test.recovery);
    EXPECT_TRUE(test.logged.empty() || journey.journey().logged(test.logged)) << journey.journey().logText();
    // What a held call does once it goes on counts too: stopping the service
    // lets it finish before the files are counted.
    if (test.held) journey.service().restart();
    journey.expectStoredAfter(test.fault, test.shown);
  }
}

// Killed while the first file arrives, started again by its operator while
// the user reads the error: the user's Retry finds the session gone with the
// old process, signs in again and uploads.
TEST(UploadNetworkFaults, TheServiceKilledInTheMiddleOfAFileAndStartedAgain) {
  FaultJourney journey;
  journey.service().breakNextFile("crash", 256 * 1024);
  journey.user().check("UploadFailed", [&](const DialogView&) {
    ASSERT_TRUE(journey.service().waitForCrash(30s));
    journey.service().restart();
    // Nothing of the upload was stored, and the restart removed the part that had arrived.
    EXPECT_EQ(journey.filesHeld(), "wrong: bolt.prt missing; frame.asm missing; plate.prt missing;");
  });
  journey.journey().chooseWorkspace("Bracket Team");
  journey.user().press("UploadFailed", "RetryUploadButton");
  journey.upload(Recovery::SignInAgain, false);
  const std::vector<std::string> expected = {"StartFileUpload", "Upload", "UploadFailed", "Upload", "GenericError",
                                             "Loading", "Start", "StartFileUpload", "Upload"};
  EXPECT_EQ(journey.user().seenDialogs(), expected);
  EXPECT_EQ(journey.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Session Expired");
  journey.expectStoredAfter("killed in the first file, started again", kUnexpectedShown);
}

}  // namespace
