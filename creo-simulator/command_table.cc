#include "command_table.h"

#include <exception>
#include <istream>
#include <ostream>
#include <sstream>

#include "addin_library.h"
#include "escaped_exception.h"

namespace creosim {

SimContext::~SimContext() = default;

void CommandTable::add(const std::string& name, const std::string& usage, SimCommand command) {
  commands_[name] = Entry{usage, std::move(command)};
}

bool CommandTable::run(SimContext& context, const std::string& line) {
  std::istringstream words(line.substr(0, line.find('#')));
  std::vector<std::string> args;
  for (std::string word; words >> word;) args.push_back(word);
  if (args.empty()) return true;

  const std::string name = args.front();
  args.erase(args.begin());
  auto it = commands_.find(name);
  if (it == commands_.end()) {
    context.out << "unknown command: " << name << " (try: help)\n";
    return false;
  }
  try {
    it->second.command(context, args);
    return true;
  }
  xcatchbegin
  xcatchcip(e) context.out << name << ": " << describeToolkitException(e) << "\n";
  xcatchend
  catch (const std::exception& e) {
    context.out << name << ": " << e.what() << "\n";
  }
  return false;
}

bool CommandTable::runAll(SimContext& context, std::istream& in, bool prompt, const std::function<void()>& beforePrompt) {
  for (;;) {
    if (prompt && beforePrompt) beforePrompt();
    if (prompt) context.out << "creo-sim> " << std::flush;
    std::string line;
    if (!std::getline(in, line)) return true;
    if (line == "quit" || line == "exit") return true;
    // At a terminal a mistake is shown and the session goes on; a script stops.
    if (!run(context, line) && !prompt) return false;
  }
}

void CommandTable::printHelp(std::ostream& out) const {
  for (const auto& [name, entry] : commands_) out << "  " << entry.usage << "\n";
  out << "  quit\n";
}

}  // namespace creosim
