#include "cloud/client_library_loader.h"

#include <stdexcept>

#include "core/log.h"
#include "core/module_directory.h"

void ensureClientLibraryLoaded() {
  uint32_t errorCode = 0;
  if (tryLoadClientLibrary(&errorCode)) return;
  const std::string message = clientLibraryLoadFailureMessage(moduleRelativePath(kClientLibraryFileName), errorCode);
  logError(message);
  throw std::runtime_error(message);
}
