#include "terminal_dialog_user.h"

#include <string>
#include <utility>
#include <vector>

namespace creosim {

void TerminalDialogUser::see(const DialogView& view) { out_ << view.render() << std::flush; }

DialogAction TerminalDialogUser::act(const DialogView& view) {
  std::vector<std::pair<std::string, DialogAction>> choices;
  for (const ComponentContent& component : view.components) {
    if (!view.isShown(component.name) || !component.enabled) continue;
    if (component.kind == ComponentKind::PushButton) {
      choices.emplace_back("Press [" + component.text + "]", DialogAction::press(component.name));
    } else if (component.kind == ComponentKind::OptionMenu) {
      for (size_t i = 0; i < component.itemNames.size(); ++i) {
        const std::string& label = i < component.itemLabels.size() ? component.itemLabels[i] : component.itemNames[i];
        choices.emplace_back("Choose \"" + label + "\" in " + component.name,
                             DialogAction::select(component.name, component.itemNames[i]));
      }
    }
  }
  choices.emplace_back("Close the window", DialogAction::close());

  for (;;) {
    out_ << view.dialog << " waits for you:\n";
    for (size_t i = 0; i < choices.size(); ++i) out_ << "  " << i + 1 << ") " << choices[i].first << "\n";
    if (commands_) out_ << "  or a command, e.g. picture FOLDER to draw it\n";
    out_ << "> " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
      out_ << "\n(end of input)\n";
      return DialogAction::giveUp();
    }
    size_t chosen = 0;
    try {
      size_t used = 0;
      chosen = std::stoul(line, &used);
      if (line.find_first_not_of(" \t\r", used) != std::string::npos) chosen = 0;
    } catch (const std::exception&) {
      chosen = 0;
    }
    if (chosen >= 1 && chosen <= choices.size()) return choices[chosen - 1].second;
    if (chosen == 0 && commands_ && commands_(line)) continue;
    out_ << "Please enter a number from 1 to " << choices.size() << (commands_ ? ", or a command" : "") << ".\n";
  }
}

void TerminalDialogUser::refused(const DialogView&, const DialogAction& action, const std::string& reason) {
  out_ << "(could not " << action.describe() << ": " << reason << ")\n";
}

}  // namespace creosim
