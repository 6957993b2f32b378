// The embedded browser of the simulated Creo windows, against a small local site.
#include <httplib.h>

#include <gtest/gtest.h>

#include <thread>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "window_system.h"

namespace creosim {
namespace {

using namespace std::chrono_literals;

// A sign-in site: /start redirects to a page with the form; the form posts
// back and is redirected to /done with what was posted.
class SignInSite {
 public:
  SignInSite() {
    server_.Get("/start", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/login?next=1"); });
    server_.Get("/login", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(
          "<html><body><form class=\"x\" id=\"signin\" method=\"post\" action=\"/login\">"
          "<input type=\"email\" name=\"email\"><input type=\"password\" name=\"password\">"
          "<input type=\"hidden\" name=\"state\" value=\"a&amp;b c\"></form></body></html>",
          "text/html");
    });
    server_.Post("/login", [this](const httplib::Request& req, httplib::Response& res) {
      posted_ = req.get_param_value("email") + "|" + req.get_param_value("password") + "|" +
                req.get_param_value("state");
      res.set_redirect("/done");
    });
    server_.Get("/done", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("You can return to Creo.", "text/plain");
    });
    server_.Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::yield();
  }
  ~SignInSite() {
    server_.stop();
    thread_.join();
  }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  // Read after the browser is idle: the request that wrote it has been answered.
  const std::string& posted() const { return posted_; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
  std::string posted_;
};

TEST(SimBrowser, FollowsRedirectsAndSignsInForTheConfiguredUser) {
  SignInSite site;
  FaultInjector faults;
  WindowSystem windows(faults);
  windows.browser().setSignInUser("engineer@example.com", "p&ss word");

  windows.baseWindow()->SetURL(site.url("/start"));
  ASSERT_TRUE(windows.browser().waitUntilIdle(10s));

  const std::vector<BrowserVisit> visits = windows.browser().visits();
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].url, site.url("/start"));
  EXPECT_EQ(visits[0].windowId, windows.baseWindow()->id());
  const PageLoad& load = visits[0].load;
  EXPECT_EQ(load.error, "");
  EXPECT_TRUE(load.submittedSignIn);
  EXPECT_EQ(load.status, 200);
  EXPECT_EQ(load.finalUrl, site.url("/done"));
  EXPECT_EQ(load.body, "You can return to Creo.");
  EXPECT_EQ(load.addresses,
            (std::vector<std::string>{site.url("/start"), site.url("/login?next=1"), site.url("/login"),
                                      site.url("/done")}));
  EXPECT_EQ(site.posted(), "engineer@example.com|p&ss word|a&b c");
  EXPECT_EQ(windows.baseWindow()->url(), site.url("/start"));
}

TEST(SimBrowser, WithoutUserLeavesFormsAndReportsStatusAndFailures) {
  SignInSite site;
  FaultInjector faults;
  WindowSystem windows(faults);
  SimWindow& window = *windows.baseWindow();

  window.SetURL(site.url("/start"));
  window.SetURL(site.url("/missing"));
  window.SetURL("https://login.tavix.example/v2/logout?client_id=x");
  window.SetURL("http://127.0.0.1:1/unreachable");
  ASSERT_TRUE(windows.browser().waitUntilIdle(20s));

  const std::vector<BrowserVisit> visits = windows.browser().visits();
  ASSERT_EQ(visits.size(), 4u);
  EXPECT_FALSE(visits[0].load.submittedSignIn);
  EXPECT_EQ(visits[0].load.status, 200);
  EXPECT_EQ(visits[0].load.finalUrl, site.url("/login?next=1"));
  EXPECT_EQ(visits[1].load.status, 404);
  // Nothing leaves the machine: other hosts are recorded only.
  EXPECT_EQ(visits[2].load.status, 0);
  EXPECT_EQ(visits[2].load.error, "not fetched: only plain http on loopback hosts is loaded");
  EXPECT_EQ(visits[3].load.status, 0);
  EXPECT_NE(visits[3].load.error.find("request failed"), std::string::npos);
}

}  // namespace
}  // namespace creosim
