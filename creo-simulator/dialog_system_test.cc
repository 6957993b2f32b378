#include "dialog_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "addin_library.h"
#include "command_table.h"
#include "creo_simulator.h"
#include "dialog_commands.h"
#include "fault_injector.h"
#include "testing/text_parts_test_support.h"
#include "testing/toolkit_throw_test_support.h"
#include "scripted_dialog_user.h"
#include "sim_text.h"
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
  std::function<void()> onClose, onDisplay;
  void OnClose(uifcDialog_ptr) override {
    ++closes;
    if (onClose) onClose();
  }
  void OnDisplay(uifcDialog_ptr) override {
    ++displays;
    if (onDisplay) onDisplay();
  }
};
struct MenuCalls : uifcDefaultOptionMenuListener {
  std::vector<std::string> selections;
  void OnItemSelect(uifcOptionMenu_ptr handle) override { selections.push_back(textOf(handle->GetSelectedItemNameArray()->get(0))); }
};

class SimDialogs : public ::testing::Test {
 protected:
  SimDialogs() : folder_(fs::temp_directory_path() / ("sim-dialogs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())), dialogs_(TextFolder(folder_), faults_) {
    fs::create_directories(TextFolder(folder_).resourceFolder());
    write("Ask.res", kAsk);
    write("Note.res", kNote);
    write("Busy.res", kBusy);
    dialogs_.setUser(user_);
    dialogs_.setNonWaitingActivationTime(std::chrono::milliseconds(0));
  }
  ~SimDialogs() override { fs::remove_all(folder_); }
  void write(const std::string& name, const std::string& text) {
    std::ofstream(TextFolder(folder_).resourceFolder() / name) << text;
  }
  // The Ask dialog answered at a terminal with `input`, which ends after choosing
  // Beta; a line that is no number goes to `commands` when given.
  std::string atTerminal(const std::string& input, TerminalDialogUser::Commands commands = nullptr) {
    std::istringstream in(input);
    std::ostringstream out;
    dialogs_.setUser(std::make_shared<TerminalDialogUser>(in, out, commands));
    dialogs_.createDialog("Ask", "Ask");
    MenuCalls menu;
    dialogs_.findOptionMenu("Ask", "Choice")->AddActionListener(&menu);
    EXPECT_EQ(dialogs_.activateDialog("Ask"), -1);
    EXPECT_EQ(menu.selections, std::vector<std::string>{"b"});
    return out.str();
  }

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
  EXPECT_EQ(errorFor("(Dialog D (Components (OptionMenu L.ogin)))"), "line 1: a component name holds no '.': L.ogin");
  // Nesting deep enough to exhaust the reader's stack is refused, not followed.
  EXPECT_EQ(errorFor("(Dialog D\n" + std::string(100000, '(')), "line 2: lists nested too deeply");

  write("Broken.res", "(Dialog Broken (Components (Label A))");
  write("Other.res", kNote);
  write("Pictured.res", "(Dialog Pictured (Components (Label Picture)) (Resources (Picture.Image \"absent.png\")))");
  for (const char* name : {"Broken", "Other", "Pictured"})
    EXPECT_TOOLKIT_THROW(dialogs_.createDialog(name, name), pfcXToolkitInvalidFile);
  EXPECT_EQ(dialogs_.problems(), (std::vector<std::string>{
                                     "Broken.res: line 1: '(' is never closed",
                                     "Other.res: defines the dialog Note instead of Other",
                                     "Pictured.res: the image absent.png of Picture is not in the text folder"}));
}

TEST_F(SimDialogs, UnknownDialogsAndComponentsAndWrongKindsAreNotFound) {
  EXPECT_TOOLKIT_THROW(dialogs_.createDialog("Missing", "Missing"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.createDialog("Sneaky", "../Ask"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.activateDialog("Ask"), pfcXToolkitNotFound);
  dialogs_.createDialog("Ask", "Ask");
  EXPECT_TOOLKIT_THROW(dialogs_.createDialog("Ask", "Ask"), pfcXToolkitFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findLabel("Ask", "Nothing"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findLabel("Ask", "Yes"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findPushButton("Ask", "Question"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findLayout("Ask", "Choice"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findOptionMenu("Ask", "Warning"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.findDialog("Ask", "Yes"), pfcXToolkitNotFound);

  uifcLabel_ptr question = dialogs_.findLabel("Ask", "Question");
  question->SetText("Really?");
  EXPECT_EQ(dialogs_.view("Ask")->text("Question"), "Really?");
  faults_.failNext("uifcLabel::SetText", "pfcXToolkitCantWrite");
  EXPECT_TOOLKIT_THROW(question->SetText("again"), pfcXToolkitCantWrite);
  dialogs_.destroyDialog("Ask");
  EXPECT_TOOLKIT_THROW(question->SetText("gone"), pfcXToolkitNotFound);
  EXPECT_TOOLKIT_THROW(dialogs_.exitDialog("Ask", 0), pfcXToolkitNotFound);
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
    dialogs_.exitDialog(textOf(handle->GetDialog()), 3);
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
  EXPECT_EQ(textsOf(dialogs_.findOptionMenu("Ask", "Choice")->GetSelectedItemNameArray()), std::vector<std::string>{"b"});
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
  throwing.onActivate = [&](uifcPushButton_ptr) { throw new pfcXToolkitCantAccess("test"); };
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
  EXPECT_HAS_PARTS(atTerminal("9\nsoon\n2\n"),
                   {"+-- Question (Ask)\n|  Go on?\n|  <Alpha v>\n|\n|  [Yes]  [No]\n+--\n",
                    "Ask waits for you:\n  1) Choose \"Alpha\" in Choice\n  2) Choose \"Beta\" in Choice\n"
                    "  3) Press [Yes]\n  4) Press [No]\n  5) Close the window\n",
                    "Please enter a number from 1 to 5.\n", "|  <Beta v>\n", "(end of input)"});
}

// As on Windows: the resource "Shouted" is SHOUTED.RES, its image Picture.PNG.
TEST_F(SimDialogs, ResourcesAndImagesAreFoundWhateverTheCaseOfTheirNames) {
  write("SHOUTED.RES", "(Dialog Shouted (Components (Label Picture)) (Resources (Picture.Image \"picture.png\")))");
  write("Picture.PNG", "not looked at");
  ASSERT_NO_THROW(dialogs_.createDialog("Shouted", "Shouted")) << ::testing::PrintToString(dialogs_.problems());
  EXPECT_EQ(dialogs_.view("Shouted")->image("Picture"), "picture.png");
  EXPECT_TRUE(dialogs_.imageExists("PICTURE.png"));
  // Only the language folder's resource folder is read.
  std::ofstream(folder_ / "Elsewhere.res") << "(Dialog Elsewhere (Components (Label A)))";
  EXPECT_TOOLKIT_THROW(dialogs_.createDialog("Elsewhere", "Elsewhere"), pfcXToolkitNotFound);
}

// While a dialog waits, a line that is no number may be a command (creo-sim
// lets the person draw the dialog); the dialog keeps waiting.
TEST_F(SimDialogs, TerminalUserMayGiveACommandWhileADialogWaits) {
  std::vector<std::string> commands;
  const std::string screen = atTerminal("picture here\nnonsense\n2\n", [&](const std::string& line) {
    commands.push_back(line);
    return line.rfind("picture ", 0) == 0;
  });
  EXPECT_EQ(commands, (std::vector<std::string>{"picture here", "nonsense"}));
  EXPECT_HAS_PARTS(screen, {"  5) Close the window\n  or a command, e.g. picture FOLDER to draw it\n",
                            "Please enter a number from 1 to 5, or a command.\n"});
}

// The upload dialog from the add-in's own resources, with listeners that keep the
// Upload button in step with the workspace selection as the add-in does.
class UploadDialog : public ::testing::Test {
 protected:
  static constexpr const char* kDialog = "StartFileUpload";

  UploadDialog() {
    setCreoHost(&sim_);
    sim_.dialogs().setUser(user_);
    dialogs().createDialog(kDialog, kDialog);
    uifcOptionMenu_ptr menu = dialogs().findOptionMenu(kDialog, "WorkspaceDropdown");
    menu->SetItemNameArray(xstringsOf(
        std::vector<std::string>{"__select_placeholder__", "Design Team", "Prototypes"}));
    menu->SetItemLabelArray(
        xstringsOf(std::vector<std::string>{"Select...", "Design Team", "Prototypes"}));
    menu->AddActionListener(&selection_);
    dialogs().findPushButton(kDialog, "UploadButton")->AddActionListener(&upload_);
    dialogs().findDialog(kDialog, kDialog)->AddActionListener(&display_);
    upload_.onActivate = [this](uifcPushButton_ptr button) {
      ++uploads_;
      dialogs().exitDialog(textOf(button->GetDialog()), 0);
    };
  }
  ~UploadDialog() override {
    for (const std::string& dialog : dialogs().openDialogs()) dialogs().destroyDialog(dialog);
    setCreoHost(nullptr);
  }
  DialogSystem& dialogs() { return sim_.dialogs(); }

  struct WorkspaceSelection : MenuCalls {
    void OnItemSelect(uifcOptionMenu_ptr menu) override {
      MenuCalls::OnItemSelect(menu);
      const bool chosen = selections.back() != "__select_placeholder__";
      uifcPushButton_ptr upload = uifcPushButtonFind(menu->GetDialog(), "UploadButton");
      upload->SetEnabled(chosen);
      upload->SetBackgroundColor(chosen ? uifcColor::Create(0, 108, 224) : uifcColor::Create(190, 190, 190));
    }
  };

  CreoSimulator sim_{SimulatorOptions{TAVIX_SOURCE_DIR "/text"}};
  std::shared_ptr<ScriptedDialogUser> user_ = std::make_shared<ScriptedDialogUser>();
  WorkspaceSelection selection_;
  ButtonCalls upload_;
  DialogCalls display_;
  int uploads_ = 0;
};

TEST_F(UploadDialog, ChoosingAWorkspaceFiresTheListenerAndOnlyThenCanUploadBePressed) {
  user_->press(kDialog, "UploadButton").select(kDialog, "WorkspaceDropdown", "Nowhere");
  user_->select(kDialog, "WorkspaceDropdown", "Design Team");
  user_->check(kDialog, [](const DialogView& view) {
    EXPECT_TRUE(view.component("UploadButton")->enabled);
    EXPECT_EQ(view.component("UploadButton")->color, (Rgb{0, 108, 224}));
  });
  user_->select(kDialog, "WorkspaceDropdown", "__select_placeholder__").press(kDialog, "UploadButton");
  user_->select(kDialog, "WorkspaceDropdown", "Prototypes").press(kDialog, "UploadButton");
  EXPECT_EQ(dialogs().activateDialog(kDialog), 0);

  EXPECT_EQ(selection_.selections, (std::vector<std::string>{"Design Team", "__select_placeholder__", "Prototypes"}));
  EXPECT_EQ(uploads_, 1);
  EXPECT_EQ(textsOf(dialogs().findOptionMenu(kDialog, "WorkspaceDropdown")->GetSelectedItemNameArray()),
            std::vector<std::string>{"Prototypes"});
  EXPECT_EQ(user_->problems(),
            (std::vector<std::string>{
                "StartFileUpload: could not press UploadButton: the button is hidden or disabled",
                "StartFileUpload: could not select Nowhere in WorkspaceDropdown: the option menu has no such item",
                "StartFileUpload: could not press UploadButton: the button is hidden or disabled"}));
  EXPECT_HAS_PARTS(user_->transcript(), {"|  Workspace:  <Select... v>\n", "|  [Cancel]  [Upload (disabled) rgb(190,190,190)]\n",
                                          "|  Workspace:  <Design Team v>\n", "|  [Cancel]  [Upload rgb(0,108,224)]\n"});
  EXPECT_TRUE(dialogs().problems().empty()) << ::testing::PrintToString(dialogs().problems());
}

TEST_F(UploadDialog, DisplayListenersRunOnceAtActivationBeforeTheUserSeesTheDialog) {
  display_.onDisplay = [this] {
    uifcLayout_ptr existing = dialogs().findLayout(kDialog, "ExistingRevisionLayout");
    existing->SetDoesReserveSpace(true);
    existing->SetVisible(true);
  };
  display_.onClose = [this] { dialogs().exitDialog(kDialog, 0); };
  user_->select(kDialog, "WorkspaceDropdown", "Design Team").close(kDialog);
  EXPECT_EQ(dialogs().activateDialog(kDialog), 0);
  EXPECT_EQ(display_.displays, 1);
  EXPECT_EQ(display_.closes, 1);
  ASSERT_FALSE(user_->seen().empty());
  EXPECT_TRUE(user_->seen().front().isShown("ExistingRevisionLabel"));
  EXPECT_TRUE(user_->problems().empty()) << ::testing::PrintToString(user_->problems());
}

TEST_F(UploadDialog, LabelImagesMustBeFilesOfTheTextFolder) {
  uifcLabel_ptr icon = dialogs().findLabel(kDialog, "ModelIconLabel");
  EXPECT_EQ(dialogs().view(kDialog)->image("ModelIconLabel"), "tavix_upload_placeholder_icon.svg");
  icon->SetImage("tavix_file_upload_asm_icon.svg");
  for (const char* missing : {"tavix_file_upload_part_icon.svg", "", "../resource/tavix_upload_complete.png"})
    EXPECT_TOOLKIT_THROW(icon->SetImage(missing), pfcXToolkitNotFound) << missing;
  EXPECT_EQ(dialogs().view(kDialog)->image("ModelIconLabel"), "tavix_file_upload_asm_icon.svg");
}

TEST_F(UploadDialog, TheDialogsCommandShowsWhatTheScriptedAnswersDid) {
  CommandTable table;
  addDialogCommands(table, user_);
  std::ostringstream out;
  SimContext context{sim_, {}, out, nullptr};
  for (const char* line : {"answer StartFileUpload select WorkspaceDropdown Design Team",
                           "answer StartFileUpload press UploadButton"})
    ASSERT_TRUE(table.run(context, line)) << out.str();
  EXPECT_FALSE(table.run(context, "answer StartFileUpload select WorkspaceDropdown"));
  EXPECT_EQ(out.str(),
            "when StartFileUpload waits: select WorkspaceDropdown Design Team\n"
            "when StartFileUpload waits: press UploadButton\n"
            "answer: usage: answer DIALOG press BUTTON | answer DIALOG select MENU ITEM... | answer DIALOG close\n");
  EXPECT_EQ(dialogs().activateDialog(kDialog), 0);

  out.str("");
  ASSERT_TRUE(table.run(context, "dialogs"));
  const std::string shown = out.str();
  const std::string before = "|  Workspace:  <Select... v>\n";
  const std::string after = "|  Workspace:  <Design Team v>\n";
  ASSERT_NE(shown.find(before), std::string::npos) << shown;
  ASSERT_NE(shown.find(after), std::string::npos) << shown;
  EXPECT_NE(shown.find("[Upload (disabled) rgb(190,190,190)]", shown.find(before)), std::string::npos) << shown;
  EXPECT_NE(shown.find("[Upload rgb(0,108,224)]", shown.find(after)), std::string::npos) << shown;
  EXPECT_HAS_PARTS(shown, {"> select Design Team in WorkspaceDropdown\n", "> press UploadButton\n"});
  EXPECT_EQ(shown.find("problem:"), std::string::npos) << shown;
  EXPECT_EQ(uploads_, 1);
}

TEST_F(UploadDialog, APersonAtTheTerminalPicksAWorkspaceAndPressesUpload) {
  // Pressing the disabled Upload button is not offered; after the choice it is number 5.
  std::istringstream in("2\n5\n");
  std::ostringstream out;
  user_->answerUnscriptedWith(std::make_shared<TerminalDialogUser>(in, out));
  EXPECT_EQ(dialogs().activateDialog(kDialog), 0);

  EXPECT_EQ(uploads_, 1);
  EXPECT_EQ(selection_.selections, std::vector<std::string>{"Design Team"});
  EXPECT_HAS_PARTS(out.str(), {"  1) Choose \"Select...\" in WorkspaceDropdown\n  2) Choose \"Design Team\" in "
                               "WorkspaceDropdown\n  3) Choose \"Prototypes\" in WorkspaceDropdown\n  4) Press [Cancel]\n"
                               "  5) Press [Knowledge Center]\n",
                               "  4) Press [Cancel]\n  5) Press [Upload]\n  6) Press [Knowledge Center]\n",
                               "|  [Cancel]  [Upload rgb(0,108,224)]\n"});
  const std::string transcript = user_->transcript();
  EXPECT_LT(transcript.find("> select Design Team in WorkspaceDropdown\n"), transcript.find("> press UploadButton\n"))
      << transcript;
  EXPECT_TRUE(user_->problems().empty()) << ::testing::PrintToString(user_->problems());
}

}  // namespace
}  // namespace creosim
