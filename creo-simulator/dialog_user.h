// Whoever sits in front of the simulated Creo: told what each dialog shows,
// asked what to do when a dialog waits.
#pragma once

#include <optional>
#include <string>

#include "dialog_view.h"

namespace creosim {

struct DialogAction {
  enum class Kind {
    Press,   // a push button
    Select,  // an item of an option menu, by item name
    Close,   // the window's close control
    GiveUp,  // nothing more to do: the simulator ends the activation with status -1
  };
  Kind kind = Kind::GiveUp;
  std::string component;
  std::string item;

  static DialogAction press(std::string button) { return {Kind::Press, std::move(button), {}}; }
  static DialogAction select(std::string menu, std::string item) {
    return {Kind::Select, std::move(menu), std::move(item)};
  }
  static DialogAction close() { return {Kind::Close, {}, {}}; }
  static DialogAction giveUp() { return {Kind::GiveUp, {}, {}}; }
  std::string describe() const;
};

class DialogUser {
 public:
  virtual ~DialogUser() = default;
  // A dialog appeared, or what it shows changed.
  virtual void see(const DialogView& view) = 0;
  // The dialog waits for the user.
  virtual DialogAction act(const DialogView& view) = 0;
  // The dialog is shown and does not wait (a progress dialog kept painted):
  // whatever the user does meanwhile is handled now, as Creo handles pending
  // events when a dialog is activated. Nothing when the user does nothing.
  virtual std::optional<DialogAction> actMeanwhile(const DialogView& view) = 0;
  // The simulator did not carry out the action (a disabled button, an unknown item...).
  virtual void refused(const DialogView& view, const DialogAction& action, const std::string& reason) = 0;
};

}  // namespace creosim
