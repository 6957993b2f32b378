// A Creo user signs in for the first time: the simulated Creo runs the add-in,
// whose client library signs in against the local Tavix service through the
// simulator's embedded browser.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
#include "signin/sign_in_state.h"
#include "sim_model_file.h"

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

// Points the add-in at the service, in the log's working directory.
void writeProperties(const LogCapture& log, const tavixtest::LocalTavixService& service) {
  // Start-up removes every "tavix-" folder it finds in the temporary directory:
  // give it one of its own.
  const std::filesystem::path temp = log.directory() / "temp";
  std::filesystem::create_directory(temp);
  setEnvironmentVariable("TMPDIR", temp.string().c_str());
  std::ofstream("tavix.properties") << "tavix_creo_login_url=" << service.baseUrl() << "\n"
                                    << "tavix_creo_server_url=" << service.baseUrl() << "\n"
                                    << "tavix_creo_client_id=" << tavixtest::kLocalClientId << "\n"
                                    << "tavix_creo_log_level=debug\n";
}

TEST(SignInEndToEnd, FirstPressSignsInAndTheSecondGoesOnToTheUploadDialog) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  writeProperties(log, service);

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

  // Signed in, the engineer opens a part and picks a workspace for it.
  creosim::SimModelDefinition part;
  part.name = "bracket.prt";
  part.file = log.directory() / "bracket.prt.1";
  creosim::writeModelFile(part.file, "1711 22345 61234", 65536);
  creo.models().addModel(part);
  creo.models().setCurrentModel(part.name);
  user->select("StartFileUpload", "WorkspaceDropdown", "Bracket Team")
      .press("StartFileUpload", "UploadButton")
      .press("Upload", "CloseButton");
  creo.ribbon().pressButton("tavixRibbonButton");
  EXPECT_NE(log.text().find("User already authenticated. Opening upload dialog."), std::string::npos);
  EXPECT_NE(log.text().find("[INFO] [Tavix] Upload initiated: workspace_id=1, workspace_name=Bracket Team"),
            std::string::npos);
  EXPECT_EQ(user->seenDialogs(), (std::vector<std::string>{"Loading", "Start", "StartFileUpload", "Upload"}));
  EXPECT_EQ(user->lastSeen("StartFileUpload").text("UserEmailLabel"), tavixtest::kDemoEmail);
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

// The port the client library's sign-in listener waits on, once it waits.
int listenerPortWithinAMinute(const LogCapture& log) {
  const std::string waiting = "waiting for the browser on 127.0.0.1:";
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = log.text();
    if (const auto at = text.find(waiting); at != std::string::npos) return std::stoi(text.substr(at + waiting.size()));
    std::this_thread::sleep_for(10ms);
  }
  return 0;
}

bool acceptsConnections(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool connected = ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(socket);
  return connected;
}

// Creo unloads the add-in while the browser shows the sign-in page: the sign-in
// gives up, its listener closes and its thread is gone before "terminated".
TEST(SignInEndToEnd, UnloadWhileTheSignInWaitsEndsTheSignInBeforeTermination) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  writeProperties(log, service);
  getSessionManager().clear();
  creosim::CreoSimulator creo(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"});
  auto user = std::make_shared<creosim::ScriptedDialogUser>();
  user->press("Start", "LoginButton");
  creo.dialogs().setUser(user);
  setCreoHost(&creo);
  ASSERT_EQ(user_initialize(0, nullptr, nullptr, nullptr, nullptr), 0) << log.text();

  creo.ribbon().pressButton("tavixRibbonButton");
  const int port = listenerPortWithinAMinute(log);
  ASSERT_NE(port, 0) << log.text();
  ASSERT_TRUE(acceptsConnections(port));

  user_terminate();
  const std::string atTermination = log.text();
  EXPECT_FALSE(acceptsConnections(port)) << "the sign-in listener outlived the add-in";
  EXPECT_NE(atTermination.find("[INFO] [Tavix] Sign-in cancelled: norvane: sign-in was cancelled"), std::string::npos)
      << atTermination;
  EXPECT_EQ(atTermination.find("[ERROR]"), std::string::npos) << atTermination;
  const std::string terminated = "[DEBUG] [Tavix] Tavix integration terminated.\r\n";
  ASSERT_GE(atTermination.size(), terminated.size());
  EXPECT_EQ(atTermination.substr(atTermination.size() - terminated.size()), terminated) << atTermination;
  // A thread still running would write its lines after "terminated".
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(log.text(), atTermination);
  EXPECT_FALSE(signInState().failed.load());

  creo.ribbon().releaseCommands();
  setCreoHost(nullptr);
  setEnvironmentVariable("TMPDIR", nullptr);
}

}  // namespace
