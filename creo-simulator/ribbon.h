// The ribbon: definition files read from the add-in's text folder and the
// commands registered by name.
#pragma once

#include "host/pfc_session.h"

namespace creosim {

class Ribbon {
 public:
  void loadDefinitionFile(const xstring& fileName);
  pfcUICommand_ptr createCommand(const xstring& name, const pfcUICommandActionListener_ptr& action);
};

}  // namespace creosim
