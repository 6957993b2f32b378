#include "ui/ui_facade.h"

UifcFacade& uiFacade() {
  static UifcFacade facade;
  return facade;
}

void UifcFacade::CreateDialog(const std::string& dialog, const std::string& resource) {
  uifcCreateDialog(dialog, resource);
}

int UifcFacade::ActivateDialog(const std::string& dialog) { return uifcActivateDialog(dialog); }

void UifcFacade::DestroyDialog(const std::string& dialog) { uifcDestroyDialog(dialog); }

void UifcFacade::ExitOwningDialog(uifcComponent& component, int status) {
  uifcExitDialog(component.GetDialog(), status);
}

void UifcFacade::ExitDialog(const std::string& dialog, int status) { uifcExitDialog(dialog, status); }

// A dialog is found as a component of itself.
void UifcFacade::AddDialogListener(const std::string& dialog, uifcDialogListener* listener) {
  uifcDialogFind(dialog, dialog)->AddActionListener(listener);
}

void UifcFacade::AddPushButtonListener(const std::string& dialog, const std::string& component,
                                       uifcPushButtonListener* listener) {
  uifcPushButtonFind(dialog, component)->AddActionListener(listener);
}

void UifcFacade::AddOptionMenuListener(const std::string& dialog, const std::string& component,
                                       uifcOptionMenuListener* listener) {
  uifcOptionMenuFind(dialog, component)->AddActionListener(listener);
}

void UifcFacade::SetDialogStyle(const std::string& dialog, uifcCore::DialogStyle style) {
  uifcDialogFind(dialog, dialog)->SetDialogStyle(style);
}

void UifcFacade::SetLayoutVisible(const std::string& dialog, const std::string& layout, bool visible) {
  uifcLayoutFind(dialog, layout)->SetVisible(visible);
}

// Space first, then visibility: a hidden layout leaves no gap, a shown one takes its space back.
void UifcFacade::ShowLayout(const std::string& dialog, const std::string& layout, bool shown) {
  uifcLayout_ptr found = uifcLayoutFind(dialog, layout);
  found->SetDoesReserveSpace(shown);
  found->SetVisible(shown);
}

void UifcFacade::SetLabelText(const std::string& dialog, const std::string& label, const std::string& text) {
  uifcLabelFind(dialog, label)->SetText(text);
}

void UifcFacade::SetButtonText(const std::string& dialog, const std::string& button, const std::string& text) {
  uifcPushButtonFind(dialog, button)->SetText(text);
}

void UifcFacade::SetButtonVisible(const std::string& dialog, const std::string& button, bool visible) {
  uifcPushButtonFind(dialog, button)->SetVisible(visible);
}

void UifcFacade::SetButtonEnabled(const std::string& dialog, const std::string& button, bool enabled) {
  uifcPushButtonFind(dialog, button)->SetEnabled(enabled);
}

void UifcFacade::SetButtonColor(const std::string& dialog, const std::string& button, int red, int green, int blue) {
  uifcPushButtonFind(dialog, button)->SetBackgroundColor(uifcColor::Create(red, green, blue));
}

void UifcFacade::SetLabelImage(const std::string& dialog, const std::string& label, const std::string& image) {
  uifcLabelFind(dialog, label)->SetImage(image);
}

void UifcFacade::SetOptionMenuItems(const std::string& dialog, const std::string& menu,
                                    const std::vector<std::string>& names, const std::vector<std::string>& labels) {
  uifcOptionMenu_ptr found = uifcOptionMenuFind(dialog, menu);
  found->SetItemNameArray(std::make_shared<xstringsequence>(names));
  found->SetItemLabelArray(std::make_shared<xstringsequence>(labels));
}

std::vector<std::string> UifcFacade::GetSelectedOptionMenuItems(const std::string& dialog, const std::string& menu) {
  xstringsequence_ptr selected = uifcOptionMenuFind(dialog, menu)->GetSelectedItemNameArray();
  return selected ? selected->items() : std::vector<std::string>{};
}
