#include "fault_commands.h"

#include <ostream>
#include <stdexcept>

#include "creo_simulator.h"

namespace creosim {

namespace {

constexpr const char* kFaultUsage = "fault OPERATION EXCEPTION [count|always] [after N] | fault clear";

bool isSmallNumber(const std::string& text) {
  return !text.empty() && text.size() <= 6 && text.find_first_not_of("0123456789") == std::string::npos;
}

// fault OPERATION EXCEPTION [count|always] [after N]: the next count calls
// (default 1), or every call, fail; with "after N", once N calls have passed.
void fault(SimContext& context, const std::vector<std::string>& args) {
  FaultInjector& faults = context.simulator.faults();
  if (args.size() == 1 && args[0] == "clear") {
    faults.clear();
    context.out << "no fault armed\n";
    return;
  }
  std::vector<std::string> words = args;
  int skip = 0;
  if (words.size() >= 4 && words[words.size() - 2] == "after") {
    if (!isSmallNumber(words.back())) throw std::invalid_argument("after takes a number from 0 to 999999");
    skip = std::stoi(words.back());
    words.resize(words.size() - 2);
  }
  if (words.size() < 2 || words.size() > 3) throw std::invalid_argument(std::string("usage: ") + kFaultUsage);
  int count = 1;
  if (words.size() == 3 && words[2] == "always") {
    count = -1;
  } else if (words.size() == 3) {
    if (!isSmallNumber(words[2]) || std::stoi(words[2]) == 0)
      throw std::invalid_argument("the count must be a number from 1 to 999999, or always");
    count = std::stoi(words[2]);
  }
  faults.failNext(words[0], words[1], count, skip);
  context.out << words[0] << " throws " << words[1] << " "
              << (count < 0 ? std::string("on every call") : "on the next " + std::to_string(count) + " call(s)")
              << (skip > 0 ? " after " + std::to_string(skip) + " call(s) that pass" : std::string()) << "\n";
}

void listFaults(SimContext& context, const std::vector<std::string>&) {
  context.out << "operations:\n";
  for (const std::string& operation : FaultInjector::operations()) context.out << "  " << operation << "\n";
  context.out << "exceptions:\n";
  for (const std::string& exception : FaultInjector::exceptions()) context.out << "  " << exception << "\n";
}

}  // namespace

void addFaultCommands(CommandTable& table) {
  table.add("fault",
            "fault OPERATION EXCEPTION [count|always] [after N]\n"
            "                     make the next count calls (default 1) or every call of a toolkit\n"
            "                     operation throw EXCEPTION, once N calls (default 0) have passed;\n"
            "                     fault clear disarms every fault",
            fault);
  table.add("faults", "faults               list the operations a fault can be armed on and the exceptions", listFaults);
}

}  // namespace creosim
