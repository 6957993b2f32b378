// What every dialog that has them shows in its version and user e-mail labels.
#pragma once

#include <functional>
#include <string>

#include "ui/ui_facade.h"

inline constexpr const char* kGenericErrorUserEmailWarning = "Could not fetch user email for GenericError dialog.";
inline constexpr const char* kUploadFailedUserEmailWarning = "Could not fetch user email for UploadFailed dialog.";

// IntegrationVersionLabel reads "Version 1.0.0".
void showIntegrationVersion(UifcFacade& ui, const std::string& dialog);

// UserEmailLabel shows what `email` gives, "" when no user is signed in. If it
// throws, the warning is logged and the label keeps its text.
void showUserEmail(UifcFacade& ui, const std::string& dialog, const std::function<std::string()>& email,
                   const char* readFailureWarning);
