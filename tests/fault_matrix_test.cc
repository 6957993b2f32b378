// Every toolkit operation the simulated Creo serves, failing with every toolkit
// exception, in every journey that reaches it: start-up, sign-in, the upload
// dialog and the upload of each kind of model. Whatever fails, nothing may
// escape into Creo, no dialog may stay open, the user is told in the system's
// own words, and nothing is left behind or changed in the user's files.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>
#include <utility>

#include "cloud/cloud_connection.h"
#include "signin/auth_flow_runner.h"
#include "signin/sign_in_context.h"
#include "upload/upload_operation_dialog.h"
#include "upload_journey.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using creosim::DialogAction;
using creosim::DialogView;
using creosim::FaultInjector;
using creosim::SimModelDefinition;

// Creo refused to restore the option it was given for the export: the user is
// asked to, and only then may it stay changed.
const char* const kOptionNotRestored =
    "The integration was unable to reset save_instance_accelerator to NONE.\nPlease reset it manually.";

// What a failure may show the user: the system's own messages.
const std::set<std::string> kUserMessages = {
    // Sign-in.
    "We couldn't sign you in. Please try again.",
    "We couldn't complete the request.\nPlease start over.",
    // The upload dialog.
    "No supported model is currently open.\nPlease open a model and try again.",
    "The current model has not been saved yet.\nPlease save the file and try again.",
    "Creo session is unavailable.\nPlease restart Creo and try again.",
    "Failed to read the current model.\nPlease verify the integration version matches your Creo version.",
    "Failed to prepare the model for upload.\nPlease try again or contact support.",
    "A Creo error occurred while opening the upload dialog.\nPlease try again.",
    "An error occurred while preparing the upload.\nPlease try again.",
    "An unexpected error occurred.\nPlease restart and try again.",
    "This file type is not supported in Tavix.\nTavix supports only PRT, ASM, and DRW files.",
    "We couldn't access the model file at its saved location.\nReconnect the drive or reopen and save the model, "
    "then try again.",
    "No workspace available.\nPlease create a workspace in Tavix and try again.",
    "The selected workspace is no longer accessible.\nPlease choose another workspace to continue.",
    "Your session has expired.\nPlease sign in again to continue.",
    // The upload and its export.
    "Your model was uploaded to Tavix.\nOpen it from your workspace in Tavix.",
    "An unexpected error occurred. Please try again.",
    "No files were available to upload. Please try again.",
    "This model type is not supported for upload.",
    "We couldn't access the selected model file for upload. Please reopen the model and try again.",
    "Some referenced parts are missing.\nReopen the assembly with all files loaded, then try again.",
    "We couldn't access all required Windchill files. Refresh the workspace or reopen the model, then try again.",
    "We couldn't read the Windchill revision information required for upload. Please reopen the model and try "
    "again.",
    "We couldn't read the Windchill revision information required for upload.\nPlease reopen the model and try "
    "again.",
    "We couldn't read the source revision information required for upload.\nPlease reopen the model and try again.",
    "We couldn't prepare this model for upload. Please try again. If the problem continues, contact support.",
    "Creo could not write the drawing PDF needed for upload. Please check file permissions and try again.",
    "The drawing must be active in Creo before it can be exported for upload.",
    "Creo does not support exporting this drawing with the current PDF settings.",
    kOptionNotRestored,
};

// Messages that name the model first.
const std::vector<std::string> kUserMessageEndings = {
    " files are not supported in Tavix.\nTavix supports only PRT, ASM, and DRW files.",
    " has an active simplified representation.\nSimplified representations are not supported in Tavix.",
};

bool isSystemMessage(const std::string& text) {
  if (kUserMessages.count(text)) return true;
  for (const std::string& ending : kUserMessageEndings)
    if (text.size() > ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0)
      return true;
  return false;
}

// Start-up shows no dialog: its failure is its one ERROR line.
const std::vector<std::string> kStartUpFailures = {
    "Integration initialization failed because a Creo ribbon or icon resource file is missing or invalid.",
    "Integration initialization failed because the ribbon command already exists in the Creo session.",
    "Integration initialization failed because a required message catalog entry was not found.",
    "Integration initialization failed because a required Creo UI resource was not found.",
    "Error during integration initialization: ",
    "Unknown error during Tavix integration initialization.",
};

