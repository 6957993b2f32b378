// Creo's embedded browser is Chromium: here Debian's headless Chromium stands
// in for it. creo-sim hands every address the add-in opens to chromium_page.py,
// which signs in on the service's page and keeps what each page showed, with
// screenshots, in the build folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "sim_program_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path kPages = TAVIX_CHROMIUM_PAGES_DIR;
const std::string kChromiumPage = "/usr/bin/python3 " TAVIX_SOURCE_DIR "/tests/chromium_page.py --out " + kPages.string();

bool chromiumInstalled() {
  return fs::exists("/usr/bin/chromium") && fs::exists("/usr/bin/chromedriver") &&
         std::system("/usr/bin/python3 -c 'import selenium' 2>/dev/null") == 0;
}

std::vector<nlohmann::json> shownPages() {
  std::vector<nlohmann::json> pages;
  std::ifstream lines(kPages / "pages.jsonl");
  for (std::string line; std::getline(lines, line);) pages.push_back(nlohmann::json::parse(line));
  return pages;
}

bool contains(const nlohmann::json& page, const std::string& text) {
  return page["text"].get<std::string>().find(text) != std::string::npos;
}

TEST(ChromiumSignIn, SignsInThroughTheServicePageAndShowsTheUploadedFilesPages) {
  if (!chromiumInstalled())
    GTEST_SKIP() << "Chromium, chromedriver or python3-selenium is not installed (tools/install-deps installs them)";
  fs::remove_all(kPages);
  LogCapture log;
  tavixtest::LocalTavixService service;
  // Two uploads of the same assembly to one workspace; the second one's Open in Tavix shows its page.
  const std::string script = std::string("load\n") +
                             "generate models 3\n"
                             "answer Start press LoginButton\n"
                             "press\n"
                             "wait-log Login completed. 60\n"
                             "answer StartFileUpload select WorkspaceDropdown Bracket Team\n"
                             "answer StartFileUpload press UploadButton\n"
                             "answer Upload press CloseButton\n"
                             "press\n"
                             "answer StartFileUpload select WorkspaceDropdown Bracket Team\n"
                             "answer StartFileUpload press UploadButton\n"
                             "answer Upload press OpenInTavixButton\n"
                             "press\n"
                             "browser 60\n"
                             "dialogs\n"
                             "unload\n";
  std::ofstream(log.directory() / "journey.sim") << script;
  const std::string browser = kChromiumPage + " --email " + tavixtest::kDemoEmail + " --password " +
                              tavixtest::kDemoPassword;
  const SimProgramRun run = runSimProgram(log, service, "--script journey.sim --browser-command '" + browser + "'", "");
  ASSERT_EQ(run.exitCode, 0) << run.output << log.text();

  // Signed in: the client library's listener answered Chromium, and the add-in logged it.
  const std::vector<nlohmann::json> pages = shownPages();
  ASSERT_EQ(pages.size(), 2u) << run.output;
  const nlohmann::json& signedIn = pages[0];
  EXPECT_EQ(signedIn["title"], "Tavix sign-in");
  EXPECT_EQ(signedIn["text"], "You can return to Creo.");
  EXPECT_EQ(signedIn["before"].size(), 1u) << "the filled-in sign-in form";
  EXPECT_NE(log.text().find("[INFO] [Tavix] Login completed."), std::string::npos) << log.text();

  // The uploaded assembly's page, opened from the completion panel: its name,
  // both revisions, and their sizes.
  const nlohmann::json stored = service.storedFiles();
  const nlohmann::json& filePage = pages[1];
  std::vector<nlohmann::json> shownFile;
  for (const nlohmann::json& file : stored)
    if (filePage["title"] == file["name"].get<std::string>() + " - Tavix") shownFile.push_back(file);
  ASSERT_EQ(shownFile.size(), 2u) << filePage.dump(1) << stored.dump(1);
  for (const nlohmann::json& revision : shownFile) {
    EXPECT_TRUE(contains(filePage, revision["revisionId"].get<std::string>())) << filePage["text"];
    EXPECT_TRUE(contains(filePage, std::to_string(revision["size"].get<int64_t>()))) << filePage["text"];
  }
  EXPECT_TRUE(contains(filePage, "Bracket Team")) << filePage["text"];

  // The workspace's page: every file the assembly needed, with its size.
  const std::string workspace = service.baseUrl() + "workspace/" + shownFile[0]["addressKey"].get<std::string>();
  ASSERT_EQ(std::system((kChromiumPage + " " + workspace).c_str()), 0);
  const nlohmann::json workspacePage = shownPages().back();
  EXPECT_EQ(workspacePage["title"], "Bracket Team - Tavix");
  for (const nlohmann::json& file : stored) {
    EXPECT_TRUE(contains(workspacePage, file["name"].get<std::string>())) << workspacePage["text"];
    EXPECT_TRUE(contains(workspacePage, std::to_string(file["size"].get<int64_t>()))) << workspacePage["text"];
  }
  for (const nlohmann::json& page : shownPages()) EXPECT_TRUE(fs::exists(kPages / page["screenshot"].get<std::string>()));
}

}  // namespace
