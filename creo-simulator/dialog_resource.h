// A dialog resource as Creo reads it from the add-in's text folder: the dialog,
// its components with their kinds, their initial texts and images, and the
// sub-layouts that hold components of their own.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "host/uifc.h"
#include "text_folder.h"

namespace creosim {

enum class ComponentKind { Label, PushButton, Layout, OptionMenu };
const char* componentKindName(ComponentKind kind);  // as written in a resource, e.g. "PushButton"

using Rgb = std::array<int, 3>;

// One component with its current content. The resource gives the initial
// values; the dialog system changes them as the add-in calls the setters.
struct ComponentContent {
  ComponentKind kind = ComponentKind::Label;
  std::string name;
  std::string parent;  // the sub-layout holding it; empty for the dialog itself
  int row = 0;         // components sharing a row of their parent are shown side by side
  std::string text;
  std::string image;
  bool visible = true;
  bool enabled = true;
  bool reservesSpace = true;  // a hidden layout that reserves space leaves a gap
  std::optional<Rgb> color;
  std::vector<std::string> itemNames;
  std::vector<std::string> itemLabels;
  std::vector<std::string> selectedNames;
};

struct DialogResource {
  std::string name;
  std::string title;
  uifcCore::DialogStyle style = uifcCore::DialogStyle::Modal;
  std::vector<ComponentContent> components;  // in display order, a layout before what it holds

  ComponentContent* find(std::string_view component);
  const ComponentContent* find(std::string_view component) const;
};

class DialogResourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws DialogResourceError, naming the line, for text that is not a
// well-formed resource.
DialogResource parseDialogResource(std::string_view text);
// Reads "<resourceName>.res" from the text folder; nullopt when there is no such
// file, DialogResourceError when it is malformed, names another dialog or
// names an image that the text folder does not hold.
std::optional<DialogResource> loadDialogResource(const TextFolder& text, const std::string& resourceName);
// Whether the text folder holds an image of that name; images are named by bare
// file name, never by a path.
bool textFolderHoldsImage(const TextFolder& text, const std::string& image);

}  // namespace creosim
