// A person at a terminal: sees each dialog drawn as text and chooses what to
// do from a numbered list of the shown, enabled buttons, the option menus'
// items and the close control. The end of input gives up.
#pragma once

#include <istream>
#include <ostream>

#include "dialog_user.h"

namespace creosim {

class TerminalDialogUser : public DialogUser {
 public:
  TerminalDialogUser(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  void see(const DialogView& view) override;
  DialogAction act(const DialogView& view) override;
  // A person at a terminal answers only dialogs that wait.
  std::optional<DialogAction> actMeanwhile(const DialogView&) override { return std::nullopt; }
  void refused(const DialogView& view, const DialogAction& action, const std::string& reason) override;

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace creosim
