#include "ui/ui_facade.h"

#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"

namespace {

// Callers of the facade clean up with catch-alls; a toolkit exception that
// reached one of those would never be released. Each call runs under the
// guard, which releases it and passes the failure on as a value that the
// callers' guards read again.
template <class Call>
void passOn(const Call& call) {
  if (const std::optional<ToolkitError> error = catchToolkitError(call)) rethrowToolkitError(*error);
}

xstringsequence_ptr toXstringSequence(const std::vector<std::string>& texts) {
  xstringsequence_ptr sequence = xstringsequence::create();
  for (const std::string& text : texts) sequence->append(toXstring(text));
  return sequence;
}

}  // namespace

UifcFacade& uiFacade() {
  static UifcFacade facade;
  return facade;
}

void UifcFacade::CreateDialog(const std::string& dialog, const std::string& resource) {
  passOn([&] { uifcCreateDialog(toXstring(dialog), toXstring(resource)); });
}

int UifcFacade::ActivateDialog(const std::string& dialog) {
  int result{};
  passOn([&] { result = uifcActivateDialog(toXstring(dialog)); });
  return result;
}

void UifcFacade::DestroyDialog(const std::string& dialog) {
  passOn([&] { uifcDestroyDialog(toXstring(dialog)); });
}

void UifcFacade::ExitOwningDialog(uifcComponent& component, int status) {
  passOn([&] { uifcExitDialog(component.GetDialog(), status); });
}

void UifcFacade::ExitDialog(const std::string& dialog, int status) {
  passOn([&] { uifcExitDialog(toXstring(dialog), status); });
}

// A dialog is found as a component of itself.
void UifcFacade::AddDialogListener(const std::string& dialog, uifcDialogListener* listener) {
  passOn([&] { uifcDialogFind(toXstring(dialog), toXstring(dialog))->AddActionListener(listener); });
}

void UifcFacade::AddPushButtonListener(const std::string& dialog, const std::string& component,
                                       uifcPushButtonListener* listener) {
  passOn([&] { uifcPushButtonFind(toXstring(dialog), toXstring(component))->AddActionListener(listener); });
}

void UifcFacade::AddOptionMenuListener(const std::string& dialog, const std::string& component,
                                       uifcOptionMenuListener* listener) {
  passOn([&] { uifcOptionMenuFind(toXstring(dialog), toXstring(component))->AddActionListener(listener); });
}

void UifcFacade::SetDialogStyle(const std::string& dialog, uifcCore::DialogStyle style) {
  passOn([&] { uifcDialogFind(toXstring(dialog), toXstring(dialog))->SetDialogStyle(style); });
}

void UifcFacade::SetLayoutVisible(const std::string& dialog, const std::string& layout, bool visible) {
  passOn([&] { uifcLayoutFind(toXstring(dialog), toXstring(layout))->SetVisible(visible); });
}

// Space first, then visibility: a hidden layout leaves no gap, a shown one
// takes its space back.
void UifcFacade::ShowLayout(const std::string& dialog, const std::string& layout, bool shown) {
  passOn([&] {
    uifcLayout_ptr found = uifcLayoutFind(toXstring(dialog), toXstring(layout));
    found->SetDoesReserveSpace(shown);
    found->SetVisible(shown);
  });
}

void UifcFacade::SetLabelText(const std::string& dialog, const std::string& label, const std::string& text) {
  passOn([&] { uifcLabelFind(toXstring(dialog), toXstring(label))->SetText(toXstring(text)); });
}

void UifcFacade::SetButtonText(const std::string& dialog, const std::string& button, const std::string& text) {
  passOn([&] { uifcPushButtonFind(toXstring(dialog), toXstring(button))->SetText(toXstring(text)); });
}

void UifcFacade::SetButtonVisible(const std::string& dialog, const std::string& button, bool visible) {
  passOn([&] { uifcPushButtonFind(toXstring(dialog), toXstring(button))->SetVisible(visible); });
}

void UifcFacade::SetButtonEnabled(const std::string& dialog, const std::string& button, bool enabled) {
  passOn([&] { uifcPushButtonFind(toXstring(dialog), toXstring(button))->SetEnabled(enabled); });
}

void UifcFacade::SetButtonColor(const std::string& dialog, const std::string& button, int red, int green, int blue) {
  passOn([&] { uifcPushButtonFind(toXstring(dialog), toXstring(button))->SetBackgroundColor(uifcColor::Create(red, green, blue)); });
}

void UifcFacade::SetLabelImage(const std::string& dialog, const std::string& label, const std::string& image) {
  passOn([&] { uifcLabelFind(toXstring(dialog), toXstring(label))->SetImage(toXstring(image)); });
}

void UifcFacade::SetOptionMenuItems(const std::string& dialog, const std::string& menu,
                                    const std::vector<std::string>& names, const std::vector<std::string>& labels) {
  passOn([&] {
    uifcOptionMenu_ptr found = uifcOptionMenuFind(toXstring(dialog), toXstring(menu));
    found->SetItemNameArray(toXstringSequence(names));
    found->SetItemLabelArray(toXstringSequence(labels));
  });
}

std::vector<std::string> UifcFacade::GetSelectedOptionMenuItems(const std::string& dialog, const std::string& menu) {
  std::vector<std::string> result;
  passOn([&] {
    xstringsequence_ptr selected = uifcOptionMenuFind(toXstring(dialog), toXstring(menu))->GetSelectedItemNameArray();
    for (xint i = 0; selected && i < selected->getarraysize(); ++i) result.push_back(fromXstring(selected->get(i)));
  });
  return result;
}