const std::set<std::string> kErrorDialogs = {"GenericError", "UploadFailed", "SignInFailed"};

// Answers whatever the script does not: closes the waiting dialog. A dialog
// that stays after many closes cannot be closed; the user then gives up.
class ClosingUser : public creosim::DialogUser {
 public:
  void see(const DialogView&) override {}
  DialogAction act(const DialogView&) override {
    return ++closes_ > 12 ? DialogAction::giveUp() : DialogAction::close();
  }
  std::optional<DialogAction> actMeanwhile(const DialogView&) override { return std::nullopt; }
  void refused(const DialogView&, const DialogAction&, const std::string&) override {}

 private:
  int closes_ = 0;
};

enum class Stage { StartUp, SignIn, UploadDialog, Upload };
enum class ModelKind { Part, Assembly, FamilyInstance, WindchillFamilyInstance, Drawing, WindchillPart };

struct JourneyKind {
  std::string name;
  Stage stage;
  ModelKind model;
  // The transfer fails, and the journey ends in a failure dialog: the service
  // refuses the files, or refuses them once the user has signed out elsewhere.
  enum class Refusal { None, Files, FilesAfterSignOut } refusal = Refusal::None;
};

std::vector<JourneyKind> journeyKinds() {
  std::vector<JourneyKind> kinds = {{"start-up", Stage::StartUp, ModelKind::Part},
                                    {"sign-in", Stage::SignIn, ModelKind::Part}};
  const std::vector<std::pair<std::string, ModelKind>> models = {
      {"part", ModelKind::Part},
      {"assembly", ModelKind::Assembly},
      {"family-table instance", ModelKind::FamilyInstance},
      {"Windchill family-table instance", ModelKind::WindchillFamilyInstance},
      {"drawing", ModelKind::Drawing},
      {"Windchill part", ModelKind::WindchillPart}};
  for (const auto& [name, model] : models) kinds.push_back({"upload dialog (" + name + ")", Stage::UploadDialog, model});
  for (const auto& [name, model] : models) kinds.push_back({"upload (" + name + ")", Stage::Upload, model});
  kinds.push_back({"upload refused (part)", Stage::Upload, ModelKind::Part, JourneyKind::Refusal::Files});
  kinds.push_back({"upload refused after sign-out (part)", Stage::Upload, ModelKind::Part,
                   JourneyKind::Refusal::FilesAfterSignOut});
  return kinds;
}

// The user's models of each kind, the current one last.
void addModels(UploadJourney& journey, ModelKind kind) {
  creosim::ModelStore& models = journey.creo().models();
  models.setConfigOption("save_instance_accelerator", "NONE");
  const fs::path cache = journey.models() / "wscache";
  fs::create_directories(cache);
  models.addWorkspace({"main", cache});
  switch (kind) {
    case ModelKind::Part:
      journey.addCurrentModel(journey.localModel("bracket.prt", "bracket.prt.3", 5000));
      return;
    case ModelKind::Assembly: {
      models.addModel(journey.localModel("bolt.prt", "bolt.prt.2", 1000));
      // Not in session: the export retrieves it.
      SimModelDefinition plate = journey.localModel("plate.prt", "plate.prt.1", 2000);
      plate.loaded = false;
      models.addModel(plate);
      SimModelDefinition frame = journey.localModel("frame.asm", "frame.asm.7", 3000);
      frame.simplifiedRep = pfcSIMPREP_MASTER_REP;
      for (const char* component : {"bolt.prt", "bolt.prt", "plate.prt"}) frame.components.push_back({component});
      journey.addCurrentModel(frame);
      return;
    }
    case ModelKind::FamilyInstance:
    case ModelKind::WindchillFamilyInstance: {
      const bool windchill = kind == ModelKind::WindchillFamilyInstance;
      SimModelDefinition plate =
          journey.localModel("plate.prt", windchill ? "wscache/plate.prt" : "plate.prt.2", 6000);
      plate.familyRows = {"PLATE_A"};
      SimModelDefinition instance;
      instance.name = "plate_a.prt";
      instance.generic = "plate.prt";
      instance.parameters["PTC_WM_LIFECYCLE_STATE"] = "In Work";
      if (windchill) {
        plate.workspace = instance.workspace = "main";
        instance.revision = creosim::QueryScript::answer("C");
        instance.version = creosim::QueryScript::answer("7");
      }
      models.addModel(plate);
      journey.addCurrentModel(instance);
      return;
    }
    case ModelKind::Drawing: {
      SimModelDefinition plan = journey.localModel("plan.drw", "plan.drw.2", 3000);
      plan.sheets = 2;
      journey.addCurrentModel(plan);
      return;
    }
    case ModelKind::WindchillPart: {
      SimModelDefinition shaft = journey.localModel("shaft.prt", "wscache/shaft.prt", 2500);
      shaft.workspace = "main";
      shaft.revision = creosim::QueryScript::answer("B");
      shaft.version = creosim::QueryScript::answer("3");
      shaft.parameters["PTC_WM_LIFECYCLE_STATE"] = "Released";
      journey.addCurrentModel(shaft);
      return;
    }
  }
}

