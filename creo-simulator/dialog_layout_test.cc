#include "dialog_layout.h"

#include <gtest/gtest.h>

namespace creosim {
namespace {

// Every character 7 pixels wide, every line 16 high, every image 24 square:
// the geometry can be worked out by hand.
class FixedMetrics : public PictureMetrics {
 public:
  Size textSize(const std::string& text) const override {
    size_t widest = 0, lines = 1, start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1, ++lines)
      widest = std::max(widest, end - start);
    widest = std::max(widest, text.size() - start);
    return {7.0 * widest, 16.0 * lines};
  }
  Size imageSize(const std::string&) const override { return {24, 24}; }
};

// A details grid, a warning that keeps its space while hidden, one that gives
// it up, and a row of buttons.
constexpr const char* kDetails = R"(
(Dialog Details
  (Components (Label Heading) (SubLayout Facts) (SubLayout Kept) (SubLayout Dropped) (OptionMenu Pick)
              (SubLayout Buttons))
  (Resources (.Label "Model details") (Heading.Label "Bracket\nchecked") (Heading.Image "icon.png")
             (Kept.Visible False) (Dropped.Visible False) (Dropped.ReserveSpace False)
             (Pick.Names "a" "b") (Pick.Labels "Short" "A much longer item") (Pick.SelectedNames "b"))
  (Layout (Row Heading) (Row Facts) (Row Kept) (Row Dropped) (Row Pick) (Row Buttons)))
(Layout Facts (Components (Label NameCaption) (Label Name) (Label SizeCaption) (Label Size))
  (Resources (NameCaption.Label "Name:") (Name.Label "bracket.prt") (SizeCaption.Label "Size of the file:")
             (Size.Label "5 KB"))
  (Layout (Row NameCaption Name) (Row SizeCaption Size)))
(Layout Kept (Components (Label KeptText)) (Resources (KeptText.Label "Kept warning")))
(Layout Dropped (Components (Label DroppedText)) (Resources (DroppedText.Label "Dropped warning")))
(Layout Buttons (Components (PushButton Cancel) (PushButton Go))
  (Resources (Cancel.Label "Cancel") (Go.Label "Go") (Go.Enabled False) (Go.BackgroundColor 190 190 190))
  (Layout (Row Cancel Go)))
)";

DialogLayout laidOut(const std::string& resourceText) {
  DialogResource resource = parseDialogResource(resourceText);
  DialogView view;
  view.dialog = resource.name;
  view.title = resource.title;
  view.components = resource.components;
  return layoutDialog(view, FixedMetrics());
}

TEST(DialogLayout, PlacesWhatIsShownRowByRowAndLeavesHiddenLayoutsOut) {
  const DialogLayout layout = laidOut(kDetails);
  EXPECT_EQ(layout.title, "Model details");
  EXPECT_EQ(layout.texts(), (std::vector<std::string>{"Bracket\nchecked", "Name:", "bracket.prt", "Size of the file:",
                                                      "5 KB", "A much longer item", "Cancel", "Go"}));
  for (const char* hidden : {"Kept", "KeptText", "Dropped", "DroppedText"}) EXPECT_EQ(layout.find(hidden), nullptr);
  ASSERT_NE(layout.find("Facts"), nullptr);

  const Box body{0, layout.titleBar.bottom(), layout.size.width, layout.size.height - layout.titleBar.height};
  for (const PlacedComponent& component : layout.components) {
    SCOPED_TRACE(component.name);
    EXPECT_TRUE(body.contains(component.box));
    EXPECT_TRUE(component.text.empty() || component.box.contains(component.textBox));
    for (const PlacedComponent& other : layout.components)
      EXPECT_FALSE(&other != &component && other.parent == component.parent && component.box.overlaps(other.box))
          << other.name;
  }
  EXPECT_FALSE(layout.titleText.overlaps(layout.closeControl));
  EXPECT_LE(layout.closeControl.right(), layout.size.width);

  // The image sits left of the two lines of text, at its own size.
  const PlacedComponent& heading = *layout.find("Heading");
  EXPECT_EQ(heading.imageBox.width, 24);
  EXPECT_EQ(heading.textBox.height, 32);
  EXPECT_LT(heading.imageBox.right(), heading.textBox.x);
}

TEST(DialogLayout, GridColumnsLineUpAndTheHiddenLayoutThatKeepsItsSpaceLeavesAGap) {
  const DialogLayout layout = laidOut(kDetails);
  EXPECT_EQ(layout.find("Name")->box.x, layout.find("Size")->box.x);
  EXPECT_GT(layout.find("Name")->box.x, layout.find("SizeCaption")->box.right());

  // Between the facts and the menu: the kept warning's line, not the dropped one's.
  const double gap = layout.find("Pick")->box.y - layout.find("Facts")->box.bottom();
  EXPECT_GT(gap, 16);
  EXPECT_LT(gap, 3 * 16);
}

TEST(DialogLayout, ButtonsSitAtTheRightWithTheirStateAndMenusShowTheirSelection) {
  const DialogLayout layout = laidOut(kDetails);
  const PlacedComponent& go = *layout.find("Go");
  const PlacedComponent& cancel = *layout.find("Cancel");
  EXPECT_FALSE(go.enabled);
  EXPECT_EQ(go.color, (Rgb{190, 190, 190}));
  EXPECT_TRUE(cancel.enabled);
  EXPECT_LT(cancel.box.right(), go.box.x);
  EXPECT_EQ(go.box.right(), layout.find("Buttons")->box.right());
  EXPECT_EQ(layout.find("Buttons")->box.right(), layout.find("Facts")->box.right());

  const PlacedComponent& pick = *layout.find("Pick");
  EXPECT_EQ(pick.text, "A much longer item");
  EXPECT_GE(pick.box.width, 7.0 * pick.text.size());  // wide enough for its longest item, with the arrow
}

}  // namespace
}  // namespace creosim
