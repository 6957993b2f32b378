// The common error box in the simulated Creo: what it shows, what its buttons
// report, and the e-mail and sign-out it is handed by the layer that owns the session.
#include "ui/generic_error_dialog.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/testing/log_capture.h"
#include "creo_simulator.h"
#include "host/creo_host.h"
#include "scripted_dialog_user.h"

namespace {

using creosim::DialogView;

class GenericErrorTest : public ::testing::Test {
 protected:
  GenericErrorTest() : sim_(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}) {
    setCreoHost(&sim_);
    sim_.dialogs().setUser(user_);
  }
  ~GenericErrorTest() override { setCreoHost(nullptr); }

  bool show(const std::string& message, const std::string& title, const std::string& button, bool showButton) {
    return GenericErrorDialog(SignedInAccount{[] { return std::string("ada@example.com"); }, signOut_})
        .showDialog(message, title, button, showButton);
  }
  bool logged(const std::string& message) const { return log_.text().find(message) != std::string::npos; }

  LogCapture log_;
  creosim::CreoSimulator sim_;
  std::shared_ptr<creosim::ScriptedDialogUser> user_ = std::make_shared<creosim::ScriptedDialogUser>();
  std::vector<std::string> signedOut_;
  SignOutRunner signOut_ = [this](const std::string& dialog) {
    signedOut_.push_back(dialog);
    uiFacade().ExitDialog(dialog, 0);
  };
};

TEST_F(GenericErrorTest, ShowsItsTextsAndTellsStartOverFromClosing) {
  user_->check("GenericError", [](const DialogView& view) {
    EXPECT_EQ(view.text("ErrorTitleLabel"), "Session Expired");
    EXPECT_EQ(view.text("ErrorMessageLabel"), "Your session has expired.\nPlease sign in again to continue.");
    EXPECT_EQ(view.shownButtons(), (std::vector<std::string>{"Back to Sign In", "Sign Out"}));
    EXPECT_EQ(view.text("IntegrationVersionLabel"), "Version 1.0.0");
    EXPECT_EQ(view.text("UserEmailLabel"), "ada@example.com");
  });
  user_->press("GenericError", "StartOverButton");
  EXPECT_TRUE(show("Your session has expired.\nPlease sign in again to continue.", "Session Expired",
                   "Back to Sign In", true));

  // Empty texts keep the resource's own; the button can be hidden.
  user_->close("GenericError");
  EXPECT_FALSE(show("", "", "", false));
  const DialogView plain = user_->lastSeen("GenericError");
  EXPECT_FALSE(plain.text("ErrorMessageLabel").empty());
  EXPECT_EQ(plain.shownButtons(), std::vector<std::string>{"Sign Out"});
  EXPECT_TRUE(signedOut_.empty());
  EXPECT_TRUE(user_->problems().empty());
}

TEST_F(GenericErrorTest, SignOutRunsWhatItWasHandedAndFailuresStayInside) {
  user_->press("GenericError", "SignOutButton");
  EXPECT_FALSE(show("Something failed.", "", "", true));
  EXPECT_EQ(signedOut_, std::vector<std::string>{"GenericError"});

  signOut_ = [](const std::string&) { throw std::runtime_error("norvane: server error (HTTP 503)"); };
  user_->press("GenericError", "SignOutButton").close("GenericError");
  EXPECT_FALSE(show("Something failed.", "", "", true));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Error in GenericErrorSignOutAction::OnActivate: norvane: server error (HTTP "
                     "503)"));

  EXPECT_TRUE(user_->problems().empty());
}

}  // namespace
