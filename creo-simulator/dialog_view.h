// What a user sees of one dialog at one moment: its title, and each component
// with its text, image, visibility, enabled state, colour and items.
#pragma once

#include <string>
#include <vector>

#include "dialog_resource.h"

namespace creosim {

// What an option menu shows: the label of its first selected item, empty when none is.
std::string selectedItemLabel(const ComponentContent& menu);

struct DialogView {
  std::string dialog;  // the name the add-in created it under
  std::string title;
  bool waitsForUser = false;
  bool justOpened = false;  // the first time the user sees this dialog
  std::vector<ComponentContent> components;  // in display order

  const ComponentContent* component(const std::string& name) const;
  // Visible itself and inside shown layouts only.
  bool isShown(const std::string& name) const;
  // The text of a label or button; empty when there is no such component.
  std::string text(const std::string& name) const;
  std::string image(const std::string& name) const;
  // Whether a shown component's text is exactly `text`.
  bool showsText(const std::string& text) const;
  // The shown push buttons' texts, in display order.
  std::vector<std::string> shownButtons() const;

  // The dialog as a person at a terminal sees it: title, shown labels, images,
  // buttons (with "(disabled)" and a background colour as "rgb(r,g,b)"), option
  // menus with their selection, and a gap line for a hidden layout that keeps
  // its space.
  std::string render() const;
};

}  // namespace creosim
