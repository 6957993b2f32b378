// creo-sim commands for the dialogs: the answers a script gives when a dialog
// waits, and what the dialogs showed.
#pragma once

#include <memory>

#include "command_table.h"

namespace creosim {

class ScriptedDialogUser;

void addDialogCommands(CommandTable& table, std::shared_ptr<ScriptedDialogUser> user);

}  // namespace creosim
