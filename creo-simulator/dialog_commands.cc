#include "dialog_commands.h"

#include <ostream>
#include <stdexcept>

#include "creo_simulator.h"
#include "scripted_dialog_user.h"

namespace creosim {

namespace {

constexpr const char* kAnswerUsage =
    "answer DIALOG press BUTTON | answer DIALOG select MENU ITEM... | answer DIALOG close";

// The item is the rest of the line: workspace names hold spaces.
void answer(ScriptedDialogUser& user, SimContext& context, const std::vector<std::string>& args) {
  std::string item;
  for (size_t i = 3; i < args.size(); ++i) item += (item.empty() ? "" : " ") + args[i];
  if (args.size() == 3 && args[1] == "press") {
    user.press(args[0], args[2]);
  } else if (args.size() >= 4 && args[1] == "select") {
    user.select(args[0], args[2], item);
  } else if (args.size() == 2 && args[1] == "close") {
    user.close(args[0]);
  } else {
    throw std::invalid_argument(std::string("usage: ") + kAnswerUsage);
  }
  context.out << "when " << args[0] << " waits: " << args[1];
  for (size_t i = 2; i < args.size(); ++i) context.out << " " << args[i];
  context.out << "\n";
}

void dialogs(const ScriptedDialogUser& user, SimContext& context) {
  context.out << user.transcript();
  for (const std::string& problem : user.problems()) context.out << "problem: " << problem << "\n";
  for (const std::string& problem : context.simulator.problems()) context.out << "Creo problem: " << problem << "\n";
}

}  // namespace

void addDialogCommands(CommandTable& table, std::shared_ptr<ScriptedDialogUser> user) {
  table.add("answer",
            "answer DIALOG press BUTTON | select MENU ITEM... | close\n"
            "                     what to do the next time DIALOG waits for the user\n"
            "                     (ITEM is the item's name, the rest of the line)",
            [user](SimContext& context, const std::vector<std::string>& args) { answer(*user, context, args); });
  table.add("dialogs",
            "dialogs              show every dialog as it appeared (buttons with their enabled state and\n"
            "                     colour, option menus with their selected item), and unanswered waits",
            [user](SimContext& context, const std::vector<std::string>&) { dialogs(*user, context); });
}

}  // namespace creosim