// Every file under a folder with its bytes.
std::map<std::string, std::string> filesUnder(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[fs::relative(entry.path(), folder).string()] = bytes.str();
  }
  return files;
}

// Which call of an operation fails: its first in the journey, its last, or
// one made while the transfer runs (the progress dialog's polling).
enum class Moment { First, Last, Transfer };
const std::vector<Moment> kMoments = {Moment::First, Moment::Last, Moment::Transfer};
const char* const kMomentNames[] = {"", " at its last call", " while the transfer runs"};

// Where in a journey a fault is armed: where the journey begins, and as its
// first transfer starts and ends (after a refresh of the progress dialog, so
// that what follows is called as often in every run).
enum class Mark { Start, TransferStart, TransferEnd, End };
using CallCounts = std::map<std::string, int>;

struct Fault {
  std::string operation;
  std::string exception;
  Mark mark = Mark::Start;
  int skip = 0;  // calls of the operation that pass once it is armed
};

// How one journey ended.
struct Outcome {
  bool reached = false;
  std::string shown;              // what the user was told, or how the journey succeeded
  std::vector<std::string> faults;  // what a user or support engineer would object to
  std::map<Mark, CallCounts> calls;  // the calls made from the journey's start to each mark it passed
  std::vector<std::string> stored;  // what the service received: "name size"
  std::string log;                  // the add-in's log
};

// Where the `moment` call of `operation` is, from the calls of a journey without a fault.
std::optional<Fault> placed(const std::string& operation, Moment moment, std::map<Mark, CallCounts> calls) {
  const int total = calls[Mark::End][operation];
  if (total == 0) return std::nullopt;
  switch (moment) {
    case Moment::First:
      return Fault{operation, "", Mark::Start, 0};
    case Moment::Last: {
      if (total < 2) return std::nullopt;
      const int after = calls.count(Mark::TransferEnd) ? total - calls[Mark::TransferEnd][operation] : 0;
      if (after == 0) return Fault{operation, "", Mark::Start, total - 1};
      return Fault{operation, "", Mark::TransferEnd, after - 1};
    }
    case Moment::Transfer:
      if (!calls.count(Mark::TransferEnd) ||
          calls[Mark::TransferEnd][operation] == calls[Mark::TransferStart][operation])
        return std::nullopt;
      return Fault{operation, "", Mark::TransferStart, 0};
  }
  return std::nullopt;
}

// Until `done` holds, or `limit` has passed.
void waitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
}

class FaultMatrix {
 public:
  FaultMatrix() : kinds_(journeyKinds()) {
    const nlohmann::json tokens = service_.issueTokens();
    tokens_ = NorvaneLocalAuthTokens{tokens["access_token"], tokens["refresh_token"], tokens["id_token"]};
  }

