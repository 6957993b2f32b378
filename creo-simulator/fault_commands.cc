#include "fault_commands.h"

#include <ostream>
#include <stdexcept>

#include "creo_simulator.h"

namespace creosim {

namespace {

constexpr const char* kFaultUsage = "fault OPERATION EXCEPTION [count|always] | fault clear";

// fault OPERATION EXCEPTION [count|always]: the next count calls (default 1), or every call, fail.
void fault(SimContext& context, const std::vector<std::string>& args) {
  FaultInjector& faults = context.simulator.faults();
  if (args.size() == 1 && args[0] == "clear") {
    faults.clear();
    context.out << "no fault armed\n";
    return;
  }
  if (args.size() < 2 || args.size() > 3) throw std::invalid_argument(std::string("usage: ") + kFaultUsage);
  int count = 1;
  if (args.size() == 3 && args[2] == "always") {
    count = -1;
  } else if (args.size() == 3) {
    if (args[2].empty() || args[2].size() > 6 || args[2].find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(args[2]) == 0)
      throw std::invalid_argument("the count must be a number from 1 to 999999, or always");
    count = std::stoi(args[2]);
  }
  faults.failNext(args[0], args[1], count);
  context.out << args[0] << " throws " << args[1] << " "
              << (count < 0 ? std::string("on every call") : "on the next " + std::to_string(count) + " call(s)")
              << "\n";
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
            "fault OPERATION EXCEPTION [count|always]\n"
            "                     make the next count calls (default 1) or every call of a toolkit\n"
            "                     operation throw EXCEPTION; fault clear disarms every fault",
            fault);
  table.add("faults", "faults               list the operations a fault can be armed on and the exceptions", listFaults);
}

}  // namespace creosim
