// A person signs in at the terminal of the interactive creo-sim: the embedded
// browser shows the service's sign-in page and asks for what its form wants.
#include <gtest/gtest.h>

#include "sim_program_run.h"

namespace {

// What the person types, in order: commands, a dialog choice, the form's answers.
TEST(TerminalSignIn, ThePersonTypesTheAccountTheSignInPageAsksForAndIsSignedIn) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  const std::string typed = std::string("load\n") +
                            "generate models 3\n"
                            "press\n"
                            "1\n"  // Start: Continue
                            "engineer@example.com\n"
                            "not-the-password\n"
                            "engineer@example.com\n"
                            "creo-demo\n"
                            "wait-log Login completed. 30\n"
                            "answer StartFileUpload close\n"
                            "press\n"
                            "unload\n"
                            "quit\n";
  const SimProgramRun run = runSimProgram(log, service, "--interactive", typed);
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::string& out = run.output;

  // The page as a person reads it: its title, its text, then each field by its label.
  const std::string page = "[embedded browser] " + service.baseUrl() + "authorize\n  == Sign in to Tavix ==\n";
  const size_t first = out.find(page);
  ASSERT_NE(first, std::string::npos) << out;
  EXPECT_NE(out.find("The page's form asks for:\n  Email: ", first), std::string::npos) << out;
  // A wrong password shows the page again, with the service's reason, and asks again.
  const size_t again = out.find(page, first + 1);
  ASSERT_NE(again, std::string::npos) << out;
  EXPECT_NE(out.find("  Wrong email or password.\n", again), std::string::npos) << out;
  EXPECT_NE(out.find("  Password: (submitted)", again), std::string::npos) << out;
  // The client library's listener answers the browser, and the add-in is signed in.
  EXPECT_NE(out.find("  == Tavix sign-in ==\n  You can return to Creo.\n", again), std::string::npos) << out;
  EXPECT_NE(log.text().find("[INFO] [Tavix] Login completed."), std::string::npos) << log.text();
  const size_t upload = out.find("(StartFileUpload)");
  ASSERT_NE(upload, std::string::npos) << out;
  EXPECT_NE(out.find(tavixtest::kDemoEmail, upload), std::string::npos) << out;
}

// At a real terminal the password, as in a browser, is not shown while it is
// typed; the account's e-mail is.
TEST(TerminalSignIn, ThePasswordIsNotShownAsItIsTyped) {
  LogCapture log;
  tavixtest::LocalTavixService service;
  const SimProgramRun run = runSimProgramAtTerminal(log, service, "--interactive",
                                                    {{"creo-sim> ", "load"},
                                                     {"creo-sim> ", "generate models 3"},
                                                     {"creo-sim> ", "press"},
                                                     {"Start waits for you:", "1"},
                                                     {"Email: ", tavixtest::kDemoEmail},
                                                     {"Password: ", tavixtest::kDemoPassword},
                                                     {"(submitted)", "wait-log Login completed. 30"},
                                                     {"creo-sim> ", "unload"},
                                                     {"creo-sim> ", "quit"}});
  if (!run.started) GTEST_SKIP() << run.output;
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find(std::string("Email: ") + tavixtest::kDemoEmail), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Password: \r\n(submitted)"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find(tavixtest::kDemoPassword), std::string::npos) << run.output;
  EXPECT_NE(log.text().find("[INFO] [Tavix] Login completed."), std::string::npos) << log.text();
}

}  // namespace
