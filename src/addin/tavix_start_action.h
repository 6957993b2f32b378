// The action of the add-in's single ribbon command: sign in first, or go
// straight to the upload dialog when a session is held.
#pragma once

#include <pfcCommand.h>

#include "upload/upload_transfer.h"

class TavixStartAction : public pfcUICommandActionListener {
 public:
  explicit TavixStartAction(UploadPauses uploadPauses) : uploadPauses_(std::move(uploadPauses)) {}
  void OnCommand() override;

 private:
  UploadPauses uploadPauses_;
};
