// A person signs in at the terminal of the interactive creo-sim: the embedded
// browser shows the service's sign-in page and asks for what its form wants.
#include <gtest/gtest.h>

#include "sim_program_run.h"

namespace {

// Each answer is typed once its prompt shows. The password, as in a browser,
// is not shown while it is typed, the first wrong one neither; the e-mail is.
TEST(TerminalSignIn, ThePersonTypesTheAccountTheSignInPageAsksForAndIsSignedIn) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  const SimProgramRun run = runSimProgramAtTerminal(log, service, "--interactive",
                                                    {{"creo-sim> ", "load"},
                                                     {"creo-sim> ", "generate models 3"},
                                                     {"creo-sim> ", "press"},
                                                     {"Start waits for you:", "1"},
                                                     {"Email: ", tavixtest::kDemoEmail},
                                                     {"Password: ", "not-the-password"},
                                                     {"Email: ", tavixtest::kDemoEmail},
                                                     {"Password: ", tavixtest::kDemoPassword},
                                                     {"(submitted)", "wait-log Login completed. 30"},
                                                     {"creo-sim> ", "answer StartFileUpload close"},
                                                     {"creo-sim> ", "press"},
                                                     {"creo-sim> ", "unload"},
                                                     {"creo-sim> ", "quit"}});
  if (!run.started) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;

  // The page as a person reads it: its title, its text, then each field by its label.
  const std::string page = "[embedded browser] " + service.baseUrl() + "authorize\r\n  == Sign in to Tavix ==\r\n";
  const size_t first = out.find(page);
  ASSERT_NE(first, std::string::npos) << out;
  EXPECT_NE(out.find("The page's form asks for:\r\n  Email: ", first), std::string::npos) << out;
  EXPECT_NE(out.find(std::string("Email: ") + tavixtest::kDemoEmail, first), std::string::npos) << out;
  // A wrong password shows the page again, with the service's reason, and asks again.
  const size_t again = out.find(page, first + 1);
  ASSERT_NE(again, std::string::npos) << out;
  EXPECT_NE(out.find("  Wrong email or password.\r\n", again), std::string::npos) << out;
  EXPECT_NE(out.find("Password: \r\n(submitted)", again), std::string::npos) << out;
  EXPECT_EQ(out.find("not-the-password"), std::string::npos) << out;
  EXPECT_EQ(out.find(tavixtest::kDemoPassword), std::string::npos) << out;
  // The client library's listener answers the browser, and the add-in is signed in.
  EXPECT_NE(out.find("  == Tavix sign-in ==\r\n  You can return to Creo.\r\n", again), std::string::npos) << out;
  EXPECT_NE(log.text().find("[INFO] [Tavix] Login completed."), std::string::npos) << log.text();
  const size_t upload = out.find("(StartFileUpload)");
  ASSERT_NE(upload, std::string::npos) << out;
  EXPECT_NE(out.find(tavixtest::kDemoEmail, upload), std::string::npos) << out;
}

}  // namespace
