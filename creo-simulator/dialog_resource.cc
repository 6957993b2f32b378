// The resource dialect, a small form of the parenthesised syntax Creo reads:
//
//   ! a comment runs to the end of the line
//   (Dialog Start
//     (Components (Label Title) (PushButton LoginButton) (SubLayout Footer))
//     (Resources
//       (.Label "Sign in to Tavix")        ! the dialog's own title
//       (.DialogStyle Modal)               ! Modal Modeless ToolbarPopup Popup Working
//       (Title.Label "Welcome")            ! text of a label or push button
//       (LoginButton.Label "Continue"))
//     (Layout (Row Title) (Row LoginButton) (Row Footer)))
//   (Layout Footer
//     (Components (Label IntegrationVersionLabel))
//     (Resources (IntegrationVersionLabel.Label "Version")))
//
// One Dialog block per file, named as the file. Each SubLayout a block declares
// is defined by a Layout block of the same name, used once. A block's Resources
// address the components it declares; only the Dialog block has its own (".x")
// attributes. Its Layout section places every declared component exactly once,
// in rows; without one, each component has a row of its own. Component names
// are unique across the dialog. Strings are double-quoted with \" \\ and \n.
//
// Attributes by kind: Label: Label, Image, Visible. PushButton: Label, Visible,
// Enabled, BackgroundColor r g b. SubLayout: Visible, ReserveSpace. OptionMenu:
// Names..., Labels..., SelectedNames..., Visible, Enabled. Booleans are True or
// False.
#include "dialog_resource.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace creosim {

namespace {

struct Node {
  bool isList = false;
  bool quoted = false;
  std::string atom;
  std::vector<Node> items;
  int line = 0;
};

[[noreturn]] void fail(int line, const std::string& what) {
  throw DialogResourceError("line " + std::to_string(line) + ": " + what);
}

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::vector<Node> readAll() {
    std::vector<Node> nodes;
    while (skipBlanks()) nodes.push_back(readNode());
    return nodes;
  }

 private:
  // False at the end of the text.
  bool skipBlanks() {
    while (pos_ < text_.size()) {
      char c = text_[pos_];
      if (c == '\n') {
        ++line_;
        ++pos_;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++pos_;
      } else if (c == '!') {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
      } else {
        return true;
      }
    }
    return false;
  }

  Node readNode(int depth = 1) {
    Node node;
    node.line = line_;
    char c = text_[pos_];
    if (c == ')') fail(line_, "unexpected ')'");
    if (c == '(') {
      // The dialect needs four levels; a file nested without end would
      // exhaust the stack of this recursive reader.
      if (depth > kDeepestNesting) fail(line_, "lists nested too deeply");
      ++pos_;
      node.isList = true;
      for (;;) {
        if (!skipBlanks()) fail(node.line, "'(' is never closed");
        if (text_[pos_] == ')') {
          ++pos_;
          return node;
        }
        node.items.push_back(readNode(depth + 1));
      }
    }
    if (c == '"') return readString(node);
    while (pos_ < text_.size() && !isDelimiter(text_[pos_])) node.atom += text_[pos_++];
    return node;
  }

  Node readString(Node& node) {
    node.quoted = true;
    ++pos_;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      char c = text_[pos_++];
      if (c == '\n') fail(node.line, "string runs past the end of the line");
      if (c == '\\') {
        if (pos_ >= text_.size()) break;
        char escaped = text_[pos_++];
        if (escaped == 'n') c = '\n';
        else if (escaped == '"' || escaped == '\\') c = escaped;
        else fail(node.line, std::string("unknown escape \\") + escaped);
      }
      node.atom += c;
    }
    if (pos_ >= text_.size()) fail(node.line, "string is never closed");
    ++pos_;
    return node;
  }

  static bool isDelimiter(char c) {
    return c == '(' || c == ')' || c == '"' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '!';
  }

  static constexpr int kDeepestNesting = 32;
  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
};

const std::string& atomOf(const Node& node, const char* what) {
  if (node.isList || node.quoted || node.atom.empty()) fail(node.line, std::string("expected ") + what);
  return node.atom;
}