  Outcome run(const JourneyKind& kind, const std::optional<Fault>& fault) {
    Outcome outcome;
    UploadJourney journey(service_, kind.stage == Stage::StartUp ? UploadJourney::Start::Later
                                                                 : UploadJourney::Start::SignedOut);
    if (kind.stage == Stage::UploadDialog || kind.stage == Stage::Upload) {
      // The service's tokens stay valid across journeys: one sign-in serves them all.
      getSessionManager().setTokens(tokens_);
      getSessionManager().setCurrentUser(NorvaneUser{1, tavixtest::kDemoEmail, tavixtest::kDemoName});
    }
    creosim::CreoSimulator& creo = journey.creo();
    creo.dialogs().setNonWaitingActivationTime(0ms);
    journey.user().answerUnscriptedWith(std::make_shared<ClosingUser>());
    addModels(journey, kind.model);
    const std::map<std::string, std::string> userFiles = filesUnder(journey.models());
    // Only an upload sends anything: the other journeys need not ask the service.
    const bool uploads = kind.stage == Stage::Upload;
    const size_t storedBefore = uploads ? service_.storedFiles().size() : 0;
    FaultInjector& faults = creo.faults();
    auto markAt = [&](Mark mark) {
      if (mark == Mark::Start) {
        faults.clear();
        faults.recordCalls(true);
      }
      outcome.calls[mark] = faults.callCounts();
      if (fault && fault->mark == mark) faults.failNext(fault->operation, fault->exception, 1, fault->skip);
    };
    auto arm = [&] { markAt(Mark::Start); };
    // Marks on the transfer thread, for the first transfer of the journey.
    bool transferStarted = false, transferEnded = false;
    journey.setPauses(UploadPauses{[&] {
                                     if (std::exchange(transferStarted, true)) return;
                                     if (kind.refusal != JourneyKind::Refusal::None) service_.failNext(1, 500);
                                     if (kind.refusal == JourneyKind::Refusal::FilesAfterSignOut)
                                       getSessionManager().clear();
                                     markAt(Mark::TransferStart);
                                     // A polling call fails while the transfer waits.
                                     if (fault && fault->mark == Mark::TransferStart)
                                       waitFor([&] { return faults.fired() > 0; });
                                   },
                                   [&] {
                                     if (std::exchange(transferEnded, true)) return;
                                     if (fault && fault->mark != Mark::TransferEnd) return markAt(Mark::TransferEnd);
                                     const int polls = faults.callCounts()["uifcActivateDialog"];
                                     waitFor([&] { return faults.callCounts()["uifcActivateDialog"] > polls; });
                                     std::this_thread::sleep_for(10ms);
                                     markAt(Mark::TransferEnd);
                                   }});

    switch (kind.stage) {
      case Stage::StartUp: {
        arm();
        const int result = journey.start();
        outcome.reached = faults.fired() > 0;
        faults.recordCalls(false);
        outcome.shown = startUpLine(journey, result, outcome);
        break;
      }
      case Stage::SignIn: {
        creo.windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
        journey.user().press("Start", "LoginButton");
        arm();
        journey.pressTavixButton();
        // The sign-in thread has stored a user, reported a failure, or is not running.
        waitFor([] {
          return getSessionManager().getCachedUser() || signInState().failed.load() || signInRunner().waitForAll(50ms);
        }, 30s);
        outcome.reached = faults.fired() > 0;
        faults.recordCalls(false);
        faults.clear();
        // The next press shows what became of the sign-in.
        journey.pressTavixButton();
        if (getSessionManager().getCachedUser()) outcome.shown = "signed in";
        break;
      }
      case Stage::UploadDialog:
        arm();
        journey.pressTavixButton();
        break;
      case Stage::Upload:
        journey.user().select("StartFileUpload", "WorkspaceDropdown", "Bracket Team");
        journey.user().check("StartFileUpload", [&](const DialogView&) { arm(); });
        journey.user().press("StartFileUpload", "UploadButton");
        journey.pressTavixButton();
        break;
    }
    if (kind.stage == Stage::UploadDialog || kind.stage == Stage::Upload) {
      outcome.reached = faults.fired() > 0;
      faults.recordCalls(false);
    }
    outcome.calls[Mark::End] = faults.callCounts();
    faults.clear();

    if (outcome.shown.empty()) outcome.shown = shownToUser(journey, kind, outcome);
    const nlohmann::json stored = uploads ? service_.storedFiles() : nlohmann::json::array();
    for (size_t i = storedBefore; i < stored.size(); ++i)
      outcome.stored.push_back(stored[i]["name"].get<std::string>() + " " +
                               std::to_string(stored[i]["size"].get<int64_t>()));

    for (const std::string& problem : creo.problems()) outcome.faults.push_back("Creo: " + problem);
    for (const std::string& dialog : creo.dialogs().openDialogs()) outcome.faults.push_back("left open: " + dialog);
    // The upload dialog and the upload clean up when they end.
    if (kind.stage == Stage::UploadDialog || kind.stage == Stage::Upload)
      for (const std::string& left : journey.leftInTemp()) outcome.faults.push_back("left behind: " + left);
    journey.stop();
    for (const std::string& left : journey.leftInTemp()) outcome.faults.push_back("left after Creo stopped: " + left);
    const std::string option = creo.models().configOption("save_instance_accelerator");
    if (option != "NONE" && outcome.shown != kOptionNotRestored) outcome.faults.push_back("save_instance_accelerator is now \"" + option + "\"");
    if (filesUnder(journey.models()) != userFiles) outcome.faults.push_back("the user's files changed");
    outcome.log = journey.logText();
    return outcome;
  }

