#include "ui/ui_facade.h"

#include <gtest/gtest.h>

#include "core/testing/log_capture.h"
#include "core/toolkit_guard.h"
#include "creo_simulator.h"
#include "host/creo_host.h"
#include "scripted_dialog_user.h"
#include "ui/dialog_listeners.h"

namespace {

using creosim::DialogView;

struct RecordSelection : uifcDefaultOptionMenuListener {
  std::vector<std::string> seen;
  void OnItemSelect(uifcOptionMenu_ptr) override {
    seen = uiFacade().GetSelectedOptionMenuItems("StartFileUpload", "WorkspaceDropdown");
  }
};

class UiFacade : public ::testing::Test {
 protected:
  UiFacade() : sim_(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}) {
    setCreoHost(&sim_);
    sim_.dialogs().setUser(user_);
  }
  ~UiFacade() override {
    for (const std::string& dialog : sim_.dialogs().openDialogs()) sim_.dialogs().destroyDialog(dialog);
    setCreoHost(nullptr);
  }
  DialogView view(const std::string& dialog) { return *sim_.dialogs().view(dialog); }
  bool logged(const std::string& message) const { return log_.text().find(message) != std::string::npos; }

  LogCapture log_;
  creosim::CreoSimulator sim_;
  std::shared_ptr<creosim::ScriptedDialogUser> user_ = std::make_shared<creosim::ScriptedDialogUser>();
  UifcFacade& ui_ = uiFacade();
};

TEST_F(UiFacade, ShownLayoutsTakeTheirSpaceHiddenOnesCollapseOrKeepAGap) {
  ui_.CreateDialog("StartFileUpload", "StartFileUpload");
  const std::string closed = view("StartFileUpload").render();
  const std::string warning = "Drawings are uploaded as a PDF file.";
  ASSERT_EQ(closed.find(warning), std::string::npos);

  ui_.ShowLayout("StartFileUpload", "DrwWarningLayout", true);
  const std::string shown = view("StartFileUpload").render();
  EXPECT_NE(shown.find("|  " + warning + "\n"), std::string::npos);

  ui_.SetLayoutVisible("StartFileUpload", "DrwWarningLayout", false);
  std::string gap = shown;
  gap.replace(shown.find("|  " + warning + "\n"), warning.size() + 4, "|\n");
  EXPECT_EQ(view("StartFileUpload").render(), gap);

  ui_.ShowLayout("StartFileUpload", "DrwWarningLayout", false);
  EXPECT_EQ(view("StartFileUpload").render(), closed);
}

TEST_F(UiFacade, ListenersAreDispatchedAndCloseListenersLogTheirFailures) {
  ui_.CreateDialog("StartFileUpload", "StartFileUpload");
  ui_.SetOptionMenuItems("StartFileUpload", "WorkspaceDropdown", {"__select_placeholder__", "Design"},
                         {"Select...", "Design"});
  DialogCloseAction close;
  PushButtonCloseAction cancel;
  RecordSelection selection;
  ui_.AddDialogListener("StartFileUpload", &close);
  ui_.AddPushButtonListener("StartFileUpload", "CancelButton", &cancel);
  ui_.AddOptionMenuListener("StartFileUpload", "WorkspaceDropdown", &selection);

  user_->select("StartFileUpload", "WorkspaceDropdown", "Design").close("StartFileUpload");
  EXPECT_EQ(ui_.ActivateDialog("StartFileUpload"), 0);
  EXPECT_EQ(selection.seen, std::vector<std::string>{"Design"});

  sim_.faults().failNext("uifcExitDialog", "pfcXToolkitCantWrite", 2);
  user_->press("StartFileUpload", "CancelButton").close("StartFileUpload").press("StartFileUpload", "CancelButton");
  EXPECT_EQ(ui_.ActivateDialog("StartFileUpload"), 0);
  EXPECT_TRUE(logged("[ERROR] [Tavix] Error while closing dialog using push button: "
                     "pfcXToolkitCantWrite in uifcExitDialog"));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Unhandled exception in DialogCloseAction::OnClose: "
                     "pfcXToolkitCantWrite in uifcExitDialog"));
  ui_.DestroyDialog("StartFileUpload");
  EXPECT_TRUE(user_->problems().empty());
  EXPECT_TRUE(sim_.dialogs().problems().empty());
}

TEST_F(UiFacade, ToolkitFailuresPassThroughTheFacade) {
  auto thrown = [](const auto& call) {
    const std::optional<ToolkitError> error = catchToolkitError(call);
    return error ? error->className : std::string("nothing");
  };
  EXPECT_EQ(thrown([&] { ui_.CreateDialog("Nowhere", "Nowhere"); }), "pfcXToolkitNotFound");
  ui_.CreateDialog("Upload", "Upload");
  EXPECT_EQ(thrown([&] { ui_.SetLabelText("Upload", "NoSuchLabel", "x"); }), "pfcXToolkitNotFound");
  EXPECT_EQ(thrown([&] { ui_.SetButtonText("Upload", "ModelNameLabel", "x"); }), "pfcXToolkitNotFound");
  sim_.faults().failNext("uifcLabel::SetImage", "pfcXToolkitCantAccess");
  EXPECT_EQ(thrown([&] { ui_.SetLabelImage("Upload", "ProgressAnimationLabel", "tavix_upload_complete.png"); }),
            "pfcXToolkitCantAccess");
  sim_.faults().failNext("uifcLayoutFind", "pfcXToolkitBadContext");
  EXPECT_EQ(thrown([&] { ui_.ShowLayout("Upload", "FooterLayout", false); }), "pfcXToolkitBadContext");
  setCreoHost(nullptr);
  EXPECT_EQ(thrown([&] { ui_.ExitDialog("Upload", 0); }), "pfcXToolkitBadContext");
}

}  // namespace
