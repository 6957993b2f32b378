// Where each component of a dialog sits when it is drawn: the title bar, then
// the dialog's rows, each row's components side by side, a sub-layout's rows
// inside the space it takes. Only what a user sees is placed: hidden
// components and everything inside a hidden layout are left out; a hidden
// layout that reserves its space leaves an empty gap of its size.
//
// A layout whose rows all hold the same number of components (more than one)
// is a grid: its columns line up, so captions and values read as a table. A row
// of push buttons only sits at the right edge, where dialogs keep their
// buttons; a sub-layout alone in its row takes the row's whole width.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dialog_resource.h"
#include "dialog_view.h"

namespace creosim {

struct Size {
  double width = 0;
  double height = 0;
};

struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  double right() const { return x + width; }
  double bottom() const { return y + height; }
  bool overlaps(const Box& other) const;
  bool contains(const Box& inner) const;
};

// How big texts and images come out; the drawing code measures with the fonts
// and image files it draws with.
class PictureMetrics {
 public:
  virtual ~PictureMetrics() = default;
  // A text of one or more "\n"-separated lines.
  virtual Size textSize(const std::string& text) const = 0;
  // An image of the text folder, by file name, at its own size.
  virtual Size imageSize(const std::string& image) const = 0;
};

struct PlacedComponent {
  ComponentKind kind = ComponentKind::Label;
  std::string name;
  std::string parent;
  Box box;
  std::string text;   // a label's or button's text, an option menu's selected item
  std::string image;  // a label's image
  Box textBox;        // where the text sits (empty width when there is none)
  Box imageBox;
  bool enabled = true;
  std::optional<Rgb> color;
};

struct DialogLayout {
  std::string dialog;
  std::string title;
  Size size;     // the whole picture, title bar included
  Box titleBar;  // with the title's text and the close control
  Box titleText;
  Box closeControl;
  std::vector<PlacedComponent> components;  // what is drawn, in display order; shown layouts too

  const PlacedComponent* find(const std::string& name) const;
  // The texts of shown labels, buttons and option menus, in display order:
  // row by row, left to right within a row.
  std::vector<std::string> texts() const;
};

DialogLayout layoutDialog(const DialogView& view, const PictureMetrics& metrics);

}  // namespace creosim
