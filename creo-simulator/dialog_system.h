// Dialogs built from the add-in's dialog resources, run by a scripted or a
// terminal user. Everything here runs on Creo's user-interface thread.
//
// An activation of a Modeless dialog shows it, carries out what the user did
// meanwhile (a close control clicked while a progress dialog runs) and returns
// at once; under every other style it waits: the user acts (which runs the add-in's listeners, which
// may open further dialogs) until ExitDialog is called for it.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialog_user.h"
#include "dialog_view.h"
#include "host/uifc.h"
#include "text_folder.h"

namespace creosim {

class FaultInjector;
class SimDialog;

class DialogSystem {
 public:
  // Resources ("<name>.res") and images are read from the text folder.
  DialogSystem(TextFolder text, FaultInjector& faults);
  ~DialogSystem();

  // Who answers dialogs that wait; without one, such an activation ends at once with -1.
  void setUser(std::shared_ptr<DialogUser> user);
  // Someone else looking at the screen (a camera): shown every view the user
  // is shown, after the user. It must not throw.
  void watchScreen(std::function<void(const DialogView&)> watcher) { watchers_.push_back(std::move(watcher)); }
  // How long showing a dialog that does not wait takes (painting, pending events).
  void setNonWaitingActivationTime(std::chrono::milliseconds time) { nonWaitingTime_ = time; }

  // The dialogs created and not yet destroyed, and what one of them shows now.
  std::vector<std::string> openDialogs() const;
  std::optional<DialogView> view(const std::string& dialog) const;
  // Where the resources and images are read from.
  const TextFolder& textFolder() const { return text_; }
  // Whether an image the add-in or a resource names exists in the text folder.
  bool imageExists(const std::string& image) const;
  // What went wrong on the host's side: malformed resources, exceptions that
  // escaped a listener, activations that nobody answered.
  const std::vector<std::string>& problems() const { return problems_; }
  // How often the add-in has activated a dialog of that name: a progress dialog
  // kept painted during a long export is activated once per step.
  int activations(const std::string& dialog) const;

  void createDialog(const std::string& dialogName, const std::string& resourceName);
  xint activateDialog(const std::string& dialogName);
  void exitDialog(const std::string& dialogName, xint status);
  void destroyDialog(const std::string& dialogName);
  uifcDialog_ptr findDialog(const std::string& dialogName, const std::string& componentName);
  uifcLabel_ptr findLabel(const std::string& dialogName, const std::string& componentName);
  uifcPushButton_ptr findPushButton(const std::string& dialogName, const std::string& componentName);
  uifcLayout_ptr findLayout(const std::string& dialogName, const std::string& componentName);
  uifcOptionMenu_ptr findOptionMenu(const std::string& dialogName, const std::string& componentName);

 private:
  std::shared_ptr<SimDialog> dialog(const std::string& dialogName, const char* operation) const;
  void showToUser(SimDialog& dialog);
  void perform(SimDialog& dialog, const DialogAction& action);
  // Runs each listener in turn; stops once a listener has destroyed the dialog.
  template <class Listener, class Event>
  void dispatch(SimDialog& dialog, std::vector<Listener*> listeners, const char* event, Event&& call);

  TextFolder text_;
  FaultInjector& faults_;
  std::shared_ptr<DialogUser> user_;
  std::vector<std::function<void(const DialogView&)>> watchers_;
  std::chrono::milliseconds nonWaitingTime_{10};
  std::map<std::string, std::shared_ptr<SimDialog>> dialogs_;
  std::vector<std::string> problems_;
  std::map<std::string, int, std::less<>> activations_;
};

}  // namespace creosim