const std::string& headOf(const Node& list) {
  if (!list.isList || list.items.empty()) fail(list.line, "expected a parenthesised entry");
  return atomOf(list.items[0], "an entry name");
}

struct Declared {
  ComponentKind kind;
  std::string name;
  int line;
};

struct Block {
  bool isDialog = false;
  std::string name;
  int line = 0;
  std::vector<Declared> components;
  std::vector<const Node*> resources;
  std::vector<std::vector<const Node*>> rows;
  bool hasLayout = false;
};

ComponentKind kindNamed(const Node& node) {
  const std::string& kind = atomOf(node, "a component kind");
  if (kind == "Label") return ComponentKind::Label;
  if (kind == "PushButton") return ComponentKind::PushButton;
  if (kind == "SubLayout") return ComponentKind::Layout;
  if (kind == "OptionMenu") return ComponentKind::OptionMenu;
  fail(node.line, "unknown component kind " + kind);
}

Block readBlock(const Node& node) {
  Block block;
  block.isDialog = headOf(node) == "Dialog";
  block.line = node.line;
  if (node.items.size() < 2) fail(node.line, "a block needs a name");
  block.name = atomOf(node.items[1], "a block name");
  for (size_t i = 2; i < node.items.size(); ++i) {
    const Node& section = node.items[i];
    const std::string& head = headOf(section);
    if (head == "Components") {
      for (size_t j = 1; j < section.items.size(); ++j) {
        const Node& entry = section.items[j];
        if (!entry.isList || entry.items.size() != 2) fail(entry.line, "expected (Kind Name)");
        const std::string& name = atomOf(entry.items[1], "a component name");
        // Resources address a component as Name.Attribute: a name with a dot could never be addressed.
        if (name.find('.') != std::string::npos) fail(entry.line, "a component name holds no '.': " + name);
        block.components.push_back({kindNamed(entry.items[0]), name, entry.line});
      }
    } else if (head == "Resources") {
      for (size_t j = 1; j < section.items.size(); ++j) {
        headOf(section.items[j]);
        block.resources.push_back(&section.items[j]);
      }
    } else if (head == "Layout") {
      block.hasLayout = true;
      for (size_t j = 1; j < section.items.size(); ++j) {
        const Node& row = section.items[j];
        if (headOf(row) != "Row" || row.items.size() < 2) fail(row.line, "expected (Row Name...)");
        std::vector<const Node*> names;
        for (size_t k = 1; k < row.items.size(); ++k) names.push_back(&row.items[k]);
        block.rows.push_back(std::move(names));
      }
    } else {
      fail(section.line, "unknown section " + head);
    }
  }
  return block;
}

bool booleanOf(const Node& node) {
  const std::string& value = atomOf(node, "True or False");
  if (value == "True") return true;
  if (value == "False") return false;
  fail(node.line, "expected True or False, found " + value);
}

uifcCore::DialogStyle styleOf(const Node& node) {
  static const std::map<std::string, uifcCore::DialogStyle> styles = {
      {"Modal", uifcCore::DialogStyle::Modal},
      {"Modeless", uifcCore::DialogStyle::Modeless},
      {"ToolbarPopup", uifcCore::DialogStyle::ToolbarPopup},
      {"Popup", uifcCore::DialogStyle::Popup},
      {"Working", uifcCore::DialogStyle::Working},
  };
  auto it = styles.find(atomOf(node, "a dialog style"));
  if (it == styles.end()) fail(node.line, "unknown dialog style " + node.atom);
  return it->second;
}

int colourOf(const Node& node) {
  const std::string& text = atomOf(node, "a colour value");
  int value = -1;
  std::istringstream in(text);
  in >> value;
  if (!in.eof() || value < 0 || value > 255) fail(node.line, "colour values run from 0 to 255");
  return value;
}

std::vector<std::string> stringsOf(const std::vector<Node>& values) {
  std::vector<std::string> strings;
  for (size_t i = 1; i < values.size(); ++i) {
    if (values[i].isList) fail(values[i].line, "expected a string");
    strings.push_back(values[i].atom);
  }
  return strings;
}

const Node& singleValue(const Node& entry) {
  if (entry.items.size() != 2) fail(entry.line, "expected exactly one value");
  return entry.items[1];
}

