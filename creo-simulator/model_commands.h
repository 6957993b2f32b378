// Commands that set up the models of the simulated session.
#pragma once

#include "command_table.h"

namespace creosim {

void addModelCommands(CommandTable& table);

}  // namespace creosim
