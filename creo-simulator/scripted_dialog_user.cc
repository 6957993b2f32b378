#include "scripted_dialog_user.h"

#include <stdexcept>

namespace creosim {

ScriptedDialogUser& ScriptedDialogUser::add(const std::string& dialog, Step step) {
  steps_[dialog].push_back(std::move(step));
  return *this;
}

ScriptedDialogUser& ScriptedDialogUser::press(const std::string& dialog, const std::string& button) {
  return add(dialog, {DialogAction::press(button), nullptr});
}

ScriptedDialogUser& ScriptedDialogUser::select(const std::string& dialog, const std::string& menu,
                                               const std::string& item) {
  return add(dialog, {DialogAction::select(menu, item), nullptr});
}

ScriptedDialogUser& ScriptedDialogUser::close(const std::string& dialog) {
  return add(dialog, {DialogAction::close(), nullptr});
}

ScriptedDialogUser& ScriptedDialogUser::check(const std::string& dialog, Check check) {
  return add(dialog, {DialogAction::giveUp(), std::move(check)});
}

ScriptedDialogUser& ScriptedDialogUser::meanwhile(const std::string& dialog, const std::string& text,
                                                  DialogAction action) {
  meanwhile_[dialog].push_back({text, std::move(action)});
  return *this;
}

std::vector<std::string> ScriptedDialogUser::seenDialogs() const { return appearances_; }

const DialogView& ScriptedDialogUser::lastSeen(const std::string& dialog) const {
  for (auto it = seen_.rbegin(); it != seen_.rend(); ++it)
    if (it->dialog == dialog) return *it;
  throw std::out_of_range("the dialog " + dialog + " was never shown");
}

std::string ScriptedDialogUser::transcript() const { return log_; }

std::vector<std::string> ScriptedDialogUser::problems() const {
  std::vector<std::string> problems = problems_;
  for (const auto& [dialog, steps] : steps_)
    for (const Step& step : steps)
      problems.push_back(dialog + ": step never used: " + (step.check ? "check" : step.action.describe()));
  for (const auto& [dialog, steps] : meanwhile_)
    for (const MeanwhileStep& step : steps)
      problems.push_back(dialog + ": never showed \"" + step.text + "\" to " + step.action.describe() + " meanwhile");
  return problems;
}

void ScriptedDialogUser::see(const DialogView& view) {
  if (view.justOpened) appearances_.push_back(view.dialog);
  seen_.push_back(view);
  log_ += view.render();
  if (person_) person_->see(view);
}

DialogAction ScriptedDialogUser::act(const DialogView& view) {
  std::deque<Step>& steps = steps_[view.dialog];
  while (!steps.empty() && steps.front().check) {
    Check check = std::move(steps.front().check);
    steps.pop_front();
    check(view);
  }
  DialogAction action;
  if (!steps.empty()) {
    action = steps.front().action;
    steps.pop_front();
  } else if (person_) {
    action = person_->act(view);
  } else {
    problems_.push_back(view.dialog + " waited for the user, but the script had nothing for it");
    log_ += "> (no step left for " + view.dialog + ")\n";
    return DialogAction::giveUp();
  }
  log_ += "> " + action.describe() + "\n";
  return action;
}

std::optional<DialogAction> ScriptedDialogUser::actMeanwhile(const DialogView& view) {
  auto steps = meanwhile_.find(view.dialog);
  if (steps == meanwhile_.end() || steps->second.empty() || !view.showsText(steps->second.front().text))
    return std::nullopt;
  DialogAction action = steps->second.front().action;
  steps->second.pop_front();
  log_ += "> meanwhile: " + action.describe() + "\n";
  return action;
}

void ScriptedDialogUser::refused(const DialogView& view, const DialogAction& action, const std::string& reason) {
  problems_.push_back(view.dialog + ": could not " + action.describe() + ": " + reason);
  log_ += "> refused: " + reason + "\n";
  if (person_) person_->refused(view, action, reason);
}

}  // namespace creosim