const std::string& textOf(const Node& entry) {
  const Node& value = singleValue(entry);
  if (value.isList) fail(value.line, "expected a string");
  return value.atom;
}

void applyDialogAttribute(DialogResource& dialog, const std::string& attribute, const Node& entry) {
  if (attribute == "Label") dialog.title = textOf(entry);
  else if (attribute == "DialogStyle") dialog.style = styleOf(singleValue(entry));
  else fail(entry.line, "a dialog has no attribute " + attribute);
}

void applyComponentAttribute(ComponentContent& component, const std::string& attribute, const Node& entry) {
  const ComponentKind kind = component.kind;
  const bool textual = kind == ComponentKind::Label || kind == ComponentKind::PushButton;
  const bool enables = kind == ComponentKind::PushButton || kind == ComponentKind::OptionMenu;
  if (attribute == "Visible") {
    component.visible = booleanOf(singleValue(entry));
  } else if (attribute == "Label" && textual) {
    component.text = textOf(entry);
  } else if (attribute == "Image" && kind == ComponentKind::Label) {
    component.image = textOf(entry);
  } else if (attribute == "Enabled" && enables) {
    component.enabled = booleanOf(singleValue(entry));
  } else if (attribute == "BackgroundColor" && kind == ComponentKind::PushButton) {
    if (entry.items.size() != 4) fail(entry.line, "BackgroundColor takes red, green and blue");
    component.color = Rgb{colourOf(entry.items[1]), colourOf(entry.items[2]), colourOf(entry.items[3])};
  } else if (attribute == "ReserveSpace" && kind == ComponentKind::Layout) {
    component.reservesSpace = booleanOf(singleValue(entry));
  } else if (attribute == "Names" && kind == ComponentKind::OptionMenu) {
    component.itemNames = stringsOf(entry.items);
  } else if (attribute == "Labels" && kind == ComponentKind::OptionMenu) {
    component.itemLabels = stringsOf(entry.items);
  } else if (attribute == "SelectedNames" && kind == ComponentKind::OptionMenu) {
    component.selectedNames = stringsOf(entry.items);
  } else {
    fail(entry.line, std::string("a ") + componentKindName(kind) + " has no attribute " + attribute);
  }
}

class Assembler {
 public:
  explicit Assembler(std::vector<Block> blocks) {
    for (Block& block : blocks) {
      if (block.isDialog) {
        if (dialogBlock_) fail(block.line, "a second Dialog block: " + block.name);
        dialogBlock_ = block.name;
      }
      std::string name = block.name;
      int line = block.line;
      if (!blocks_.emplace(name, std::move(block)).second) fail(line, "block defined twice: " + name);
    }
  }

  DialogResource assemble() {
    if (!dialogBlock_) fail(1, "no Dialog block");
    DialogResource dialog;
    dialog.name = *dialogBlock_;
    placeBlock(blocks_.at(*dialogBlock_), "", dialog);
    for (const auto& [name, block] : blocks_)
      if (!used_.count(name)) fail(block.line, "Layout block " + name + " is not used by any SubLayout");
    for (const auto& [name, block] : blocks_) applyResources(block, dialog);
    // An option menu shows its first item until something else is selected.
    for (ComponentContent& component : dialog.components)
      if (component.kind == ComponentKind::OptionMenu && component.selectedNames.empty() && !component.itemNames.empty())
        component.selectedNames = {component.itemNames[0]};
    return dialog;
  }

