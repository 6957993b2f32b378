#include "dialog_view.h"

#include <sstream>

namespace creosim {

namespace {

std::string renderComponent(const ComponentContent& component) {
  std::string piece;
  switch (component.kind) {
    case ComponentKind::Label:
      if (!component.image.empty()) piece = "[image " + component.image + "]";
      if (!component.text.empty()) piece += (piece.empty() ? "" : " ") + component.text;
      break;
    case ComponentKind::PushButton:
      piece = "[" + component.text + (component.enabled ? "" : " (disabled)");
      if (const std::optional<Rgb>& colour = component.color)
        piece += " rgb(" + std::to_string((*colour)[0]) + "," + std::to_string((*colour)[1]) + "," +
                 std::to_string((*colour)[2]) + ")";
      piece += "]";
      break;
    case ComponentKind::OptionMenu: {
      piece = "<" + selectedItemLabel(component) + " v>";
      if (!component.enabled) piece += " (disabled)";
      break;
    }
    case ComponentKind::Layout:
      break;
  }
  return piece;
}

}  // namespace

std::string selectedItemLabel(const ComponentContent& menu) {
  if (menu.selectedNames.empty()) return "";
  const std::string& name = menu.selectedNames[0];
  for (size_t i = 0; i < menu.itemNames.size(); ++i)
    if (menu.itemNames[i] == name) return i < menu.itemLabels.size() ? menu.itemLabels[i] : name;
  return name;
}

const ComponentContent* DialogView::component(const std::string& name) const {
  for (const ComponentContent& content : components)
    if (content.name == name) return &content;
  return nullptr;
}

bool DialogView::isShown(const std::string& name) const {
  for (const ComponentContent* content = component(name); content; content = component(content->parent)) {
    if (!content->visible) return false;
    if (content->parent.empty()) return true;
  }
  return false;
}

bool DialogView::showsText(const std::string& text) const {
  for (const ComponentContent& content : components)
    if (content.text == text && isShown(content.name)) return true;
  return false;
}

std::string DialogView::text(const std::string& name) const {
  const ComponentContent* content = component(name);
  return content ? content->text : std::string();
}

std::string DialogView::image(const std::string& name) const {
  const ComponentContent* content = component(name);
  return content ? content->image : std::string();
}

std::vector<std::string> DialogView::shownButtons() const {
  std::vector<std::string> buttons;
  for (const ComponentContent& content : components)
    if (content.kind == ComponentKind::PushButton && isShown(content.name)) buttons.push_back(content.text);
  return buttons;
}

std::string DialogView::render() const {
  std::ostringstream out;
  out << "+-- " << title << " (" << dialog << ")\n";
  std::string line;
  const ComponentContent* lineStart = nullptr;
  auto flush = [&] {
    if (line.empty()) return;
    for (size_t at = line.find('\n'); at != std::string::npos; at = line.find('\n', at + 3)) line.replace(at, 1, "\n|  ");
    out << "|  " << line << "\n";
    line.clear();
  };
  for (const ComponentContent& content : components) {
    if (!content.parent.empty() && !isShown(content.parent)) continue;
    if (!lineStart || lineStart->parent != content.parent || lineStart->row != content.row) {
      flush();
      lineStart = &content;
    }
    if (content.kind == ComponentKind::Layout && !content.visible) {
      flush();
      if (content.reservesSpace) out << "|\n";
      continue;
    }
    if (!content.visible) continue;
    std::string piece = renderComponent(content);
    if (piece.empty()) continue;
    line += (line.empty() ? "" : "  ") + piece;
  }
  flush();
  out << "+--\n";
  return out.str();
}

}  // namespace creosim
