// The sign-in and sign-out dialogs run in the simulated Creo, with a client
// whose answers each test chooses. Background threads are awaited through
// what they leave behind (the session, the failure flag), never by sleeping.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>

#include "cloud/cloud_connection.h"
#include "cloud/testing/null_norvane_client.h"
#include "core/log.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"
#include "creo_simulator.h"
#include "scripted_dialog_user.h"
#include "signin/auth_browser_opener.h"
#include "signin/loading_dialog.h"
#include "signin/sign_in_context.h"
#include "signin/sign_out_flow.h"
#include "signin/start_dialog.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kAuthorizeUrl = "https://login.tavix.example/authorize?client_id=c&state=s";
constexpr const char* kSignInFailed = "We couldn't sign you in. Please try again.";

// Answers as the client library would, as far as each test needs.
class FakeSignInClient : public NullNorvaneClient {
 public:
  std::string authorizeUrl = kAuthorizeUrl;
  std::function<NorvaneLocalAuthTokens()> complete = [] { return NorvaneLocalAuthTokens{"access-1", "r", "i"}; };
  std::function<NorvaneUser(const std::string&)> currentUser = [](const std::string&) {
    return NorvaneUser{7, "engineer@example.com", "Demo Engineer"};
  };
  std::atomic<int> completeCalls{0};
  std::atomic<int> authorizeCalls{0};

  std::string localAuthFlowAuthorize() override { return ++authorizeCalls, authorizeUrl; }
  NorvaneLocalAuthTokens localAuthFlowComplete() override { return ++completeCalls, complete(); }
  NorvaneUser getCurrentUser(const std::string& accessToken) override { return currentUser(accessToken); }
};

template <class Condition>
bool eventually(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class SignInTest : public ::testing::Test {
 protected:
  SignInTest() : sim_(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}) {
    setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", "DEBUG");
    initLogLevelFromEnvironment();
    setCreoHost(&sim_);
    sim_.dialogs().setUser(user_);
  }
  ~SignInTest() override {
    signIn_.endThreads();
    setCreoHost(nullptr);
    setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
  }

  bool logged(const std::string& message) const { return log_.text().find(message) != std::string::npos; }
  std::vector<creosim::BrowserVisit> visits() {
    EXPECT_TRUE(sim_.windows().browser().waitUntilIdle(20s));
    return sim_.windows().browser().visits();
  }
  // The current model has a window of its own, but the base window is current.
  creosim::SimWindow_ptr openModelWindowBehindTheBaseWindow() {
    creosim::SimModelDefinition definition;
    definition.name = "bracket.prt";
    creosim::SimWindow_ptr window = sim_.windows().openWindow(sim_.models().addModel(definition));
    sim_.models().setCurrentModel(definition.name);
    sim_.windows().setCurrentWindow(sim_.windows().baseWindow().get());
    return window;
  }
  // Continue on Start, then waits until the sign-in thread has finished.
  void signInSuccessfully() {
    user_->press("Start", "LoginButton");
    StartDialog::showDialog();
    ASSERT_TRUE(eventually([] { return getSessionManager().getCachedUser() != nullptr; }));
  }

  LogCapture log_;
  creosim::CreoSimulator sim_;
  std::shared_ptr<creosim::ScriptedDialogUser> user_ = std::make_shared<creosim::ScriptedDialogUser>();
  std::shared_ptr<FakeSignInClient> client_ = std::make_shared<FakeSignInClient>();
  CloudConnection cloud_{[client = client_] { return client; }};
  SignInContext signIn_;
};

TEST_F(SignInTest, LoadingLastsUntilItsWorkerIsDoneOnlyOnceThenStartOpens) {
  user_->close("Start").close("Start");
  LoadingDialog::showDialog();
  ASSERT_TRUE(eventually([&] { return logged("[DEBUG] [Tavix] Loading worker completed."); }));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Launching StartDialog after loading."));

  // The second Loading in the session does not wait for its own worker.
  const size_t secondStart = log_.text().size();
  LoadingDialog::showDialog();
  const std::string second = log_.text().substr(secondStart);
  EXPECT_NE(second.find("Loading dialog closed."), std::string::npos);
  EXPECT_EQ(second.substr(0, second.find("Loading dialog closed.")).find("Loading worker completed."),
            std::string::npos);

  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Loading", "Start", "Loading", "Start"}));
  EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
  EXPECT_TRUE(user_->problems().empty());
}

