// One live dialog of the simulated Creo: its components' content, the
// listeners the add-in attached, and its activation state. The handles the
// toolkit hands out refer back to it and stop working once it is destroyed.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialog_resource.h"
#include "dialog_view.h"
#include "host/uifc.h"

namespace creosim {

class FaultInjector;

class SimDialog : public std::enable_shared_from_this<SimDialog> {
 public:
  // Images are looked up in the text folder, as the resource's own were.
  SimDialog(std::string name, DialogResource resource, TextFolder text, FaultInjector& faults);

  const std::string& name() const { return name_; }
  FaultInjector& faults() { return faults_; }
  const TextFolder& text() const { return text_; }
  DialogResource& content() { return resource_; }

  // The component of that kind, or pfcXToolkitNotFound naming the operation.
  ComponentContent& component(const std::string& name, ComponentKind kind, const char* operation);
  // Throws pfcXToolkitNotFound for a dialog that has been destroyed.
  void checkAlive(const char* operation) const;

  DialogView view() const;
  bool waitsForUser() const { return resource_.style != uifcCore::DialogStyle::Modeless; }

  // Handles, as the toolkit's find functions return them.
  uifcDialog_ptr dialogHandle();
  uifcLabel_ptr labelHandle(const std::string& component);
  uifcPushButton_ptr pushButtonHandle(const std::string& component);
  uifcLayout_ptr layoutHandle(const std::string& component);
  uifcOptionMenu_ptr optionMenuHandle(const std::string& component);

  // Attached by the add-in; dropped at destroy (the add-in deletes them afterwards).
  std::vector<uifcDialogListener*> dialogListeners;
  std::map<std::string, std::vector<uifcPushButtonListener*>> buttonListeners;
  std::map<std::string, std::vector<uifcOptionMenuListener*>> menuListeners;

  bool destroyed = false;
  bool displayed = false;  // the display listeners have run
  bool waiting = false;    // inside an activation that waits for the user
  bool exitRequested = false;
  xint exitStatus = 0;
  std::string lastSeen;  // what the user was last shown, to report changes only

 private:
  std::string name_;
  DialogResource resource_;
  TextFolder text_;
  FaultInjector& faults_;
};

}  // namespace creosim
