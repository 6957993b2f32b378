#include "dialog_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "scripted_dialog_user.h"
#include "terminal_dialog_user.h"

namespace creosim {
namespace {

namespace fs = std::filesystem;

// A dialog with a button row, an option menu and a hidden warning layout that keeps
// its space and holds a button.
constexpr const char* kAsk = R"(
(Dialog Ask
  (Components (Label Question) (OptionMenu Choice) (SubLayout Warning) (PushButton Yes) (PushButton No))
  (Resources (.Label "Question") (Question.Label "Go on?") (Yes.Label "Yes") (No.Label "No")
             (Choice.Names "a" "b") (Choice.Labels "Alpha" "Beta") (Warning.Visible False))
  (Layout (Row Question) (Row Choice) (Row Warning) (Row Yes No)))
(Layout Warning (Components (PushButton Hidden)) (Resources (Hidden.Label "Hidden")))
)";
constexpr const char* kNote = "(Dialog Note (Components (PushButton Ok)) (Resources (.Label \"Note\") (Ok.Label \"OK\")))";
constexpr const char* kBusy = "(Dialog Busy (Components (Label Status)) (Resources (.DialogStyle Modeless)))";

struct ButtonCalls : uifcDefaultPushButtonListener {
  std::function<void(uifcPushButton_ptr)> onActivate;
  void OnActivate(uifcPushButton_ptr handle) override { onActivate(handle); }
};
struct DialogCalls : uifcDefaultDialogListener {
  int closes = 0, displays = 0;
  std::function<void()> onClose;
  void OnClose(uifcDialog_ptr) override {
    ++closes;
    if (onClose) onClose();
  }
  void OnDisplay(uifcDialog_ptr) override { ++displays; }
};
struct MenuCalls : uifcDefaultOptionMenuListener {
  std::vector<std::string> selections;
  void OnSelect(uifcOptionMenu_ptr handle) override { selections.push_back(handle->GetSelectedItemNameArray()->get(0)); }
};

class SimDialogs : public ::testing::Test {
 protected:
  SimDialogs() : folder_(fs::temp_directory_path() / ("sim-dialogs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())), dialogs_(folder_, faults_) {
    fs::create_directories(folder_);
    write("Ask.res", kAsk);
    write("Note.res", kNote);
    write("Busy.res", kBusy);
    dialogs_.setUser(user_);
    dialogs_.setNonWaitingActivationTime(std::chrono::milliseconds(0));
  }
  ~SimDialogs() override { fs::remove_all(folder_); }
  void write(const std::string& name, const std::string& text) { std::ofstream(folder_ / name) << text; }

  fs::path folder_;
  FaultInjector faults_;
  DialogSystem dialogs_;
  std::shared_ptr<ScriptedDialogUser> user_ = std::make_shared<ScriptedDialogUser>();
};

TEST_F(SimDialogs, MalformedResourcesAreRefusedWithTheLineAtFault) {
  auto errorFor = [](const std::string& text) -> std::string {
    try {
      parseDialogResource(text);
    } catch (const DialogResourceError& error) {
      return error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(errorFor("(Dialog D\n  (Components (Label A)\n"), "line 2: '(' is never closed");
  EXPECT_EQ(errorFor("(Dialog D (Components (Slider A)))"), "line 1: unknown component kind Slider");
  EXPECT_EQ(errorFor("(Dialog D (Components (Label A))\n (Resources (A.Enabled False)))"),
            "line 2: a Label has no attribute Enabled");
  EXPECT_EQ(errorFor("(Dialog D (Components (Label A) (Label B)) (Layout (Row A)))"), "line 1: layout never places B");
  EXPECT_EQ(errorFor("(Dialog D (Components (SubLayout L)))"), "line 1: no Layout block defines L");
  EXPECT_EQ(errorFor("(Dialog D (Components (Label A) (SubLayout L)))\n(Layout L (Components (Label A)))"),
            "line 2: component name used twice: A");
  EXPECT_EQ(errorFor("(Dialog D (Resources (.Label \"unclosed)))"), "line 1: string is never closed");

  write("Broken.res", "(Dialog Broken (Components (Label A))");
  write("Other.res", kNote);
  EXPECT_THROW(dialogs_.createDialog("Broken", "Broken"), pfcXToolkitInvalidFile);
  EXPECT_THROW(dialogs_.createDialog("Other", "Other"), pfcXToolkitInvalidFile);
  ASSERT_EQ(dialogs_.problems().size(), 2u);
  EXPECT_EQ(dialogs_.problems()[0], "Broken.res: line 1: '(' is never closed");
  EXPECT_EQ(dialogs_.problems()[1], "Other.res: defines the dialog Note instead of Other");
}

TEST_F(SimDialogs, UnknownDialogsAndComponentsAndWrongKindsAreNotFound) {
  EXPECT_THROW(dialogs_.createDialog("Missing", "Missing"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.createDialog("Sneaky", "../Ask"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.activateDialog("Ask"), pfcXToolkitNotFound);
  dialogs_.createDialog("Ask", "Ask");
  EXPECT_THROW(dialogs_.createDialog("Ask", "Ask"), pfcXToolkitFound);
  EXPECT_THROW(dialogs_.findLabel("Ask", "Nothing"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.findLabel("Ask", "Yes"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.findPushButton("Ask", "Question"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.findLayout("Ask", "Choice"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.findOptionMenu("Ask", "Warning"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.findDialog("Ask", "Yes"), pfcXToolkitNotFound);

  uifcLabel_ptr question = dialogs_.findLabel("Ask", "Question");
  question->SetText("Really?");
  EXPECT_EQ(dialogs_.view("Ask")->text("Question"), "Really?");
  faults_.failNext("uifcLabel::SetText", "pfcXToolkitCantWrite");
  EXPECT_THROW(question->SetText("again"), pfcXToolkitCantWrite);
  dialogs_.destroyDialog("Ask");
  EXPECT_THROW(question->SetText("gone"), pfcXToolkitNotFound);
  EXPECT_THROW(dialogs_.exitDialog("Ask", 0), pfcXToolkitNotFound);
}

TEST_F(SimDialogs, ActivationWaitsForTheUserAndNestedDialogsRunInside) {
  dialogs_.createDialog("Ask", "Ask");
  ButtonCalls yes;
  yes.onActivate = [&](uifcPushButton_ptr handle) {
    dialogs_.createDialog("Note", "Note");
    DialogCalls noteClose;
    noteClose.onClose = [&] { dialogs_.exitDialog("Note", 7); };
    dialogs_.findDialog("Note", "Note")->AddActionListener(&noteClose);
    EXPECT_EQ(dialogs_.activateDialog("Note"), 7);
    dialogs_.destroyDialog("Note");
    dialogs_.exitDialog(handle->GetDialog(), 3);
  };
  DialogCalls askCalls;
  MenuCalls menu;
  dialogs_.findPushButton("Ask", "Yes")->AddActionListener(&yes);
  dialogs_.findDialog("Ask", "Ask")->AddActionListener(&askCalls);
  dialogs_.findOptionMenu("Ask", "Choice")->AddActionListener(&menu);

  user_->press("Ask", "Hidden").select("Ask", "Choice", "b").select("Ask", "Choice", "zzz").press("Ask", "Yes");
  user_->check("Note", [](const DialogView& view) { EXPECT_EQ(view.shownButtons(), std::vector<std::string>{"OK"}); });
  user_->close("Note");
  EXPECT_EQ(dialogs_.activateDialog("Ask"), 3);

  EXPECT_EQ(askCalls.displays, 1);
  EXPECT_EQ(askCalls.closes, 0);
  EXPECT_EQ(menu.selections, std::vector<std::string>{"b"});
  EXPECT_EQ(dialogs_.findOptionMenu("Ask", "Choice")->GetSelectedItemNameArray()->items(), std::vector<std::string>{"b"});
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Ask", "Note"}));
  EXPECT_EQ(user_->problems(), (std::vector<std::string>{
                                   "Ask: could not press Hidden: the button is hidden or disabled",
                                   "Ask: could not select zzz in Choice: the option menu has no such item"}));
  EXPECT_EQ(user_->lastSeen("Ask").render(),
            "+-- Question (Ask)\n|  Go on?\n|  <Beta v>\n|\n|  [Yes]  [No]\n+--\n");
  EXPECT_TRUE(dialogs_.problems().empty());
}

TEST_F(SimDialogs, ModelessActivationReturnsAtOnceUntilTheStyleAsksToWait) {
  dialogs_.createDialog("Busy", "Busy");
  uifcLabel_ptr status = dialogs_.findLabel("Busy", "Status");
  for (const char* text : {"one", "one", "two"}) {
    status->SetText(text);
    EXPECT_EQ(dialogs_.activateDialog("Busy"), 0);
  }
  EXPECT_EQ(user_->seen().size(), 2u);  // shown again only when it changed
  EXPECT_EQ(dialogs_.activations("Busy"), 3);  // but every activation counts
  EXPECT_EQ(dialogs_.activations("Ask"), 0);
  EXPECT_EQ(user_->seenDialogs(), std::vector<std::string>{"Busy"});

  dialogs_.findDialog("Busy", "Busy")->SetDialogStyle(uifcCore::DialogStyle::Working);
  EXPECT_EQ(dialogs_.activateDialog("Busy"), -1);  // nobody scripted an answer
  EXPECT_EQ(user_->problems(), std::vector<std::string>{"Busy waited for the user, but the script had nothing for it"});
  EXPECT_EQ(dialogs_.problems(),
            std::vector<std::string>{"Busy waited for the user, but the user gave up; activation ended with -1"});
}

TEST_F(SimDialogs, ListenersAreDroppedAtDestroyAndEscapingExceptionsAreReported) {
  dialogs_.createDialog("Ask", "Ask");
  int laterCalls = 0;
  ButtonCalls destroying, throwing, later;
  destroying.onActivate = [&](uifcPushButton_ptr) { dialogs_.destroyDialog("Ask"); };
  later.onActivate = [&](uifcPushButton_ptr) { ++laterCalls; };
  throwing.onActivate = [&](uifcPushButton_ptr) { throw pfcXToolkitCantAccess("test"); };
  auto no = dialogs_.findPushButton("Ask", "No");
  no->AddActionListener(&throwing);
  no->AddActionListener(&destroying);
  no->AddActionListener(&later);
  user_->press("Ask", "No");
  dialogs_.activateDialog("Ask");
  EXPECT_EQ(laterCalls, 0);
  EXPECT_TRUE(dialogs_.openDialogs().empty());
  EXPECT_EQ(dialogs_.problems(), std::vector<std::string>{
                                     "a listener let an exception escape from OnActivate in Ask: pfcXToolkitCantAccess in test"});
}

TEST_F(SimDialogs, TerminalUserSeesTheDialogAndChoosesByNumber) {
  std::istringstream in("9\nsoon\n2\n");
  std::ostringstream out;
  dialogs_.setUser(std::make_shared<TerminalDialogUser>(in, out));
  dialogs_.createDialog("Ask", "Ask");
  MenuCalls menu;
  dialogs_.findOptionMenu("Ask", "Choice")->AddActionListener(&menu);
  EXPECT_EQ(dialogs_.activateDialog("Ask"), -1);  // input ends after choosing Beta
  EXPECT_EQ(menu.selections, std::vector<std::string>{"b"});
  EXPECT_NE(out.str().find("+-- Question (Ask)\n|  Go on?\n|  <Alpha v>\n|\n|  [Yes]  [No]\n+--\n"), std::string::npos);
  EXPECT_NE(out.str().find("Ask waits for you:\n  1) Choose \"Alpha\" in Choice\n  2) Choose \"Beta\" in Choice\n"
                           "  3) Press [Yes]\n  4) Press [No]\n  5) Close the window\n"),
            std::string::npos);
  EXPECT_NE(out.str().find("Please enter a number from 1 to 5.\n"), std::string::npos);
  EXPECT_NE(out.str().find("|  <Beta v>\n"), std::string::npos);
  EXPECT_NE(out.str().find("(end of input)"), std::string::npos);
}

}  // namespace
}  // namespace creosim
