#include "ui/dialog_conventions.h"

#include <memory>

#include "cloud/client_provider.h"
#include "core/log.h"

void showIntegrationVersion(UifcFacade& ui, const std::string& dialog) {
  ui.SetLabelText(dialog, "IntegrationVersionLabel", "Version " TAVIX_INTEGRATION_VERSION);
}

void showCachedUserEmail(UifcFacade& ui, const std::string& dialog, const char* readFailureWarning) {
  std::string email;
  try {
    std::shared_ptr<const NorvaneUser> user = getSessionManager().getCachedUser();
    if (user) email = user->email;
  } catch (...) {
    logWarning(readFailureWarning);
    return;
  }
  ui.SetLabelText(dialog, "UserEmailLabel", email);
}
