// Loading, starting, stopping and unloading the add-in, pressing its ribbon
// button and showing its log.
#pragma once

#include "command_table.h"

namespace creosim {

void addLifecycleCommands(CommandTable& table);

}  // namespace creosim
