// The JSON body with which a client announces an upload, read before the
// store is asked whether its workspace and directory exist.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "uploads.h"

namespace tavixservice {

struct Announcement {
  std::string workspaceIdText;  // the one key of "targetDirectories", as sent
  int64_t directoryId = 0;
  PendingUpload upload;         // without its user, workspace and directory
};

// The announcement, or the message of the 400 answer that refuses the body.
std::variant<Announcement, std::string> parseAnnouncement(const std::string& body);

}  // namespace tavixservice