TEST_F(SignInTest, ContinueOpensTheSignInPageInTheModelWindowOrFallsBackAndStoresTheSession) {
  const creosim::SimWindow_ptr modelWindow = openModelWindowBehindTheBaseWindow();
  signInSuccessfully();
  EXPECT_EQ(getSessionManager().getAccessToken(), "access-1");
  EXPECT_EQ(getSessionManager().getCachedUser()->email, "engineer@example.com");
  EXPECT_TRUE(eventually([&] { return logged("[INFO] [Tavix] Login completed."); }));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Resolved browser target from current model window."));
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Opening embedded browser for authentication. window_id=" +
                     std::to_string(modelWindow->id())));
  EXPECT_EQ(modelWindow->browserSize(), 50.0);
  EXPECT_EQ(sim_.windows().currentWindow(), modelWindow.get());
  EXPECT_FALSE(logged("access-1"));

  // No model window and no browser size: the current window still navigates.
  sim_.windows().setCurrentWindow(sim_.windows().baseWindow().get());
  getSessionManager().clear();
  sim_.faults().failNext("pfcBaseSession::GetModelWindow", "pfcXToolkitNotFound");
  sim_.faults().failNext("pfcWindow::SetBrowserSize", "pfcXToolkitBadContext");
  signInSuccessfully();
  EXPECT_TRUE(logged("[DEBUG] [Tavix] Unable to resolve current model window; falling back to current window."));
  EXPECT_TRUE(logged("[WARNING] [Tavix] Unable to set embedded browser size; continuing with URL navigation."));
  const auto shown = visits();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].url, kAuthorizeUrl);
  EXPECT_EQ(shown[0].windowId, modelWindow->id());
  EXPECT_EQ(shown[1].windowId, sim_.windows().baseWindow()->id());
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Start", "Start"}));
  EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
}

TEST_F(SignInTest, NavigationFailureFailsTheSignInWithoutWaitingForIt) {
  sim_.faults().failNext("pfcWindow::SetURL", "pfcXToolkitCantOpen");
  user_->press("Start", "LoginButton").close("SignInFailed");
  StartDialog::showDialog();
  EXPECT_TRUE(logged("[ERROR] [Tavix] Failed to navigate the embedded browser to the requested URL."));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Creo toolkit error detected in ContinueAction::OnActivate."));
  EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
  StartDialog::showDialog();
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Start", "SignInFailed"}));
  EXPECT_EQ(client_->completeCalls.load(), 0);
  EXPECT_TRUE(visits().empty());
  EXPECT_TRUE(user_->problems().empty());
}

TEST_F(SignInTest, EmptyAuthorizationAddressIsShownOnTheNextStartAndBackReturnsToStart) {
  client_->authorizeUrl = "";
  user_->press("Start", "LoginButton");
  StartDialog::showDialog();
  EXPECT_TRUE(logged("[WARNING] [Tavix] Authorization URL was empty; aborting sign-in flow."));
  EXPECT_TRUE(sim_.dialogs().openDialogs().empty());
  EXPECT_TRUE(visits().empty());

  user_->check("SignInFailed",
               [](const creosim::DialogView& view) { EXPECT_EQ(view.text("ErrorMessageLabel"), kSignInFailed); });
  user_->press("SignInFailed", "BackToSignInButton").close("Start");
  StartDialog::showDialog();
  EXPECT_TRUE(logged("[INFO] [Tavix] User requested retry from SignInFailedDialog."));
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Start", "SignInFailed", "Start"}));
  EXPECT_EQ(client_->completeCalls.load(), 0);
  EXPECT_TRUE(user_->problems().empty());
}

TEST_F(SignInTest, ASecondContinueCancelsTheWaitingSignInWithoutFailingIt) {
  // The first sign-in waits as the library does, until a newer one replaces it.
  client_->complete = [this]() -> NorvaneLocalAuthTokens {
    if (client_->completeCalls.load() > 1) return {"access-2", "r", "i"};
    EXPECT_TRUE(eventually([this] { return client_->authorizeCalls.load() == 2; }));
    throw std::runtime_error("norvane: sign-in was replaced by a newer one");
  };
  user_->press("Start", "LoginButton");
  StartDialog::showDialog();
  ASSERT_TRUE(eventually([this] { return client_->completeCalls.load() == 1; }));
  user_->press("Start", "LoginButton");
  StartDialog::showDialog();
  ASSERT_TRUE(eventually([] { return getSessionManager().getCachedUser() != nullptr; }));
  ASSERT_TRUE(eventually([&] { return logged("Sign-in cancelled: norvane: sign-in was replaced by a newer one"); }));

  EXPECT_FALSE(signInState().failed.load());
  EXPECT_FALSE(logged("[ERROR]")) << log_.text();
  EXPECT_EQ(getSessionManager().getAccessToken(), "access-2");
  user_->close("Start");
  StartDialog::showDialog();
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Start", "Start", "Start"}));
}

