// The one way the add-in touches a dialog: dialogs and components are addressed
// by name; each call finds the component through the toolkit's uifc layer,
// calls one setter and lets the handle go. Toolkit exceptions pass through to
// the calling controller or listener. Tests reach it through the simulated
// host, so it needs no interface of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <uifcDialog.h>
#include <uifcComponent.h>
#include <uifcPushButton.h>
#include <uifcOptionMenu.h>

class UifcFacade {
 public:
  void CreateDialog(const std::string& dialog, const std::string& resource);
  int ActivateDialog(const std::string& dialog);
  void DestroyDialog(const std::string& dialog);
  void ExitOwningDialog(uifcComponent& component, int status);
  void ExitDialog(const std::string& dialog, int status);
  void AddDialogListener(const std::string& dialog, uifcDialogListener* listener);
  void AddPushButtonListener(const std::string& dialog, const std::string& component, uifcPushButtonListener* listener);
  void AddOptionMenuListener(const std::string& dialog, const std::string& component, uifcOptionMenuListener* listener);
  void SetDialogStyle(const std::string& dialog, uifcCore::DialogStyle style);
  void SetLayoutVisible(const std::string& dialog, const std::string& layout, bool visible);
  void ShowLayout(const std::string& dialog, const std::string& layout, bool shown);
  void SetLabelText(const std::string& dialog, const std::string& label, const std::string& text);
  void SetButtonText(const std::string& dialog, const std::string& button, const std::string& text);
  void SetButtonVisible(const std::string& dialog, const std::string& button, bool visible);
  void SetButtonEnabled(const std::string& dialog, const std::string& button, bool enabled);
  void SetButtonColor(const std::string& dialog, const std::string& button, int red, int green, int blue);
  void SetLabelImage(const std::string& dialog, const std::string& label, const std::string& image);
  void SetOptionMenuItems(const std::string& dialog, const std::string& menu, const std::vector<std::string>& names,
                          const std::vector<std::string>& labels);
  std::vector<std::string> GetSelectedOptionMenuItems(const std::string& dialog, const std::string& menu);
};

// The process-wide facade, created on first use; never null.
UifcFacade& uiFacade();
