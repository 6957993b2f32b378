// The user of a test: answers each waiting dialog from a queue of steps kept
// per dialog name, and keeps a record of every dialog it was shown.
//
//   auto user = std::make_shared<ScriptedDialogUser>();
//   user->press("Start", "LoginButton");
//   user->check("SignInFailed", [](const DialogView& view) { ... });
//   user->close("SignInFailed");
//   simulator.dialogs().setUser(user);
//
// With a person behind it (creo-sim --interactive), a dialog that waits with
// no step left is answered by that person, who also sees every dialog; the
// record then holds what both did.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dialog_user.h"

namespace creosim {

class ScriptedDialogUser : public DialogUser {
 public:
  using Check = std::function<void(const DialogView&)>;

  ScriptedDialogUser& press(const std::string& dialog, const std::string& button);
  ScriptedDialogUser& select(const std::string& dialog, const std::string& menu, const std::string& item);
  ScriptedDialogUser& close(const std::string& dialog);
  // Runs when the dialog next waits, before the step that follows it.
  ScriptedDialogUser& check(const std::string& dialog, Check check);
  // Done while the dialog is shown without waiting (a progress dialog), the
  // first time it shows `text` in one of its components; once.
  ScriptedDialogUser& meanwhile(const std::string& dialog, const std::string& text, DialogAction action);
  void answerUnscriptedWith(std::shared_ptr<DialogUser> person) { person_ = std::move(person); }

  // Every view shown, in order (a dialog again only when what it shows changed).
  const std::vector<DialogView>& seen() const { return seen_; }
  // The names of the dialogs shown, in order, one entry per appearance.
  std::vector<std::string> seenDialogs() const;
  // The last view of that dialog; throws std::out_of_range when it was never shown.
  const DialogView& lastSeen(const std::string& dialog) const;
  // Everything shown, as a person would have seen it.
  std::string transcript() const;
  // Dialogs that waited with no step left, refused actions, steps never used.
  std::vector<std::string> problems() const;

  void see(const DialogView& view) override;
  DialogAction act(const DialogView& view) override;
  std::optional<DialogAction> actMeanwhile(const DialogView& view) override;
  void refused(const DialogView& view, const DialogAction& action, const std::string& reason) override;

 private:
  struct Step {
    DialogAction action;
    Check check;
  };
  ScriptedDialogUser& add(const std::string& dialog, Step step);

  struct MeanwhileStep {
    std::string text;
    DialogAction action;
  };

  std::map<std::string, std::deque<Step>> steps_;
  std::map<std::string, std::deque<MeanwhileStep>> meanwhile_;
  std::shared_ptr<DialogUser> person_;
  std::vector<DialogView> seen_;
  std::vector<std::string> appearances_;
  std::vector<std::string> problems_;
  std::string log_;
};

}  // namespace creosim
