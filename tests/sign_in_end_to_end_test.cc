// A Creo user signs in for the first time: the simulated Creo runs the add-in,
// whose client library signs in against the local Tavix service through the
// simulator's embedded browser.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cloud/client_provider.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"
#include "creo_simulator.h"
#include "host/creo_host.h"
#include "local_service.h"
#include "scripted_dialog_user.h"

namespace {

using namespace std::chrono_literals;

bool signedInWithinAMinute() {
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (!getSessionManager().getCachedUser()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

TEST(SignInEndToEnd, FirstPressSignsInAndTheSecondGoesOnToTheUploadDialog) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  // Start-up removes every "tavix-" folder it finds in the temporary directory:
  // give it one of its own.
  const std::filesystem::path temp = log.directory() / "temp";
  std::filesystem::create_directory(temp);
  setEnvironmentVariable("TMPDIR", temp.string().c_str());
  std::ofstream("tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                    << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                    << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                    << "tavix_creo_log_level=debug\n";

  creosim::CreoSimulator creo(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"});
  auto user = std::make_shared<creosim::ScriptedDialogUser>();
  user->check("Start", [](const creosim::DialogView& view) {
    EXPECT_EQ(view.shownButtons(), std::vector<std::string>{"Continue"});
  });
  user->press("Start", "LoginButton");
  creo.dialogs().setUser(user);
  creo.windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  setCreoHost(&creo);
  ASSERT_EQ(user_initialize(0, nullptr, nullptr, nullptr, nullptr), 0) << log.text();

  creo.ribbon().pressButton("tavixRibbonButton");
  ASSERT_TRUE(signedInWithinAMinute()) << log.text();
  EXPECT_EQ(getSessionManager().getCachedUser()->email, tavixtest::kDemoEmail);
  EXPECT_EQ(user->seenDialogs(), (std::vector<std::string>{"Loading", "Start"}));
  ASSERT_TRUE(creo.windows().browser().waitUntilIdle(30s));
  const auto visits = creo.windows().browser().visits();
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].url.rfind(service.baseUrl() + "authorize?", 0), 0u) << visits[0].url;
  const creosim::PageLoad& page = visits[0].load;
  EXPECT_TRUE(page.submittedSignIn);
  EXPECT_EQ(page.status, 200) << page.error << page.body;
  EXPECT_EQ(page.finalUrl.rfind("http://127.0.0.1:", 0), 0u);
  EXPECT_EQ(page.finalUrl.rfind(service.baseUrl(), 0), std::string::npos) << "ends on the client's own listener";
  EXPECT_NE(page.body.find("You can return to Creo."), std::string::npos);

  // The last lines of the sign-in thread may still be on their way to the log.
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (log.text().find("[INFO] [Tavix] Login completed.") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  EXPECT_NE(log.text().find("[INFO] [Tavix] Login completed."), std::string::npos) << log.text();

  creo.ribbon().pressButton("tavixRibbonButton");
  EXPECT_NE(log.text().find("User already authenticated. Opening upload dialog."), std::string::npos);
  EXPECT_NE(log.text().find("StartFileUploadDialog::showDialog"), std::string::npos);
  EXPECT_EQ(user->seenDialogs().size(), 2u);
  EXPECT_TRUE(user->problems().empty());
  for (const std::string& secret : {getSessionManager().getAccessToken(), getSessionManager().getSecondToken()})
    if (!secret.empty()) {
      EXPECT_EQ(log.text().find(secret), std::string::npos);
    }

  user_terminate();
  creo.ribbon().releaseCommands();
  setCreoHost(nullptr);
  setEnvironmentVariable("TMPDIR", nullptr);
}

}  // namespace
