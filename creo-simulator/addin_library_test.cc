// The real add-in library, installed in a folder of its own and loaded the
// way Creo loads it, with Creo's working directory somewhere else.
#include "testing/addin_library_test_support.h"

#include <stdexcept>

#include "creo_simulator.h"
#include "testing/toolkit_throw_test_support.h"

namespace {

TEST(SimAddinLibrary, StartsFromItsInstallFolderRegistersTheButtonAndUnloadsCleanly) {
  InstalledAddin installed("tavix-creo");
  {
    creosim::AddinLibrary addin(installed.simulator(), installed.addinFile());
    ASSERT_EQ(addin.start(), 0) << installed.logText();
    EXPECT_EQ(installed.simulator().ribbon().buttonCommands(), std::vector<std::string>{"tavixRibbonButton"});
    EXPECT_EQ(installed.simulator().ribbon().commandView("tavixRibbonButton").label, "Upload to Tavix");
    addin.stop();
    EXPECT_FALSE(installed.simulator().ribbon().hasCommand("tavixRibbonButton"));
  }
  const std::vector<std::string> log = installed.logMessages();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front().rfind("[INFO] [Tavix] Log level set to", 0), 0u) << installed.logText();
  EXPECT_NE(installed.logText().find("[INFO] [Tavix] Tavix integration initialization complete.\n"), std::string::npos);
  EXPECT_EQ(installed.logText().find("[ERROR]"), std::string::npos) << installed.logText();
}

// Message file names are lower case, at most 30 characters, with a three-letter extension.
TEST(SimAddinLibrary, MessageFilesAreReadFromTheLanguageFolderUnderCreosNamingRule) {
  InstalledAddin installed("tavix-creo");
  const creosim::Ribbon& ribbon = installed.simulator().ribbon();
  EXPECT_EQ(ribbon.readMessageFile("tavix_msg.txt").at("TAVIX_RIBBON_LABEL"), "Upload to Tavix");
  const std::filesystem::path language = installed.installFolder() / "text" / "usascii";
  std::filesystem::copy_file(language / "tavix_msg.txt", language / "tavix_messages_for_the_ribbon.txt");
  std::filesystem::copy_file(language / "tavix_msg.txt", language / "tavix_msg.text");
  for (const char* refused : {"TAVIX_MSG.TXT", "tavix_messages_for_the_ribbon.txt", "tavix_msg.text", "msg"})
    EXPECT_TOOLKIT_THROW(ribbon.readMessageFile(refused), pfcXToolkitMsgNotFound) << refused;
}

// An action that lets an exception escape: Creo would not survive it, the simulator reports it.
class EscapingAction : public pfcUICommandActionListener {
 public:
  void OnCommand() override { throw new pfcXToolkitCantOpen("pfcWindow::SetURL"); }
};

int escapingStart(CreoHost*, int, char*[], char*, char*, wchar_t[80]) { throw std::runtime_error("no start"); }

TEST(SimAddinLibrary, WhatEscapesTheStartOrARibbonActionIsReportedAsACreoProblem) {
  InstalledAddin installed("tavix-creo");
  creosim::CreoSimulator& creo = installed.simulator();
  EXPECT_EQ(creo.startAddin(escapingStart), 1);
  EXPECT_TOOLKIT_THROW(creo.ribbon().loadDefinitionFile("missing.rbn"), pfcXToolkitInvalidFile);
  creo.ribbon().loadDefinitionFile("ToolkitRibbonUI.rbn");  // found whatever the case, as on Windows
  // A button without its command cannot be pressed.
  EXPECT_TOOLKIT_THROW(creo.ribbon().pressButton("tavixRibbonButton"), pfcXToolkitNotFound);
  creo.ribbon().createCommand("tavixRibbonButton", new EscapingAction);
  creo.ribbon().pressButton("tavixRibbonButton");
  EXPECT_EQ(creo.problems(),
            (std::vector<std::string>{
                "the add-in let an exception escape from user_initialize_plus: no start",
                "the action of tavixRibbonButton let an exception escape from OnCommand: pfcXToolkitCantOpen in "
                "pfcWindow::SetURL"}));
  creo.ribbon().releaseCommands();
}

}  // namespace
