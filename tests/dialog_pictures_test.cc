// Pictures of the dialogs a user passes through, drawn from the add-in's own
// resources in the states the add-in puts them in. What is checked is what a
// person looking at them would notice: the texts and their order, which parts
// show, the images at their size, the buttons' state, and picture files of the
// size laid out.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dialog_picture.h"
#include "upload_journey.h"

namespace {

namespace fs = std::filesystem;
using creosim::ComponentKind;
using creosim::DialogLayout;
using creosim::DialogView;
using creosim::PlacedComponent;
using creosim::SimModelDefinition;
using Texts = std::vector<std::string>;

// Draws every state a dialog shows, as creo-sim's "pictures" command does.
class Camera {
 public:
  explicit Camera(UploadJourney& journey) : folder_(journey.models().parent_path() / "pictures") {
    fs::create_directories(folder_);
    const creosim::TextFolder& text = journey.creo().dialogs().textFolder();
    journey.creo().dialogs().watchScreen([this, &text](const DialogView& view) {
      const fs::path stem = folder_ / (std::to_string(shots_.size() + 1) + "-" + view.dialog);
      shots_.push_back({creosim::drawDialogPicture(view, text, stem), stem});
    });
  }

  struct Shot {
    DialogLayout layout;
    fs::path stem;
  };
  const std::vector<Shot>& shots() const { return shots_; }
  std::vector<std::string> dialogs() const {
    std::vector<std::string> names;
    for (const Shot& shot : shots_) names.push_back(shot.layout.dialog);
    return names;
  }

 private:
  fs::path folder_;
  std::vector<Shot> shots_;
};

std::string fileText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Width and height from the PNG's header chunk.
std::pair<int, int> pngSize(const fs::path& file) {
  const std::string bytes = fileText(file);
  if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0 || bytes.compare(12, 4, "IHDR") != 0) return {0, 0};
  auto word = [&](size_t at) {
    int value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {word(16), word(20)};
}

void expectFilesOfTheLaidOutSize(const Camera::Shot& shot) {
  SCOPED_TRACE(shot.stem.string());
  const auto [width, height] = pngSize(fs::path(shot.stem).concat(".png"));
  EXPECT_EQ(width, static_cast<int>(std::ceil(shot.layout.size.width)));
  EXPECT_EQ(height, static_cast<int>(std::ceil(shot.layout.size.height)));
  const std::string svg = fileText(fs::path(shot.stem).concat(".svg"));
  EXPECT_NE(svg.find("width=\"" + std::to_string(width) + "px\" height=\"" + std::to_string(height) + "px\""),
            std::string::npos)
      << svg.substr(0, 300);
}

std::vector<std::string> shownNames(const DialogLayout& layout, ComponentKind kind) {
  std::vector<std::string> names;
  for (const PlacedComponent& component : layout.components)
    if (component.kind == kind) names.push_back(component.name);
  return names;
}

void expectImage(const DialogLayout& layout, const std::string& label, const std::string& image, double side) {
  const PlacedComponent* placed = layout.find(label);
  ASSERT_NE(placed, nullptr) << label;
  EXPECT_EQ(placed->image, image);
  EXPECT_EQ(placed->imageBox.width, side);
  EXPECT_EQ(placed->imageBox.height, side);
}

TEST(DialogPictures, SignInShowsLoadingThenStart) {
  tavixtest::LocalTavixService service;
  UploadJourney journey(service, UploadJourney::Start::SignedOut);
  Camera camera(journey);
  journey.user().close("Start");
  journey.pressTavixButton();

  ASSERT_EQ(camera.dialogs(), (Texts{"Loading", "Start"}));
  const DialogLayout& loading = camera.shots()[0].layout;
  EXPECT_EQ(loading.title, "Tavix");
  EXPECT_EQ(loading.texts(), Texts{"Connecting to Tavix..."});
  expectImage(loading, "SpinnerLabel", "tavix_upload_spinner.gif", 24);

  const DialogLayout& start = camera.shots()[1].layout;
  EXPECT_EQ(start.title, "Sign in to Tavix");
  EXPECT_EQ(start.texts(), (Texts{"Welcome to Tavix",
                                  "Sign in with your Tavix account to upload models from Creo.\n"
                                  "The sign-in page opens in Creo's browser.",
                                  "Continue"}));
  // The two-line message is as tall as two lines of the title's font.
  EXPECT_GE(start.find("MessageLabel")->textBox.height, 2 * start.find("TitleLabel")->textBox.height - 2);
  for (const Camera::Shot& shot : camera.shots()) expectFilesOfTheLaidOutSize(shot);
}

TEST(DialogPictures, UploadDialogBeforeAndAfterTheWorkspaceThenProgressAndCompletion) {
  UploadJourney journey;
  Camera camera(journey);
  SimModelDefinition part;
  part.name = "bracket.prt";
  part.file = journey.writeModel("bracket.prt.3", 3 << 19);  // 1.5 MiB
  journey.addCurrentModel(part);
  journey.chooseWorkspace("Bracket Team");
  journey.user().press("Upload", "CloseButton");
  journey.pressTavixButton();

  // The upload dialog before and after the workspace, then progress up to completion.
  const std::vector<std::string> dialogs = camera.dialogs();
  ASSERT_GE(dialogs.size(), 4u);
  EXPECT_EQ((Texts{dialogs[0], dialogs[1], dialogs[2], dialogs.back()}),
            (Texts{"StartFileUpload", "StartFileUpload", "Upload", "Upload"}));

  const DialogLayout& before = camera.shots()[0].layout;
  EXPECT_EQ(before.title, "Upload to Tavix");
  EXPECT_EQ(before.texts(),
            (Texts{"Welcome back, Demo Engineer", "engineer@example.com", "bracket.prt", "Last modified:",
                   before.find("LastModifiedValue")->text, "Size:", "1.50 MB", "Workspace:", "Select...", "Cancel",
                   "Upload", "Knowledge Center", "Sign Out", "Version 1.0.0"}));
  for (const char* hidden : {"DrwWarningLayout", "UnsavedModelWarningLayout", "ExistingRevisionLayout",
                             "NoWorkspacesLayout", "DrwWarningLabel", "NoWorkspacesLabel"})
    EXPECT_EQ(before.find(hidden), nullptr) << hidden;
  EXPECT_EQ(shownNames(before, ComponentKind::Layout), (Texts{"ModelLayout", "ButtonsLayout", "AccountLayout"}));
  expectImage(before, "ModelIconLabel", "tavix_file_upload_single_icon.svg", 48);
  EXPECT_FALSE(before.find("UploadButton")->enabled);
  EXPECT_EQ(before.find("UploadButton")->color, (creosim::Rgb{190, 190, 190}));
  EXPECT_TRUE(before.find("CancelButton")->enabled);

  const DialogLayout& chosen = camera.shots()[1].layout;
  EXPECT_EQ(chosen.find("WorkspaceDropdown")->text, "Bracket Team");
  EXPECT_TRUE(chosen.find("UploadButton")->enabled);
  EXPECT_NE(chosen.find("UploadButton")->color, before.find("UploadButton")->color);
  // The dialog keeps its size: nothing appeared or went.
  EXPECT_EQ(chosen.size.width, before.size.width);
  EXPECT_EQ(chosen.size.height, before.size.height);

  const DialogLayout& progress = camera.shots()[2].layout;
  EXPECT_EQ(progress.title, "Uploading to Tavix");
  expectImage(progress, "ProgressAnimationLabel", "tavix_upload_spinner.gif", 24);
  EXPECT_NE(progress.find("FooterLabel"), nullptr);
  EXPECT_EQ(progress.find("SuccessActionsLayout"), nullptr);
  EXPECT_TRUE(shownNames(progress, ComponentKind::PushButton).empty());

  const DialogLayout& done = camera.shots().back().layout;
  expectImage(done, "ProgressAnimationLabel", "tavix_upload_complete.png", 48);
  EXPECT_EQ(done.find("FooterLayout"), nullptr);
  EXPECT_EQ(shownNames(done, ComponentKind::PushButton),
            (Texts{"OpenInTavixButton", "UploadAnotherWorkspaceButton", "CloseButton"}));
  const Texts texts = done.texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[0], "Upload Complete!");
  EXPECT_EQ(texts.back(), "Version 1.0.0");
  // Whatever grew, the completion panel still holds every part of the dialog.
  for (const PlacedComponent& component : done.components) {
    EXPECT_LE(component.box.right(), done.size.width) << component.name;
    EXPECT_LE(component.box.bottom(), done.size.height) << component.name;
  }
  for (const Camera::Shot& shot : camera.shots()) expectFilesOfTheLaidOutSize(shot);
  EXPECT_TRUE(journey.user().problems().empty()) << journey.user().transcript();
}

