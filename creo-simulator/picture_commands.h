// creo-sim commands that draw the dialogs as a person would see them: those on
// screen now, or every state a dialog shows from now on.
#pragma once

#include "command_table.h"

namespace creosim {

void addPictureCommands(CommandTable& table);

}  // namespace creosim
