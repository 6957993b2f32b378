// The action of the add-in's single ribbon command: sign in first, or go
// straight to the upload dialog when a session is held.
#pragma once

#include <pfcCommand.h>

class TavixStartAction : public pfcUICommandActionListener {
 public:
  void OnCommand() override;
};
