#include "dialog_system.h"

#include <algorithm>
#include <thread>

#include "dialog_resource.h"
#include "escaped_exception.h"
#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "sim_dialog.h"

namespace creosim {

namespace {

bool isShownAndEnabled(const DialogView& view, const ComponentContent& component) {
  return view.isShown(component.name) && component.enabled;
}

}  // namespace

std::string DialogAction::describe() const {
  switch (kind) {
    case Kind::Press: return "press " + component;
    case Kind::Select: return "select " + item + " in " + component;
    case Kind::Close: return "close the window";
    case Kind::GiveUp: return "give up";
  }
  return "?";
}

DialogSystem::DialogSystem(TextFolder text, FaultInjector& faults) : text_(std::move(text)), faults_(faults) {}

DialogSystem::~DialogSystem() = default;

void DialogSystem::setUser(std::shared_ptr<DialogUser> user) { user_ = std::move(user); }

std::vector<std::string> DialogSystem::openDialogs() const {
  std::vector<std::string> names;
  for (const auto& [name, dialog] : dialogs_) names.push_back(name);
  return names;
}

std::optional<DialogView> DialogSystem::view(const std::string& dialog) const {
  auto it = dialogs_.find(dialog);
  if (it == dialogs_.end()) return std::nullopt;
  return it->second->view();
}

bool DialogSystem::imageExists(const std::string& image) const { return textFolderHoldsImage(text_, image); }

std::shared_ptr<SimDialog> DialogSystem::dialog(const std::string& dialogName, const char* operation) const {
  auto it = dialogs_.find(dialogName);
  if (it == dialogs_.end()) throw new pfcXToolkitNotFound(operation);
  return it->second;
}

void DialogSystem::createDialog(const std::string& dialogName, const std::string& resourceName) {
  if (dialogs_.count(dialogName)) throw new pfcXToolkitFound("uifcCreateDialog");
  std::optional<DialogResource> resource;
  try {
    resource = loadDialogResource(text_, resourceName);
  } catch (const DialogResourceError& error) {
    problems_.push_back(resourceName + ".res: " + error.what());
    throw new pfcXToolkitInvalidFile("uifcCreateDialog");
  }
  if (!resource) throw new pfcXToolkitNotFound("uifcCreateDialog");
  dialogs_[dialogName] = std::make_shared<SimDialog>(dialogName, std::move(*resource), text_, faults_);
}

void DialogSystem::showToUser(SimDialog& dialog) {
  if (!dialog.displayed) {
    dialog.displayed = true;
    dispatch(dialog, dialog.dialogListeners, "OnDisplay",
             [&](uifcDialogListener* listener) { listener->OnDisplay(dialog.dialogHandle()); });
    if (dialog.destroyed) return;
  }
  DialogView view = dialog.view();
  std::string seen = view.render();
  if (seen == dialog.lastSeen) return;
  view.justOpened = dialog.lastSeen.empty();
  dialog.lastSeen = seen;
  if (user_) user_->see(view);
  for (const auto& watcher : watchers_) watcher(view);
}

int DialogSystem::activations(const std::string& dialog) const {
  auto it = activations_.find(dialog);
  return it == activations_.end() ? 0 : it->second;
}

xint DialogSystem::activateDialog(const std::string& dialogName) {
  std::shared_ptr<SimDialog> shown = dialog(dialogName, "uifcActivateDialog");
  ++activations_[dialogName];
  if (shown->waiting) throw new pfcXToolkitBadContext("uifcActivateDialog");
  shown->exitRequested = false;
  shown->exitStatus = 0;
  if (!shown->waitsForUser()) {
    showToUser(*shown);
    if (user_ && !shown->destroyed) {
      if (std::optional<DialogAction> action = user_->actMeanwhile(shown->view())) perform(*shown, *action);
    }
    std::this_thread::sleep_for(nonWaitingTime_);
    return shown->exitStatus;
  }
  shown->waiting = true;
  while (!shown->exitRequested && !shown->destroyed) {
    showToUser(*shown);
    if (shown->exitRequested || shown->destroyed) break;
    DialogAction action = user_ ? user_->act(shown->view()) : DialogAction::giveUp();
    perform(*shown, action);
  }
  shown->waiting = false;
  return shown->exitStatus;
}

void DialogSystem::perform(SimDialog& dialog, const DialogAction& action) {
  DialogView view = dialog.view();
  auto refuse = [&](const std::string& reason) {
    if (user_) user_->refused(view, action, reason);
  };
  switch (action.kind) {
    case DialogAction::Kind::GiveUp:
      problems_.push_back(dialog.name() + " waited for the user, but the user gave up; activation ended with -1");
      dialog.exitRequested = true;
      dialog.exitStatus = -1;
      return;
    case DialogAction::Kind::Close:
      dispatch(dialog, dialog.dialogListeners, "OnClose",
               [&](uifcDialogListener* listener) { listener->OnClose(dialog.dialogHandle()); });
      return;
    case DialogAction::Kind::Press: {
      const ComponentContent* button = view.component(action.component);
      if (!button || button->kind != ComponentKind::PushButton) return refuse("there is no such button");
      if (!isShownAndEnabled(view, *button)) return refuse("the button is hidden or disabled");
      dispatch(dialog, dialog.buttonListeners[action.component], "OnActivate",
               [&](uifcPushButtonListener* listener) { listener->OnActivate(dialog.pushButtonHandle(action.component)); });
      return;
    }
    case DialogAction::Kind::Select: {
      ComponentContent* menu = dialog.content().find(action.component);
      if (!menu || menu->kind != ComponentKind::OptionMenu) return refuse("there is no such option menu");
      if (!isShownAndEnabled(view, *menu)) return refuse("the option menu is hidden or disabled");
      if (std::find(menu->itemNames.begin(), menu->itemNames.end(), action.item) == menu->itemNames.end())
        return refuse("the option menu has no such item");
      menu->selectedNames = {action.item};
      dispatch(dialog, dialog.menuListeners[action.component], "OnItemSelect",
               [&](uifcOptionMenuListener* listener) { listener->OnItemSelect(dialog.optionMenuHandle(action.component)); });
      return;
    }
  }
}

template <class Listener, class Event>
void DialogSystem::dispatch(SimDialog& dialog, std::vector<Listener*> listeners, const char* event, Event&& call) {
  for (Listener* listener : listeners) {
    if (dialog.destroyed) return;
    if (std::optional<std::string> escaped = escapedFrom([&] { call(listener); }))
      problems_.push_back(std::string("a listener let an exception escape from ") + event + " in " + dialog.name() +
                          ": " + *escaped);
  }
}

void DialogSystem::exitDialog(const std::string& dialogName, xint status) {
  std::shared_ptr<SimDialog> exited = dialog(dialogName, "uifcExitDialog");
  exited->exitRequested = true;
  exited->exitStatus = status;
  // A dialog shown without waiting goes off the screen; its next activation
  // shows it to the user again.
  if (!exited->waiting) exited->lastSeen.clear();
}

void DialogSystem::destroyDialog(const std::string& dialogName) {
  std::shared_ptr<SimDialog> destroyed = dialog(dialogName, "uifcDestroyDialog");
  destroyed->destroyed = true;
  destroyed->dialogListeners.clear();
  destroyed->buttonListeners.clear();
  destroyed->menuListeners.clear();
  dialogs_.erase(dialogName);
}

uifcDialog_ptr DialogSystem::findDialog(const std::string& dialogName, const std::string& componentName) {
  std::shared_ptr<SimDialog> found = dialog(dialogName, "uifcDialogFind");
  if (componentName != dialogName) throw new pfcXToolkitNotFound("uifcDialogFind");
  return found->dialogHandle();
}
uifcLabel_ptr DialogSystem::findLabel(const std::string& dialogName, const std::string& componentName) {
  return dialog(dialogName, "uifcLabelFind")->labelHandle(componentName);
}
uifcPushButton_ptr DialogSystem::findPushButton(const std::string& dialogName, const std::string& componentName) {
  return dialog(dialogName, "uifcPushButtonFind")->pushButtonHandle(componentName);
}
uifcLayout_ptr DialogSystem::findLayout(const std::string& dialogName, const std::string& componentName) {
  return dialog(dialogName, "uifcLayoutFind")->layoutHandle(componentName);
}
uifcOptionMenu_ptr DialogSystem::findOptionMenu(const std::string& dialogName, const std::string& componentName) {
  return dialog(dialogName, "uifcOptionMenuFind")->optionMenuHandle(componentName);
}

}  // namespace creosim
