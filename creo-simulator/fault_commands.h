// Commands that make the simulated Creo fail: any toolkit operation can be
// armed with any toolkit exception, or a processor-level fault.
#pragma once

#include "command_table.h"

namespace creosim {

void addFaultCommands(CommandTable& table);

}  // namespace creosim
