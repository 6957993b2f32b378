#include "cloud/client_provider.h"

#include "cloud/norvane_client_adapter.h"
#include "cloud/norvane_instance.h"
#include "core/log.h"

namespace {

// Written on the UI thread before any sign-in thread exists; afterwards only read.
std::shared_ptr<INorvaneClient>& sharedClient() {
  static std::shared_ptr<INorvaneClient> client;
  return client;
}

// The client starts at the level current when it is created; this hands it
// every later change.
void holdClient(std::shared_ptr<INorvaneClient> client) {
  sharedClient() = std::move(client);
  setLogLevelListener([](LogLevel level) {
    if (const auto& held = sharedClient()) held->setLogLevel(logLevelName(level));
  });
}

}  // namespace

std::shared_ptr<INorvaneClient> getNorvaneClient() {
  if (!sharedClient()) holdClient(std::make_shared<NorvaneClientAdapter>(createNorvaneInstance()));
  return sharedClient();
}

std::shared_ptr<INorvaneClient> peekNorvaneClient() { return sharedClient(); }

SessionManager& getSessionManager() {
  static SessionManager manager;
  return manager;
}

void setNorvaneClientForTesting(std::shared_ptr<INorvaneClient> client) { holdClient(std::move(client)); }
