// The facade over the toolkit's uifc layer: each call finds the component by
// dialog and component name, calls one setter and lets the handle go.
#pragma once

#include "ui/ui_facade.h"

class UifcFacade : public IUIFacade {
 public:
  void CreateDialog(const std::string& dialog, const std::string& resource) override;
  int ActivateDialog(const std::string& dialog) override;
  void DestroyDialog(const std::string& dialog) override;
  void ExitOwningDialog(uifcComponent& component, int status) override;
  void ExitDialog(const std::string& dialog, int status) override;
  void AddDialogListener(const std::string& dialog, uifcDialogListener* listener) override;
  void AddPushButtonListener(const std::string& dialog, const std::string& component,
                             uifcPushButtonListener* listener) override;
  void AddOptionMenuListener(const std::string& dialog, const std::string& component,
                             uifcOptionMenuListener* listener) override;
  void SetDialogStyle(const std::string& dialog, uifcCore::DialogStyle style) override;
  void SetLayoutVisible(const std::string& dialog, const std::string& layout, bool visible) override;
  void ShowLayout(const std::string& dialog, const std::string& layout, bool shown) override;
  void SetLabelText(const std::string& dialog, const std::string& label, const std::string& text) override;
  void SetButtonText(const std::string& dialog, const std::string& button, const std::string& text) override;
  void SetButtonVisible(const std::string& dialog, const std::string& button, bool visible) override;
  void SetButtonEnabled(const std::string& dialog, const std::string& button, bool enabled) override;
  void SetButtonColor(const std::string& dialog, const std::string& button, int red, int green, int blue) override;
  void SetLabelImage(const std::string& dialog, const std::string& label, const std::string& image) override;
  void SetOptionMenuItems(const std::string& dialog, const std::string& menu, const std::vector<std::string>& names,
                          const std::vector<std::string>& labels) override;
  std::vector<std::string> GetSelectedOptionMenuItems(const std::string& dialog, const std::string& menu) override;
};
