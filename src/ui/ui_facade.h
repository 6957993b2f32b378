// The one way the add-in touches a dialog: dialogs and components are addressed
// by name; each call finds the component and calls its setter. Toolkit
// exceptions pass through to the calling controller or listener.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/uifc.h"

class IUIFacade {
 public:
  virtual ~IUIFacade() = default;
  virtual void CreateDialog(const std::string& dialog, const std::string& resource) = 0;
  virtual int ActivateDialog(const std::string& dialog) = 0;
  virtual void DestroyDialog(const std::string& dialog) = 0;
  virtual void ExitOwningDialog(uifcComponent& component, int status) = 0;
  virtual void ExitDialog(const std::string& dialog, int status) = 0;
  virtual void AddDialogListener(const std::string& dialog, uifcDialogListener* listener) = 0;
  virtual void AddPushButtonListener(const std::string& dialog, const std::string& component,
                                     uifcPushButtonListener* listener) = 0;
  virtual void AddOptionMenuListener(const std::string& dialog, const std::string& component,
                                     uifcOptionMenuListener* listener) = 0;
  virtual void SetDialogStyle(const std::string& dialog, uifcCore::DialogStyle style) = 0;
  virtual void SetLayoutVisible(const std::string& dialog, const std::string& layout, bool visible) = 0;
  virtual void ShowLayout(const std::string& dialog, const std::string& layout, bool shown) = 0;
  virtual void SetLabelText(const std::string& dialog, const std::string& label, const std::string& text) = 0;
  virtual void SetButtonText(const std::string& dialog, const std::string& button, const std::string& text) = 0;
  virtual void SetButtonVisible(const std::string& dialog, const std::string& button, bool visible) = 0;
  virtual void SetButtonEnabled(const std::string& dialog, const std::string& button, bool enabled) = 0;
  virtual void SetButtonColor(const std::string& dialog, const std::string& button, int red, int green,
                              int blue) = 0;
  virtual void SetLabelImage(const std::string& dialog, const std::string& label, const std::string& image) = 0;
  virtual void SetOptionMenuItems(const std::string& dialog, const std::string& menu,
                                  const std::vector<std::string>& names,
                                  const std::vector<std::string>& labels) = 0;
  virtual std::vector<std::string> GetSelectedOptionMenuItems(const std::string& dialog,
                                                             const std::string& menu) = 0;
};

// The process-wide facade, created on first use; never null.
IUIFacade& uiFacade();