  // The journeys each operation is reached in, and what each stored when nothing failed.
  void discover() {
    for (const JourneyKind& kind : kinds_) {
      Outcome clean = run(kind, std::nullopt);
      EXPECT_TRUE(clean.faults.empty()) << kind.name << ": " << ::testing::PrintToString(clean.faults);
      for (const auto& [operation, count] : clean.calls[Mark::End])
        for (Moment moment : kMoments)
          if (placed(operation, moment, clean.calls)) reachedBy_[{operation, moment}].push_back(&kind);
      cleanCalls_[kind.name] = clean.calls;
      expectedStored_[kind.name] = clean.stored;
    }
  }

  // A later call is a cell of its own where some journey makes one.
  bool hasCell(const std::string& operation, Moment moment) const {
    return moment == Moment::First || reachedBy_.count({operation, moment});
  }

  // One line per cell; false when the cell's journey went wrong. The `round`-th
  // cell of an operation and moment runs the `round`-th journey that reaches it
  // (cyclically), so that its cells together pass through every such journey.
  bool cell(const std::string& operation, Moment moment, const std::string& exception, size_t round,
            std::ostream& out) {
    const auto reached = reachedBy_.find({operation, moment});
    out << operation << " x " << exception << kMomentNames[static_cast<int>(moment)] << ": ";
    if (reached == reachedBy_.end()) {
      out << "not reached by any journey" << std::endl;
      ++unreached_;
      return true;
    }
    const JourneyKind& kind = *reached->second[round % reached->second.size()];
    auto runWith = [&](const std::map<Mark, CallCounts>& calls) {
      Fault fault = *placed(operation, moment, calls);
      fault.exception = exception;
      ++journeys_;
      return run(kind, fault);
    };
    Outcome outcome = runWith(cleanCalls_[kind.name]);
    // The progress dialogs' refreshes vary in number: where the last call came
    // earlier than without a fault, it is armed again where it came.
    if (!outcome.reached && moment == Moment::Last && placed(operation, moment, outcome.calls))
      outcome = runWith(outcome.calls);
    if (!outcome.reached) outcome.faults.push_back("the armed fault never fired");
    if (kind.stage == Stage::Upload && outcome.shown == "upload complete" &&
        outcome.stored != expectedStored_[kind.name])
      outcome.faults.push_back("the service received " + ::testing::PrintToString(outcome.stored) + " instead of " +
                               ::testing::PrintToString(expectedStored_[kind.name]));
    if (outcome.faults.empty()) {
      out << "ok in " << kind.name << ": " << escaped(outcome.shown) << std::endl;
      ++good_;
      return true;
    }
    out << "BAD in " << kind.name << "\n";
    for (const std::string& fault : outcome.faults) out << "    " << fault << "\n";
    if (std::getenv("TAVIX_FAULT_MATRIX_LOGS")) out << outcome.log;
    out << std::flush;
    ++bad_;
    return false;
  }

  void skip(const std::string& operation, Moment moment, const std::string& exception, std::ostream& out) {
    out << operation << " x " << exception << kMomentNames[static_cast<int>(moment)]
        << ": skipped under the sanitizer\n";
    ++skipped_;
  }

  void totals(std::ostream& out) const {
    out << "cells: " << good_ + bad_ + unreached_ + skipped_ << " (ok " << good_ << ", bad " << bad_
        << ", not reached " << unreached_ << ", skipped " << skipped_ << "); journeys run with a fault armed: "
        << journeys_ << "\n";
  }

