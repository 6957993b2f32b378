// Dialog resources as an add-in's text folder may hold them: a file is either
// refused with a DialogResourceError (as Creo refuses it) or read into a dialog
// whose components hang together; printed back in the dialect, it reads into
// the same dialog.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "dialog_resource.h"
#include "fuzz_check.h"

namespace {

using creosim::ComponentContent;
using creosim::ComponentKind;
using creosim::DialogResource;

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') out += "\\n";
    else out += c;
  }
  return out + "\"";
}

std::string quotedList(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& text : texts) out += " " + quoted(text);
  return out;
}

const char* styleName(uifcCore::DialogStyle style) {
  switch (style) {
    case uifcCore::DialogStyle::Modal: return "Modal";
    case uifcCore::DialogStyle::Modeless: return "Modeless";
    case uifcCore::DialogStyle::ToolbarPopup: return "ToolbarPopup";
    case uifcCore::DialogStyle::Popup: return "Popup";
    case uifcCore::DialogStyle::Working: return "Working";
  }
  return "?";
}

std::string resourcesOf(const ComponentContent& c) {
  const std::string key = "\n  (" + c.name + ".";
  std::string out;
  if (!c.text.empty()) out += key + "Label " + quoted(c.text) + ")";
  if (!c.image.empty()) out += key + "Image " + quoted(c.image) + ")";
  if (!c.visible) out += key + "Visible False)";
  if (!c.enabled) out += key + "Enabled False)";
  if (!c.reservesSpace) out += key + "ReserveSpace False)";
  if (c.color) out += key + "BackgroundColor " + std::to_string((*c.color)[0]) + " " + std::to_string((*c.color)[1]) +
                      " " + std::to_string((*c.color)[2]) + ")";
  if (c.kind == ComponentKind::OptionMenu) {
    out += key + "Names" + quotedList(c.itemNames) + ")";
    out += key + "Labels" + quotedList(c.itemLabels) + ")";
    out += key + "SelectedNames" + quotedList(c.selectedNames) + ")";
  }
  return out;
}

// The block of `owner` ("" for the dialog): its components, resources and rows.
std::string blockOf(const DialogResource& dialog, const std::string& owner) {
  std::string components, resources, rows;
  int row = -1;
  for (const ComponentContent& c : dialog.components) {
    if (c.parent != owner) continue;
    components += std::string(" (") + creosim::componentKindName(c.kind) + " " + c.name + ")";
    resources += resourcesOf(c);
    rows += c.row == row ? " " + c.name : std::string(row < 0 ? "" : ")") + " (Row " + c.name;
    row = c.row;
  }
  if (owner.empty())
    resources += "\n  (.Label " + quoted(dialog.title) + ") (.DialogStyle " + styleName(dialog.style) + ")";
  std::string block = "(" + std::string(owner.empty() ? "Dialog " + dialog.name : "Layout " + owner) +
                      "\n (Components" + components + ")\n (Resources" + resources + ")";
  if (row >= 0) block += "\n (Layout" + rows + "))";
  return block + ")\n";
}

std::string printed(const DialogResource& dialog) {
  std::string text = "! printed back\n" + blockOf(dialog, "");
  for (const ComponentContent& c : dialog.components)
    if (c.kind == ComponentKind::Layout) text += blockOf(dialog, c.name);
  return text;
}

bool same(const ComponentContent& a, const ComponentContent& b) {
  return a.kind == b.kind && a.name == b.name && a.parent == b.parent && a.row == b.row && a.text == b.text &&
         a.image == b.image && a.visible == b.visible && a.enabled == b.enabled &&
         a.reservesSpace == b.reservesSpace && a.color == b.color && a.itemNames == b.itemNames &&
         a.itemLabels == b.itemLabels && a.selectedNames == b.selectedNames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DialogResource dialog;
  try {
    dialog = creosim::parseDialogResource(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const creosim::DialogResourceError&) {
    return 0;
  }
  FUZZ_CHECK(!dialog.name.empty());
  std::set<std::string> seen;
  std::set<std::string> layouts;
  for (const ComponentContent& c : dialog.components) {
    FUZZ_CHECK(!c.name.empty() && c.name != dialog.name && seen.insert(c.name).second);
    FUZZ_CHECK(c.parent.empty() || layouts.count(c.parent) == 1);
    if (c.kind == ComponentKind::Layout) layouts.insert(c.name);
    if (c.color) for (int channel : *c.color) FUZZ_CHECK(channel >= 0 && channel <= 255);
    if (!c.itemNames.empty()) FUZZ_CHECK(!c.selectedNames.empty());
  }
  const DialogResource again = creosim::parseDialogResource(printed(dialog));
  FUZZ_CHECK(again.name == dialog.name && again.title == dialog.title && again.style == dialog.style);
  FUZZ_CHECK(again.components.size() == dialog.components.size());
  for (size_t i = 0; i < dialog.components.size(); ++i) FUZZ_CHECK(same(again.components[i], dialog.components[i]));
  return 0;
}
