// The embedded browser of the simulated Creo windows, against a small local site.
#include <httplib.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "addin_library.h"
#include "browser_commands.h"
#include "command_table.h"
#include "creo_simulator.h"
#include "fault_injector.h"
#include "window_system.h"

namespace creosim {
namespace {

using namespace std::chrono_literals;

TEST(SimBrowser, LoadsLoopbackPagesWithTheirStatusAndOnlyRecordsOtherHosts) {
  httplib::Server site;
  site.Get("/start", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/login?next=1"); });
  site.Get("/login", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("<form id=\"signin\" method=\"post\" action=\"/login\"><input name=\"email\"></form>",
                    "text/html");
  });
  site.Get("/missing", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
  const std::string origin = "http://127.0.0.1:" + std::to_string(site.bind_to_any_port("127.0.0.1"));
  std::thread serving([&] { site.listen_after_bind(); });

  FaultInjector faults;
  WindowSystem windows(faults);
  SimWindow& window = *windows.baseWindow();
  window.SetURL((origin + "/start").c_str());
  window.SetURL((origin + "/missing").c_str());
  window.SetURL("https://login.tavix.example/v2/logout?client_id=x");
  window.SetURL("http://127.0.0.1:1/unreachable");
  window.SetURL("http://127.tavix.example/looks-local");
  // An octal form that only looks like loopback: the resolver reads 0127 as 87.
  window.SetURL("http://0127.0.0.1:1/x");
  const bool idle = windows.browser().waitUntilIdle(20s);
  site.stop();
  serving.join();
  ASSERT_TRUE(idle);

  const std::vector<BrowserVisit> visits = windows.browser().visits();
  ASSERT_EQ(visits.size(), 6u);
  EXPECT_EQ(window.url(), "http://0127.0.0.1:1/x");
  // Without a configured user the sign-in form is left as it is.
  EXPECT_FALSE(visits[0].load.submittedSignIn);
  EXPECT_EQ(visits[0].load.status, 200);
  EXPECT_EQ(visits[0].load.addresses, (std::vector<std::string>{origin + "/start", origin + "/login?next=1"}));
  EXPECT_EQ(visits[1].load.status, 404);
  // Nothing leaves the machine: other hosts are recorded only.
  EXPECT_EQ(visits[2].load.status, 0);
  EXPECT_EQ(visits[2].load.error, "not fetched: only plain http on loopback hosts is loaded");
  EXPECT_EQ(visits[3].load.status, 0);
  EXPECT_NE(visits[3].load.error.find("request failed"), std::string::npos);
  // A name that merely starts like a loopback address is not looked up.
  EXPECT_EQ(visits[4].url, "http://127.tavix.example/looks-local");
  EXPECT_EQ(visits[4].load.error, "not fetched: only plain http on loopback hosts is loaded");
  EXPECT_EQ(visits[5].load.error, "not fetched: only plain http on loopback hosts is loaded");
}

TEST(SimBrowser, BrowserCommandShowsAddressesWithoutTheirQueries) {
  httplib::Server site;
  site.Get("/start", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/callback?code=c0de&state=57a7e"); });
  site.Get("/callback", [](const httplib::Request&, httplib::Response& res) { res.set_content("done", "text/plain"); });
  const std::string origin = "http://127.0.0.1:" + std::to_string(site.bind_to_any_port("127.0.0.1"));
  std::thread serving([&] { site.listen_after_bind(); });

  CreoSimulator simulator(SimulatorOptions{});
  CommandTable commands;
  addBrowserCommands(commands);
  std::ostringstream out;
  SimContext context{simulator, {}, out, nullptr};
  simulator.windows().baseWindow()->SetURL((origin + "/start?code_challenge=ch4ll").c_str());
  const bool ran = commands.run(context, "browser 20");
  site.stop();
  serving.join();
  ASSERT_TRUE(ran) << out.str();

  EXPECT_NE(out.str().find(": " + origin + "/start\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("-> 200 from " + origin + "/callback\n"), std::string::npos) << out.str();
  for (const char* secret : {"c0de", "57a7e", "ch4ll"}) EXPECT_EQ(out.str().find(secret), std::string::npos) << out.str();
}

// A person's own browser program gets the addresses the embedded browser would
// load, each as one argument; nothing else reaches it.
TEST(SimBrowser, HandsOnlyLoopbackAddressesToTheOutsideBrowserProgram) {
  const std::filesystem::path handed = std::filesystem::temp_directory_path() / ("handed-" + std::to_string(::getpid()));
  std::filesystem::remove(handed);
  FaultInjector faults;
  WindowSystem windows(faults);
  windows.browser().handAddressesTo({"/bin/sh", "-c", "printf '%s\\n' \"$0\" >>" + handed.string()});
  SimWindow& window = *windows.baseWindow();
  window.SetURL("http://127.0.0.1:9/authorize?state=a&b=c d");
  window.SetURL("http://127.0.0.1:9/workspace/bracket-team");
  window.SetURL("https://login.tavix.example/authorize");
  window.SetURL("http://127.0.0.1:9/\"quoted\"");
  ASSERT_TRUE(windows.browser().waitUntilIdle(20s));
  windows.browser().handAddressesTo({"/bin/false"});
  window.SetURL("http://127.0.0.1:9/");
  ASSERT_TRUE(windows.browser().waitUntilIdle(20s));

  std::ostringstream shown;
  shown << std::ifstream(handed).rdbuf();
  std::filesystem::remove(handed);
  EXPECT_EQ(shown.str(), "http://127.0.0.1:9/workspace/bracket-team\n");
  std::vector<std::string> errors;
  for (const BrowserVisit& visit : windows.browser().visits()) errors.push_back(visit.load.error);
  EXPECT_EQ(errors, (std::vector<std::string>{"not handed over: not a plain address", "",
                                              "not fetched: only plain http on loopback hosts is loaded",
                                              "not handed over: not a plain address",
                                              "the browser program /bin/false ended with 1"}));
  EXPECT_TRUE(windows.browser().visits()[1].load.handedOver);
}

}  // namespace
}  // namespace creosim