 private:
  void placeBlock(const Block& block, const std::string& parent, DialogResource& dialog) {
    used_.insert(block.name);
    std::map<std::string, const Declared*> declared;
    for (const Declared& component : block.components) {
      if (!names_.insert(component.name).second || component.name == dialog.name)
        fail(component.line, "component name used twice: " + component.name);
      declared[component.name] = &component;
    }
    std::vector<std::vector<const Declared*>> rows;
    if (block.hasLayout) {
      std::set<std::string> placed;
      for (const auto& row : block.rows) {
        rows.emplace_back();
        for (const Node* name : row) {
          auto it = declared.find(atomOf(*name, "a component name"));
          if (it == declared.end()) fail(name->line, "layout places an undeclared component: " + name->atom);
          if (!placed.insert(name->atom).second) fail(name->line, "layout places a component twice: " + name->atom);
          rows.back().push_back(it->second);
        }
      }
      for (const Declared& component : block.components)
        if (!placed.count(component.name)) fail(component.line, "layout never places " + component.name);
    } else {
      for (const Declared& component : block.components) rows.push_back({&component});
    }
    for (size_t row = 0; row < rows.size(); ++row) {
      for (const Declared* component : rows[row]) {
        ComponentContent content;
        content.kind = component->kind;
        content.name = component->name;
        content.parent = parent;
        content.row = static_cast<int>(row);
        dialog.components.push_back(std::move(content));
        if (component->kind != ComponentKind::Layout) continue;
        auto sub = blocks_.find(component->name);
        if (sub == blocks_.end() || sub->second.isDialog)
          fail(component->line, "no Layout block defines " + component->name);
        placeBlock(sub->second, component->name, dialog);
      }
    }
  }

  void applyResources(const Block& block, DialogResource& dialog) {
    for (const Node* entry : block.resources) {
      const std::string& key = entry->items[0].atom;
      size_t dot = key.find('.');
      if (dot == std::string::npos || dot + 1 == key.size()) fail(entry->line, "expected Name.Attribute: " + key);
      std::string target = key.substr(0, dot);
      std::string attribute = key.substr(dot + 1);
      if (target.empty()) {
        if (!block.isDialog) fail(entry->line, "only the Dialog block has attributes of its own");
        applyDialogAttribute(dialog, attribute, *entry);
        continue;
      }
      ComponentContent* component = dialog.find(target);
      const std::string owner = block.isDialog ? std::string() : block.name;
      if (!component || component->parent != owner)
        fail(entry->line, "resource names a component this block does not declare: " + target);
      applyComponentAttribute(*component, attribute, *entry);
    }
  }

  std::map<std::string, Block> blocks_;
  std::optional<std::string> dialogBlock_;
  std::set<std::string> used_;
  std::set<std::string> names_;
};

}  // namespace

const char* componentKindName(ComponentKind kind) {
  switch (kind) {
    case ComponentKind::Label: return "Label";
    case ComponentKind::PushButton: return "PushButton";
    case ComponentKind::Layout: return "SubLayout";
    case ComponentKind::OptionMenu: return "OptionMenu";
  }
  return "?";
}

ComponentContent* DialogResource::find(std::string_view component) {
  for (ComponentContent& content : components)
    if (content.name == component) return &content;
  return nullptr;
}

const ComponentContent* DialogResource::find(std::string_view component) const {
  return const_cast<DialogResource*>(this)->find(component);
}

DialogResource parseDialogResource(std::string_view text) {
  std::vector<Node> nodes = Reader(text).readAll();
  std::vector<Block> blocks;
  for (const Node& node : nodes) {
    const std::string& head = headOf(node);
    if (head != "Dialog" && head != "Layout") fail(node.line, "expected (Dialog ...) or (Layout ...), found " + head);
    blocks.push_back(readBlock(node));
  }
  return Assembler(std::move(blocks)).assemble();
}

std::optional<DialogResource> loadDialogResource(const TextFolder& textFolder, const std::string& resourceName) {
  if (resourceName.empty() || resourceName.find('.') != std::string::npos) return std::nullopt;
  const std::optional<std::filesystem::path> file = textFolder.resourceFile(resourceName + ".res");
  if (!file) return std::nullopt;
  std::ifstream in(*file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  DialogResource resource = parseDialogResource(text.str());
  if (resource.name != resourceName)
    throw DialogResourceError("defines the dialog " + resource.name + " instead of " + resourceName);
  for (const ComponentContent& component : resource.components)
    if (!component.image.empty() && !textFolderHoldsImage(textFolder, component.image))
      throw DialogResourceError("the image " + component.image + " of " + component.name + " is not in the text folder");
  return resource;
}

bool textFolderHoldsImage(const TextFolder& text, const std::string& image) {
  return text.resourceFile(image).has_value();
}

}  // namespace creosim
