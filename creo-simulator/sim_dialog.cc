#include "sim_dialog.h"

#include <algorithm>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "sim_text.h"

namespace creosim {

namespace {

// The common part of every handle: which dialog and component it names. Each
// call finds the component again, so a handle of a destroyed dialog throws.
class ComponentHandle : public virtual uifcComponent {
 public:
  ComponentHandle(std::shared_ptr<SimDialog> dialog, std::string component, ComponentKind kind)
      : dialog_(std::move(dialog)), component_(std::move(component)), kind_(kind) {}

  xstring GetDialog() override {
    dialog_->faults().check("uifcComponent::GetDialog");
    return xstringOf(dialog_->name());
  }
  xstring GetComponent() override {
    dialog_->faults().check("uifcComponent::GetComponent");
    return xstringOf(component_);
  }
  void SetVisible(xbool visible) override { content("uifcComponent::SetVisible").visible = visible; }
  xbool GetVisible() override { return content("uifcComponent::GetVisible").visible; }

 protected:
  ComponentContent& content(const char* operation) {
    dialog_->faults().check(operation);
    return dialog_->component(component_, kind_, operation);
  }
  std::shared_ptr<SimDialog> dialog_;
  std::string component_;
  ComponentKind kind_;
};

class LabelHandle : public ComponentHandle, public uifcLabel {
 public:
  LabelHandle(std::shared_ptr<SimDialog> dialog, std::string component)
      : ComponentHandle(std::move(dialog), std::move(component), ComponentKind::Label) {}
  void SetText(xrstring text) override { content("uifcLabel::SetText").text = textOf(text); }
  // Like Creo, an image that is not in the add-in's text folder is refused and the label keeps its old one.
  void SetImage(xrstring imageFile) override {
    ComponentContent& label = content("uifcLabel::SetImage");
    if (!textFolderHoldsImage(dialog_->text(), textOf(imageFile))) throw new pfcXToolkitNotFound("uifcLabel::SetImage");
    label.image = textOf(imageFile);
  }
};

class PushButtonHandle : public ComponentHandle, public uifcPushButton {
 public:
  PushButtonHandle(std::shared_ptr<SimDialog> dialog, std::string component)
      : ComponentHandle(std::move(dialog), std::move(component), ComponentKind::PushButton) {}
  void SetText(xrstring text) override { content("uifcPushButton::SetText").text = textOf(text); }
  void SetEnabled(xbool enabled) override { content("uifcPushButton::SetEnabled").enabled = enabled; }
  void SetBackgroundColor(const uifcColor_ptr& color) override {
    ComponentContent& button = content("uifcPushButton::SetBackgroundColor");
    if (!color) throw new pfcXToolkitBadContext("uifcPushButton::SetBackgroundColor");
    button.color = Rgb{color->GetRed(), color->GetGreen(), color->GetBlue()};
  }
  void AddActionListener(uifcPushButtonListener* listener) override {
    content("uifcPushButton::AddActionListener");
    dialog_->buttonListeners[component_].push_back(listener);
  }
};

class LayoutHandle : public ComponentHandle, public uifcLayout {
 public:
  LayoutHandle(std::shared_ptr<SimDialog> dialog, std::string component)
      : ComponentHandle(std::move(dialog), std::move(component), ComponentKind::Layout) {}
  void SetDoesReserveSpace(xbool reserve) override {
    content("uifcLayout::SetDoesReserveSpace").reservesSpace = reserve;
  }
};

class OptionMenuHandle : public ComponentHandle, public uifcOptionMenu {
 public:
  OptionMenuHandle(std::shared_ptr<SimDialog> dialog, std::string component)
      : ComponentHandle(std::move(dialog), std::move(component), ComponentKind::OptionMenu) {}
  // New items keep the selection when it is still among them, else the first item is selected.
  void SetItemNameArray(const xstringsequence_ptr& names) override {
    ComponentContent& menu = content("uifcOptionMenu::SetItemNameArray");
    menu.itemNames = textsOf(names);
    bool kept = !menu.selectedNames.empty();
    for (const std::string& selected : menu.selectedNames)
      kept = kept && std::find(menu.itemNames.begin(), menu.itemNames.end(), selected) != menu.itemNames.end();
    if (!kept) menu.selectedNames = menu.itemNames.empty() ? std::vector<std::string>{} : std::vector{menu.itemNames[0]};
  }
  void SetItemLabelArray(const xstringsequence_ptr& labels) override {
    content("uifcOptionMenu::SetItemLabelArray").itemLabels = textsOf(labels);
  }
  xstringsequence_ptr GetSelectedItemNameArray() override {
    return xstringsOf(content("uifcOptionMenu::GetSelectedItemNameArray").selectedNames);
  }
  void AddActionListener(uifcOptionMenuListener* listener) override {
    content("uifcOptionMenu::AddActionListener");
    dialog_->menuListeners[component_].push_back(listener);
  }
};

class DialogHandle : public uifcDialog {
 public:
  explicit DialogHandle(std::shared_ptr<SimDialog> dialog) : dialog_(std::move(dialog)) {}
  xstring GetDialog() override {
    dialog_->faults().check("uifcComponent::GetDialog");
    return xstringOf(dialog_->name());
  }
  xstring GetComponent() override {
    dialog_->faults().check("uifcComponent::GetComponent");
    return xstringOf(dialog_->name());
  }
  void SetVisible(xbool) override { alive("uifcComponent::SetVisible"); }
  xbool GetVisible() override {
    alive("uifcComponent::GetVisible");
    return true;
  }
  void AddActionListener(uifcDialogListener* listener) override {
    alive("uifcDialog::AddActionListener");
    dialog_->dialogListeners.push_back(listener);
  }
  void SetDialogStyle(uifcCore::DialogStyle style) override {
    alive("uifcDialog::SetDialogStyle");
    dialog_->content().style = style;
  }