 private:
  static std::string escaped(const std::string& text) {
    std::string result;
    for (char c : text) result += c == '\n' ? std::string("\\n") : std::string(1, c);
    return result;
  }

  static std::string startUpLine(UploadJourney& journey, int result, Outcome& outcome) {
    if (result == 0) {
      if (!journey.logged("[INFO] [Tavix] Tavix integration initialization complete."))
        outcome.faults.push_back("start-up returned 0 without completing");
      return "started";
    }
    for (const std::string& line : kStartUpFailures)
      if (journey.logged("[ERROR] [Tavix] " + line)) return "did not start: " + line;
    outcome.faults.push_back("start-up returned " + std::to_string(result) + " without its ERROR line");
    return {};
  }

  // The message of the last error dialog, or the success the journey was after.
  static std::string shownToUser(UploadJourney& journey, const JourneyKind& kind, Outcome& outcome) {
    std::string message;
    bool completed = false;
    bool uploadDialogShown = false;
    for (const DialogView& view : journey.user().seen()) {
      if (kErrorDialogs.count(view.dialog)) message = view.text("ErrorMessageLabel");
      if (view.dialog == "Upload" && view.text("PrimaryStatusLabel") == "Upload Complete!") completed = true;
      if (view.dialog == "StartFileUpload") uploadDialogShown = true;
    }
    if (!message.empty()) {
      if (!isSystemMessage(message)) outcome.faults.push_back("the user was told \"" + escaped(message) + "\"");
      return message;
    }
    if (kind.stage == Stage::Upload && completed) return "upload complete";
    if (kind.stage == Stage::UploadDialog && uploadDialogShown) return "upload dialog shown";
    // Where the error box itself cannot be shown, only its log line tells.
    const std::string boxFailed = "[ERROR] [Tavix] Unknown error detected in GenericErrorDialog::showDialog.";
    if (journey.logged(boxFailed)) return "logged: " + boxFailed;
    outcome.faults.push_back("the user was told nothing");
    return {};
  }

  tavixtest::LocalTavixService service_;
  NorvaneLocalAuthTokens tokens_;
  std::vector<JourneyKind> kinds_;
  std::map<std::pair<std::string, Moment>, std::vector<const JourneyKind*>> reachedBy_;
  std::map<std::string, std::map<Mark, CallCounts>> cleanCalls_;
  std::map<std::string, std::vector<std::string>> expectedStored_;
  int good_ = 0, bad_ = 0, unreached_ = 0, skipped_ = 0, journeys_ = 0;
};

// Under the sanitizers every journey is several times slower: every fourth
// cell of each operation runs, which still passes through each journey.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr size_t kCellStride = 4;
#else
constexpr size_t kCellStride = 1;
#endif

bool raisable(const std::string& operation, const std::string& exception) {
  // Creo raises processor-level faults only from the revision and version queries.
  return exception != creosim::kProcessorFaultName || operation == "pfcModel::GetRevision" ||
         operation == "pfcModel::GetVersion";
}

TEST(FaultMatrix, NoFaultOfAnyOperationEscapesLeavesAnythingBehindOrGoesUnexplained) {
  FaultMatrix matrix;
  matrix.discover();
  int bad = 0;
  // TAVIX_FAULT_MATRIX_OPERATION=name runs that operation's cells only; with
  // TAVIX_FAULT_MATRIX_LOGS set, a bad cell prints the add-in's log.
  const char* only = std::getenv("TAVIX_FAULT_MATRIX_OPERATION");
  for (const std::string& operation : FaultInjector::operations()) {
    if (only && operation != only) continue;
    for (Moment moment : kMoments) {
      if (!matrix.hasCell(operation, moment)) continue;
      size_t round = 0;
      for (const std::string& exception : FaultInjector::exceptions()) {
        if (!raisable(operation, exception)) continue;
        const size_t cell = round++;
        if (cell % kCellStride != 0)
          matrix.skip(operation, moment, exception, std::cout);
        else if (!matrix.cell(operation, moment, exception, cell / kCellStride, std::cout))
          ++bad;
      }
    }
  }
  matrix.totals(std::cout);
  EXPECT_EQ(bad, 0);
}

}  // namespace
