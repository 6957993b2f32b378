// A person at a terminal: sees each dialog drawn as text and chooses what to
// do from a numbered list of the shown, enabled buttons, the option menus'
// items and the close control. The end of input gives up. Any other line goes
// to the commands the person may give while a dialog waits (creo-sim lets
// them draw the dialog: "picture FOLDER").
#pragma once

#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "dialog_user.h"

namespace creosim {

class TerminalDialogUser : public DialogUser {
 public:
  // Runs a command line; false when it is none of those allowed now.
  using Commands = std::function<bool(const std::string& line)>;

  TerminalDialogUser(std::istream& in, std::ostream& out, Commands commands = nullptr)
      : in_(in), out_(out), commands_(std::move(commands)) {}

  void see(const DialogView& view) override;
  DialogAction act(const DialogView& view) override;
  // A person at a terminal answers only dialogs that wait.
  std::optional<DialogAction> actMeanwhile(const DialogView&) override { return std::nullopt; }
  void refused(const DialogView& view, const DialogAction& action, const std::string& reason) override;

 private:
  std::istream& in_;
  std::ostream& out_;
  Commands commands_;
};

}  // namespace creosim
