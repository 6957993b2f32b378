// Every dialog and component the add-in addresses must exist in the dialog
// resources of the text folder, with the kind the add-in finds it as.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>

#include "creo_simulator.h"
#include "host/creo_host.h"

namespace {

enum Kind { L, B, Y, O };

struct Dialog {
  const char* name;
  std::vector<std::pair<const char*, Kind>> components;
};

const std::vector<Dialog> kCatalogue = {
    {"Start", {{"LoginButton", B}}},
    {"Loading", {}},
    {"SignInFailed", {{"BackToSignInButton", B}, {"ErrorMessageLabel", L}, {"ErrorTitleLabel", L}}},
    {"StartFileUpload",
     {{"FileNameValue", L}, {"LastModifiedValue", L}, {"SizeValue", L}, {"ModelIconLabel", L},
      {"UserEmailLabel", L}, {"WelcomeBackLabel", L}, {"IntegrationVersionLabel", L}, {"WorkspaceDropdown", O},
      {"UploadButton", B}, {"CancelButton", B}, {"SignOutButton", B}, {"KnowledgeCenterButton", B},
      {"DrwWarningLayout", Y}, {"UnsavedModelWarningLayout", Y}, {"ExistingRevisionLayout", Y},
      {"NoWorkspacesLayout", Y}, {"ButtonsLayout", Y}}},
    {"Upload",
     {{"ModelNameLabel", L}, {"ModelSizeLabel", L}, {"WorkspaceNameLabel", L}, {"UserEmailLabel", L},
      {"IntegrationVersionLabel", L}, {"ProgressAnimationLabel", L}, {"PrimaryStatusLabel", L},
      {"SecondaryStatusLabel", L}, {"FooterLayout", Y}, {"SuccessActionsLayout", Y}, {"OpenInTavixButtonLayout", Y},
      {"OpenInTavixButton", B}, {"UploadAnotherWorkspaceButton", B}, {"CloseButton", B}}},
    {"UploadFailed",
     {{"UserEmailLabel", L}, {"ModelWorkspaceLabel", L}, {"ErrorMessageLabel", L}, {"IntegrationVersionLabel", L},
      {"ErrorTitleLabel", L}, {"CancelButton", B}, {"RetryUploadButton", B}, {"SignOutButton", B}}},
    {"GenericError",
     {{"UserEmailLabel", L}, {"ErrorTitleLabel", L}, {"ErrorMessageLabel", L}, {"IntegrationVersionLabel", L},
      {"StartOverButton", B}, {"SignOutButton", B}}},
};

void find(const std::string& dialog, const std::string& component, Kind kind) {
  switch (kind) {
    case L: uifcLabelFind(dialog.c_str(), component.c_str()); break;
    case B: uifcPushButtonFind(dialog.c_str(), component.c_str()); break;
    case Y: uifcLayoutFind(dialog.c_str(), component.c_str()); break;
    case O: uifcOptionMenuFind(dialog.c_str(), component.c_str()); break;
  }
}

TEST(UiCatalogue, EveryDialogAndComponentExistsWithItsKindAndEveryImageIsThere) {
  creosim::CreoSimulator sim(creosim::SimulatorOptions{TAVIX_SOURCE_DIR "/text"});
  setCreoHost(&sim);
  std::set<std::string> images = {"tavix_file_upload_asm_icon.svg", "tavix_file_upload_single_icon.svg",
                                  "tavix_upload_spinner.gif", "tavix_upload_complete.png"};
  for (const Dialog& dialog : kCatalogue) {
    SCOPED_TRACE(dialog.name);
    // Creo's rule, which the simulator's case-blind lookup would not notice: "<dialog name>.res" in lower case.
    std::string fileName = std::string(dialog.name) + ".res";
    for (char& c : fileName) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(TAVIX_SOURCE_DIR "/text/usascii/resource") / fileName));
    ASSERT_NO_THROW(uifcCreateDialog(dialog.name, dialog.name)) << ::testing::PrintToString(sim.dialogs().problems());
    for (const auto& [component, kind] : dialog.components)
      EXPECT_NO_THROW(find(dialog.name, component, kind)) << component << " missing or of another kind";
    const creosim::DialogView view = *sim.dialogs().view(dialog.name);
    for (const creosim::ComponentContent& component : view.components)
      if (!component.image.empty()) images.insert(component.image);
    uifcDestroyDialog(dialog.name);
  }
  EXPECT_TRUE(images.count("tavix_open_placeholder_icon.svg") && images.count("tavix_upload_placeholder_icon.svg"));
  for (const std::string& image : images) EXPECT_TRUE(sim.dialogs().imageExists(image)) << image;
  setCreoHost(nullptr);
}

}  // namespace
