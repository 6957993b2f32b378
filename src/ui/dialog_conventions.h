// What every dialog that has them shows in its version and user e-mail labels.
#pragma once

#include <string>

#include "ui/ui_facade.h"

inline constexpr const char* kGenericErrorUserEmailWarning = "Could not fetch user email for GenericError dialog.";
inline constexpr const char* kUploadFailedUserEmailWarning = "Could not fetch user email for UploadFailed dialog.";

// IntegrationVersionLabel reads "Version 1.0.0".
void showIntegrationVersion(UifcFacade& ui, const std::string& dialog);

// UserEmailLabel shows the e-mail of the user the session manager has cached,
// or nothing when none is cached. If the cached user cannot be read, the
// warning is logged and the label keeps its text.
void showCachedUserEmail(UifcFacade& ui, const std::string& dialog, const char* readFailureWarning);
