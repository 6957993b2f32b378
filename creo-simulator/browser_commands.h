// The embedded browser: who signs in on a sign-in page, and what was shown.
#pragma once

#include "command_table.h"

namespace creosim {

void addBrowserCommands(CommandTable& table);

}  // namespace creosim
