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
#include <functional>
#include <thread>

#include "cloud/cloud_connection.h"
#include "core/testing/log_capture.h"
#include "core/testing/test_environment.h"
#include "creo_simulator.h"
#include "host/creo_host.h"
#include "local_service.h"
#include "scripted_dialog_user.h"
#include "signin/sign_in_context.h"
#include "sim_model_file.h"
#include "sim_program_run.h"

namespace {

using namespace std::chrono_literals;

// Whether `done` came true within `limit`, asked every 10 ms.
bool within(std::chrono::seconds limit, const std::function<bool()>& done) {
  for (const auto deadline = std::chrono::steady_clock::now() + limit; !done();) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
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

// Creo with the add-in started, pointed at the service from the log's working
// directory, and a user who presses Continue on the Start dialog.
class SignInEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    // Start-up removes every "tavix-" folder it finds in the temporary directory:
    // give it one of its own.
    const std::filesystem::path temp = log_.directory() / "temp";
    std::filesystem::create_directory(temp);
    setEnvironmentVariable("TMPDIR", temp.string().c_str());
    writeServiceProperties(log_.directory(), service_);
    user_->press("Start", "LoginButton");
    creo_.dialogs().setUser(user_);
    setCreoHost(&creo_);
    ASSERT_EQ(user_initialize(0, nullptr, nullptr, nullptr, nullptr), 0) << log_.text();
  }
  void TearDown() override {
    creo_.ribbon().releaseCommands();
    setCreoHost(nullptr);
    setEnvironmentVariable("TMPDIR", nullptr);
  }

  LogCapture log_;
  tavixtest::LocalTavixService service_;
  creosim::CreoSimulator creo_{creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"}};
  std::shared_ptr<creosim::ScriptedDialogUser> user_ = std::make_shared<creosim::ScriptedDialogUser>();
};

TEST_F(SignInEndToEnd, FirstPressSignsInAndTheSecondGoesOnToTheUploadDialog) {
  creo_.windows().browser().setSignInUser(tavixtest::kDemoEmail, tavixtest::kDemoPassword);
  creo_.ribbon().pressButton("tavixRibbonButton");
  ASSERT_TRUE(within(60s, [] { return getSessionManager().getCachedUser() != nullptr; })) << log_.text();
  EXPECT_EQ(getSessionManager().getCachedUser()->email, tavixtest::kDemoEmail);
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Loading", "Start"}));
  EXPECT_EQ(user_->lastSeen("Start").shownButtons(), std::vector<std::string>{"Continue"});
  ASSERT_TRUE(creo_.windows().browser().waitUntilIdle(30s));
  const auto visits = creo_.windows().browser().visits();
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].url.rfind(service_.baseUrl() + "authorize?", 0), 0u) << visits[0].url;
  const creosim::PageLoad& page = visits[0].load;
  EXPECT_TRUE(page.submittedSignIn);
  EXPECT_EQ(page.status, 200) << page.error << page.body;
  EXPECT_EQ(page.finalUrl.rfind("http://127.0.0.1:", 0), 0u);
  EXPECT_EQ(page.finalUrl.rfind(service_.baseUrl(), 0), std::string::npos) << "ends on the client's own listener";
  EXPECT_NE(page.body.find("You can return to Creo."), std::string::npos);
  // The last lines of the sign-in thread may still be on their way to the log.
  EXPECT_TRUE(within(10s, [&] { return log_.text().find("[INFO] [Tavix] Login completed.") != std::string::npos; }))
      << log_.text();

  // Signed in, the engineer opens a part and picks a workspace for it.
  creosim::SimModelDefinition part;
  part.name = "bracket.prt";
  part.file = log_.directory() / "bracket.prt.1";
  creosim::writeModelFile(part.file, "1711 22345 61234", 65536);
  creo_.models().addModel(part);
  creo_.models().setCurrentModel(part.name);
  user_->select("StartFileUpload", "WorkspaceDropdown", "Bracket Team")
      .press("StartFileUpload", "UploadButton")
      .press("Upload", "CloseButton");
  creo_.ribbon().pressButton("tavixRibbonButton");
  EXPECT_NE(log_.text().find("User already authenticated. Opening upload dialog."), std::string::npos);
  EXPECT_NE(log_.text().find("[INFO] [Tavix] Upload initiated: workspace_id=1, workspace_name=Bracket Team"),
            std::string::npos);
  EXPECT_EQ(user_->seenDialogs(), (std::vector<std::string>{"Loading", "Start", "StartFileUpload", "Upload"}));
  EXPECT_EQ(user_->lastSeen("StartFileUpload").text("UserEmailLabel"), tavixtest::kDemoEmail);
  EXPECT_TRUE(user_->problems().empty());
  for (const std::string& secret : {getSessionManager().getAccessToken(), getSessionManager().getSecondToken()})
    if (!secret.empty()) {
      EXPECT_EQ(log_.text().find(secret), std::string::npos);
    }
  user_terminate();
}

// Creo unloads the add-in while the browser shows the sign-in page: the sign-in
// gives up, its listener closes and its thread is gone before "terminated".
TEST_F(SignInEndToEnd, UnloadWhileTheSignInWaitsEndsTheSignInBeforeTermination) {
  creo_.ribbon().pressButton("tavixRibbonButton");
  // The port the client library's sign-in listener waits on, once it waits.
  const std::string waiting = "waiting for the browser on 127.0.0.1:";
  int port = 0;
  ASSERT_TRUE(within(60s, [&] {
    const std::string text = log_.text();
    if (const auto at = text.find(waiting); at != std::string::npos) port = std::stoi(text.substr(at + waiting.size()));
    return port != 0;
  })) << log_.text();
  ASSERT_TRUE(acceptsConnections(port));

  user_terminate();
  const std::string atTermination = log_.text();
  EXPECT_FALSE(acceptsConnections(port)) << "the sign-in listener outlived the add-in";
  EXPECT_NE(atTermination.find("[INFO] [Tavix] Sign-in cancelled: norvane: sign-in was cancelled"), std::string::npos)
      << atTermination;
  EXPECT_EQ(atTermination.find("[ERROR]"), std::string::npos) << atTermination;
  const std::string terminated = "[DEBUG] [Tavix] Tavix integration terminated.\r\n";
  ASSERT_GE(atTermination.size(), terminated.size());
  EXPECT_EQ(atTermination.substr(atTermination.size() - terminated.size()), terminated) << atTermination;
  // A thread still running would write its lines after "terminated".
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(log_.text(), atTermination);
}

}  // namespace
