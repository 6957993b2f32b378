// The network and the service fail while a signed-in Creo user uploads an
// assembly: each call of the upload answers an error, never answers, breaks
// off in the middle of a file, or the service dies and comes back. Each time
// the user must see the dialog that says what to do, trying again must store
// the assembly, and the service must hold each file once with the bytes sent.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "cloud/client_provider.h"
#include "core/testing/test_environment.h"
#include "crypto.h"
#include "upload_journey.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using creosim::DialogView;

constexpr std::uintmax_t kFileBytes = 1536 * 1024;
constexpr const char* kPrepareFailedMessage = "An error occurred while preparing the upload.\nPlease try again.";
constexpr const char* kUnexpectedMessage = "An unexpected error occurred. Please try again.";

// One line of the printed table.
struct Row {
  std::string fault;
  std::string call;
  std::string shown;
  std::string retry;
  std::string held;
};

void printTable(const std::string& title, const std::vector<Row>& rows) {
  std::ostringstream table;
  table << "\n" << title << "\n";
  auto line = [&](const Row& row) {
    table << std::left << std::setw(14) << row.fault << std::setw(12) << row.call << std::setw(58) << row.shown
          << std::setw(30) << row.retry << row.held << "\n";
  };
  line({"fault", "call", "shown to the user", "retry", "files held"});
  for (const Row& row : rows) line(row);
  std::cout << table.str() << std::flush;
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// What the user was first shown that was not the upload's own progress.
std::string firstErrorShown(const creosim::ScriptedDialogUser& user) {
  for (const DialogView& view : user.seen()) {
    if (view.dialog == "GenericError" || view.dialog == "UploadFailed")
      return view.dialog + ": " + firstLine(view.text("ErrorMessageLabel"));
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
// the active window, each file 1.5 MiB, and the service it uploads to.
class FaultJourney {
 public:
  FaultJourney() {
    auto& models = journey_.creo().models();
    models.addModel(model("bolt.prt", "bolt.prt.2"));
    models.addModel(model("plate.prt", "plate.prt.1"));
    creosim::SimModelDefinition frame = model("frame.asm", "frame.asm.7");
    frame.components = {{"bolt.prt"}, {"plate.prt"}, {"bolt.prt"}};
    // With a revision the upload dialog asks whether the workspace holds it already.
    frame.versionStamp = "7";
    frame.version = creosim::QueryScript::answer("1");
    journey_.addCurrentModel(frame);
    journey_.creo().windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  }

  UploadJourney& journey() { return journey_; }
  tavixtest::LocalTavixService& service() { return journey_.service(); }
  creosim::ScriptedDialogUser& user() { return journey_.user(); }

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
    if (uploadDialogOpens) journey_.chooseWorkspace("Bracket Team");
    switch (recovery) {
      case Recovery::None:
        break;
      case Recovery::Retry:
        user().press("UploadFailed", "RetryUploadButton");
        break;
      case Recovery::SignInAgain:
        user().press("GenericError", "StartOverButton");
        user().press("Start", "LoginButton");
        break;
      case Recovery::PressButtonAgain:
        user().close("GenericError");
        break;
    }
    if (recovery != Recovery::SignInAgain && recovery != Recovery::PressButtonAgain) {
      user().press("Upload", "CloseButton");
      journey_.pressTavixButton();
      return;
    }
    journey_.pressTavixButton();
    if (recovery == Recovery::SignInAgain) ASSERT_TRUE(signedIn()) << journey_.logText();
    journey_.chooseWorkspace("Bracket Team");
    user().press("Upload", "CloseButton");
    journey_.pressTavixButton();
  }

  // "stored" when the last progress dialog ended complete, with the way there.
  std::string retryResult(Recovery recovery) {
    static const std::map<Recovery, std::string> ways = {{Recovery::None, "-"},
                                                         {Recovery::Retry, "Retry: "},
                                                         {Recovery::SignInAgain, "sign in, upload: "},
                                                         {Recovery::PressButtonAgain, "button again: "}};
    std::string status;
    for (const DialogView& view : journey_.user().seen())
      if (view.dialog == "Upload") status = view.text("PrimaryStatusLabel");
    const std::string result = status == "Upload Complete!" ? "stored" : "not stored (" + status + ")";
    return recovery == Recovery::None ? result : ways.at(recovery) + result;
  }

  // "3 files once, bytes as sent" when the service holds exactly the three
  // files, each once, and every revision of each holds the SHA-256 of the
  // user's file (a retry after an answer that never came may add a revision
  // of a file, never a second file); else what differs.
  std::string filesHeld() {
    const std::map<std::string, std::string> sent = {{"frame.asm", sha256Of(journey_.models() / "frame.asm.7")},
                                                     {"bolt.prt", sha256Of(journey_.models() / "bolt.prt.2")},
                                                     {"plate.prt", sha256Of(journey_.models() / "plate.prt.1")}};
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
    static const std::map<std::string, std::pair<std::string, std::string>> requests = {
        {"me", {"GET /api/v1/me", ""}},
        {"workspaces", {"GET /api/v1/workspaces", ""}},
        {"root", {"GET /api/v1/workspaces/1/root", ""}},
        {"revisions", {"GET /api/v1/workspaces/1/revisions", ""}},
        {"announce", {"POST /api/v1/uploads", ""}},
        {"file", {"PUT /api/v1/uploads/", "/files/"}},
        {"complete", {"POST /api/v1/uploads/", "/complete"}}};
    const auto& [start, middle] = requests.at(call);
    std::istringstream lines(journey_.service().output());
    const std::string end = " " + std::to_string(status);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(start + (middle.empty() ? " " : ""), 0) != 0) continue;
      if (!middle.empty() && line.find(middle) == std::string::npos) continue;
      if (line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0) return true;
    }
    return false;
  }

  void expectNothingLeftBehind() {
    EXPECT_TRUE(journey_.leftInTemp().empty());
    EXPECT_TRUE(journey_.user().problems().empty()) << journey_.user().transcript();
  }

 private:
  creosim::SimModelDefinition model(const std::string& name, const std::string& file) {
    creosim::SimModelDefinition definition;
    definition.name = name;
    definition.file = journey_.writeModel(file, kFileBytes);
    return definition;
  }

  static bool signedIn() {
    for (const auto deadline = std::chrono::steady_clock::now() + 60s; !getSessionManager().getCachedUser();) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  UploadJourney journey_;
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
  if (call == "workspaces") return {"GenericError: " + firstLine(kPrepareFailedMessage), Recovery::PressButtonAgain, false};
  return {std::string("UploadFailed: ") + kUnexpectedMessage, Recovery::Retry};
}

TEST(UploadNetworkFaults, EachCallOfTheUploadAnsweringAnErrorOnce) {
  std::vector<Row> rows;
  for (const std::string call : {"me", "workspaces", "revisions", "root", "announce", "file", "complete"}) {
    for (const int status : {401, 403, 404, 500, 503}) {
      SCOPED_TRACE(call + " " + std::to_string(status));
      FaultJourney fault;
      if (call == "me") fault.forgetUser();
      fault.service().failNext(1, status, call);
      const Expected expected = expectedFor(call, status);
      fault.upload(expected.recovery, expected.uploadDialogOpens);

      EXPECT_TRUE(fault.answered(call, status)) << fault.service().output() << fault.journey().logText();
      const std::string shown = firstErrorShown(fault.user());
      EXPECT_EQ(shown, expected.shown);
      if (status == 401 && expected.recovery == Recovery::SignInAgain) {
        EXPECT_EQ(fault.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Session Expired");
      }
      const Row row{"HTTP " + std::to_string(status), call, shown, fault.retryResult(expected.recovery),
                    fault.filesHeld()};
      EXPECT_EQ(row.retry.substr(row.retry.size() - 6), "stored") << fault.journey().logText();
      EXPECT_EQ(row.held, "3 files once, bytes as sent");
      fault.expectNothingLeftBehind();
      rows.push_back(row);
    }
  }
  printTable("Each call answering an error once (the assembly's 3 files of 1.5 MiB):", rows);
}

// The service takes fewer files in one upload than this assembly has: the
// same model would be refused again, so the user is told it cannot go as it
// is, and offered no Retry.
TEST(UploadNetworkFaults, AnUploadLargerThanTheServiceTakesIsNotOfferedARetry) {
  tavixtest::LocalTavixService service(std::nullopt, {"--announcement-limit", "300"});
  UploadJourney journey(service, UploadJourney::Start::SignedIn);
  creosim::SimModelDefinition frame;
  frame.name = "frame.asm";
  frame.file = journey.writeModel("frame.asm.7");
  for (const std::string part : {"bolt.prt", "plate.prt", "washer.prt"}) {
    creosim::SimModelDefinition component;
    component.name = part;
    component.file = journey.writeModel(part + ".1");
    journey.creo().models().addModel(component);
    frame.components.push_back({part});
  }
  journey.addCurrentModel(frame);
  journey.user().close("GenericError");
  journey.chooseWorkspace("Bracket Team");
  journey.pressTavixButton();

  EXPECT_EQ(firstErrorShown(journey.user()), "GenericError: This model type is not supported for upload.");
  EXPECT_EQ(journey.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Unsupported Model");
  EXPECT_TRUE(journey.logged(
      "The service refused the upload as larger than it takes (HTTP 413); retrying cannot change that."))
      << journey.logText();
  EXPECT_NE(service.output().find("POST /api/v1/uploads 413"), std::string::npos) << service.output();
  EXPECT_TRUE(service.storedFiles().empty());
  EXPECT_TRUE(journey.leftInTemp().empty());
  EXPECT_TRUE(journey.user().problems().empty()) << journey.user().transcript();
}

// The client library waits 5 minutes for an answer; here 2 seconds, so that an
// answer that never comes ends the upload quickly.
class ShortNetworkTimeouts {
 public:
  ShortNetworkTimeouts() { setEnvironmentVariable("NORVANE_NETWORK_TIMEOUT_SECONDS", "2"); }
  ~ShortNetworkTimeouts() { setEnvironmentVariable("NORVANE_NETWORK_TIMEOUT_SECONDS", nullptr); }
};

const std::string kUnexpectedShown = std::string("UploadFailed: ") + kUnexpectedMessage;

TEST(UploadNetworkFaults, ConnectionsBreakingOffAnswersNeverComingAndASlowService) {
  const ShortNetworkTimeouts timeouts;
  std::vector<Row> rows;
  {
    SCOPED_TRACE("reset in the middle of the first file");
    FaultJourney fault;
    fault.service().breakNextFile("reset", 256 * 1024);
    fault.upload(Recovery::Retry);
    EXPECT_EQ(firstErrorShown(fault.user()), kUnexpectedShown);
    EXPECT_TRUE(fault.journey().logged("Unhandled error during upload: norvane: cannot connect to"))
        << fault.journey().logText();
    rows.push_back({"reset", "file", firstErrorShown(fault.user()), fault.retryResult(Recovery::Retry),
                    fault.filesHeld()});
    fault.expectNothingLeftBehind();
  }
  for (const std::string call : {"root", "announce", "file", "complete"}) {
    SCOPED_TRACE("no answer to " + call);
    FaultJourney fault;
    fault.service().holdNext(call, 120000);
    fault.upload(Recovery::Retry);
    EXPECT_EQ(firstErrorShown(fault.user()), kUnexpectedShown);
    // What the held call does once it goes on counts too: stopping the
    // service lets it finish before the files are counted.
    fault.service().restart();
    rows.push_back({"no answer", call, firstErrorShown(fault.user()), fault.retryResult(Recovery::Retry),
                    fault.filesHeld()});
    fault.expectNothingLeftBehind();
  }
  {
    SCOPED_TRACE("every answer 300 ms late");
    FaultJourney fault;
    fault.service().setDelay(300);
    fault.upload(Recovery::None);
    EXPECT_EQ(firstErrorShown(fault.user()), "none");
    rows.push_back({"slow 300 ms", "every", firstErrorShown(fault.user()), fault.retryResult(Recovery::None),
                    fault.filesHeld()});
    fault.expectNothingLeftBehind();
  }
  for (const Row& row : rows) {
    EXPECT_EQ(row.retry.substr(row.retry.size() - 6), "stored") << row.fault << " " << row.call;
    EXPECT_EQ(row.held, "3 files once, bytes as sent") << row.fault << " " << row.call;
  }
  printTable("Connections breaking off, answers never coming (client time-out 2 s), a slow service:", rows);
}

// Killed while the first file arrives, started again by its operator while
// the user reads the error: the user's Retry finds the session gone with the
// old process, signs in again and uploads.
TEST(UploadNetworkFaults, TheServiceKilledInTheMiddleOfAFileAndStartedAgain) {
  FaultJourney fault;
  fault.service().breakNextFile("crash", 256 * 1024);
  fault.user().check("UploadFailed", [&](const DialogView&) {
    ASSERT_TRUE(fault.service().waitForCrash(30s));
    fault.service().restart();
    // Nothing of the upload was stored, and the restart removed the part that had arrived.
    EXPECT_EQ(fault.filesHeld(), "wrong: bolt.prt missing; frame.asm missing; plate.prt missing;");
  });
  fault.journey().chooseWorkspace("Bracket Team");
  fault.user().press("UploadFailed", "RetryUploadButton");
  fault.upload(Recovery::SignInAgain, false);
  const std::vector<std::string> expected = {"StartFileUpload", "Upload", "UploadFailed", "Upload", "GenericError",
                                             "Loading", "Start", "StartFileUpload", "Upload"};
  EXPECT_EQ(fault.user().seenDialogs(), expected);
  EXPECT_EQ(firstErrorShown(fault.user()), kUnexpectedShown);
  EXPECT_EQ(fault.user().lastSeen("GenericError").text("ErrorTitleLabel"), "Session Expired");
  const Row row{"killed", "file", firstErrorShown(fault.user()), "Retry, " + fault.retryResult(Recovery::SignInAgain),
                fault.filesHeld()};
  EXPECT_EQ(row.held, "3 files once, bytes as sent");
  EXPECT_EQ(row.retry.substr(row.retry.size() - 6), "stored");
  fault.expectNothingLeftBehind();
  printTable("The service killed after 256 KiB of the first file and started again:", {row});
}

}  // namespace