// A drawing shows its warning; its PDF cannot be written, and the failure
// dialog says so with the model and workspace.
TEST(DialogPictures, DrawingWarningAndUploadFailed) {
  UploadJourney journey;
  Camera camera(journey);
  SimModelDefinition plan;
  plan.name = "plan.drw";
  plan.file = journey.writeModel("plan.drw.2", 3000);
  journey.addCurrentModel(plan);
  journey.creo().faults().failNext("pfcModel::Export", "pfcXToolkitCantAccess", -1);
  journey.chooseWorkspace("Bracket Team");
  journey.user().press("UploadFailed", "CancelButton");
  journey.pressTavixButton();

  const DialogLayout& upload = camera.shots()[0].layout;
  ASSERT_NE(upload.find("DrwWarningLabel"), nullptr);
  EXPECT_EQ(upload.find("DrwWarningLabel")->text, "Drawings are uploaded as a PDF file.");
  // The warning sits between the model's details and the workspace.
  EXPECT_GT(upload.find("DrwWarningLabel")->box.y, upload.find("SizeValue")->box.bottom());
  EXPECT_LT(upload.find("DrwWarningLabel")->box.bottom(), upload.find("WorkspaceCaption")->box.y);

  ASSERT_EQ(camera.dialogs().back(), "UploadFailed");
  const DialogLayout& failed = camera.shots().back().layout;
  EXPECT_EQ(failed.title, "Upload to Tavix");
  // The texts in order; the message is the export's own.
  const Texts texts = failed.texts();
  ASSERT_EQ(texts.size(), 8u);
  EXPECT_EQ(texts, (Texts{"Upload failed", "plan.drw  \u2192  Bracket Team", texts[2], "Cancel", "Retry Upload",
                          "engineer@example.com", "Sign Out", "Version 1.0.0"}));
  // The message is shown whole: the dialog is as wide as it needs.
  EXPECT_LE(failed.find("ErrorMessageLabel")->textBox.right(), failed.size.width);
  for (const Camera::Shot& shot : camera.shots()) expectFilesOfTheLaidOutSize(shot);
}

}  // namespace