 private:
  void alive(const char* operation) {
    dialog_->faults().check(operation);
    dialog_->checkAlive(operation);
  }
  std::shared_ptr<SimDialog> dialog_;
};

}  // namespace

SimDialog::SimDialog(std::string name, DialogResource resource, TextFolder text, FaultInjector& faults)
    : name_(std::move(name)),
      resource_(std::move(resource)),
      text_(std::move(text)),
      faults_(faults) {}

void SimDialog::checkAlive(const char* operation) const {
  if (destroyed) throw new pfcXToolkitNotFound(operation);
}

ComponentContent& SimDialog::component(const std::string& name, ComponentKind kind, const char* operation) {
  checkAlive(operation);
  ComponentContent* content = resource_.find(name);
  if (!content || content->kind != kind) throw new pfcXToolkitNotFound(operation);
  return *content;
}

DialogView SimDialog::view() const {
  DialogView view;
  view.dialog = name_;
  view.title = resource_.title;
  view.waitsForUser = waitsForUser();
  view.components = resource_.components;
  return view;
}

uifcDialog_ptr SimDialog::dialogHandle() { return new DialogHandle(shared_from_this()); }

uifcLabel_ptr SimDialog::labelHandle(const std::string& component) {
  this->component(component, ComponentKind::Label, "uifcLabelFind");
  return new LabelHandle(shared_from_this(), component);
}

uifcPushButton_ptr SimDialog::pushButtonHandle(const std::string& component) {
  this->component(component, ComponentKind::PushButton, "uifcPushButtonFind");
  return new PushButtonHandle(shared_from_this(), component);
}

uifcLayout_ptr SimDialog::layoutHandle(const std::string& component) {
  this->component(component, ComponentKind::Layout, "uifcLayoutFind");
  return new LayoutHandle(shared_from_this(), component);
}

uifcOptionMenu_ptr SimDialog::optionMenuHandle(const std::string& component) {
  this->component(component, ComponentKind::OptionMenu, "uifcOptionMenuFind");
  return new OptionMenuHandle(shared_from_this(), component);
}

}  // namespace creosim
