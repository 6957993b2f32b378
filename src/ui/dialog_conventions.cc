#include "ui/dialog_conventions.h"

#include "core/log.h"

void showIntegrationVersion(UifcFacade& ui, const std::string& dialog) {
  ui.SetLabelText(dialog, "IntegrationVersionLabel", "Version " TAVIX_INTEGRATION_VERSION);
}

void showUserEmail(UifcFacade& ui, const std::string& dialog, const std::function<std::string()>& email,
                   const char* readFailureWarning) {
  std::string text;
  try {
    text = email();
  } catch (...) {
    logWarning(readFailureWarning);
    return;
  }
  ui.SetLabelText(dialog, "UserEmailLabel", text);
}