TEST_F(SignInTest, TokensAreKeptWhenTheUserCannotBeLoadedButOnlyAFailedFetchIsShown) {
  // Without an access token the user is not even asked for, and nobody is signed in.
  client_->complete = [] { return NorvaneLocalAuthTokens{"", "r", "i"}; };
  std::atomic<int> userFetches{0};
  client_->currentUser = [&](const std::string&) -> NorvaneUser {
    ++userFetches;
    throw std::runtime_error("norvane: server error (HTTP 503): down");
  };
  user_->press("Start", "LoginButton");
  StartDialog::showDialog();
  ASSERT_TRUE(eventually([&] { return logged("Login completed, but user details were unavailable."); }));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Access token is empty; cannot fetch current user."));
  EXPECT_TRUE(getSessionManager().getTokens());
  EXPECT_FALSE(getSessionManager().hasTokens());
  EXPECT_EQ(userFetches.load(), 0);
  EXPECT_FALSE(signInState().failed.load());

  // A failed fetch keeps the tokens and leaves the failure for the next Start,
  // once: its close control ends the flow. A failed browser flow takes the same way.
  client_->complete = [] { return NorvaneLocalAuthTokens{"access-1", "r", "i"}; };
  user_->press("Start", "LoginButton").close("SignInFailed").close("Start");
  StartDialog::showDialog();
  ASSERT_TRUE(eventually([] { return signInState().failed.load(); }));
  EXPECT_TRUE(logged("[ERROR] [Tavix] Error during authentication completion: norvane: server error (HTTP 503): down"));
  EXPECT_TRUE(getSessionManager().hasTokens());
  EXPECT_FALSE(getSessionManager().getCachedUser());
  StartDialog::showDialog();
  StartDialog::showDialog();
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Start", "Start", "SignInFailed", "Start"}));
  EXPECT_TRUE(user_->problems().empty());
}

TEST_F(SignInTest, AnotherAccountSigningInIsTheOneTheSessionNames) {
  signInSuccessfully();
  getSessionManager().setTokens(NorvaneLocalAuthTokens{"", "", ""});
  client_->complete = [] { return NorvaneLocalAuthTokens{"access-2", "refresh-2", "id-2"}; };
  client_->currentUser = [](const std::string& token) {
    return NorvaneUser{8, token == "access-2" ? "designer@example.com" : "wrong@example.com", "Designer"};
  };
  user_->press("Start", "LoginButton");
  StartDialog::showDialog();
  ASSERT_TRUE(eventually([] {
    const auto user = getSessionManager().getCachedUser();
    return user && user->email == "designer@example.com";
  }));
  EXPECT_EQ(getSessionManager().getAccessToken(), "access-2");
}

// Sign Out on a dialog: the button's listener runs the sign-out for its dialog.
class SignOutButton : public uifcDefaultPushButtonListener {
 public:
  void OnActivate(uifcPushButton_ptr) override {
    logoutUrl = SignOutFlow(getNorvaneClient(), "GenericError").signOut();
  }
  std::string logoutUrl = "(not signed out)";
};

// With a logout page the sign-out opens it: UploadDialogTest's Knowledge Center test.
TEST_F(SignInTest, SignOutWithoutALogoutPageClearsTheSessionAndClosesTheDialog) {
  signInSuccessfully();
  SignOutButton button;
  UifcFacade& ui = uiFacade();
  ui.CreateDialog("GenericError", "GenericError");
  ui.AddPushButtonListener("GenericError", "SignOutButton", &button);
  user_->press("GenericError", "SignOutButton");
  ui.ActivateDialog("GenericError");
  ui.DestroyDialog("GenericError");
  EXPECT_EQ(button.logoutUrl, "");
  EXPECT_FALSE(getSessionManager().getTokens());
  EXPECT_FALSE(getSessionManager().getCachedUser());
  EXPECT_TRUE(logged("[WARNING] [Tavix] Logout URL was empty."));
  EXPECT_TRUE(logged("[WARNING] [Tavix] Sign-out URL was empty; embedded browser not opened."));
  EXPECT_EQ(visits().size(), 1u);  // the sign-in page only
  EXPECT_TRUE(user_->problems().empty());
}

}  // namespace
