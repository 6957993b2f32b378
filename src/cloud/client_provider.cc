#include "cloud/client_provider.h"

#include "cloud/norvane_client_adapter.h"
#include "cloud/norvane_instance.h"

namespace {

// Written on the UI thread before any sign-in thread exists; afterwards only read.
std::shared_ptr<INorvaneClient>& sharedClient() {
  static std::shared_ptr<INorvaneClient> client;
  return client;
}

}  // namespace

std::shared_ptr<INorvaneClient> getNorvaneClient() {
  std::shared_ptr<INorvaneClient>& client = sharedClient();
  if (!client) client = std::make_shared<NorvaneClientAdapter>(NorvaneInstance::get());
  return client;
}

std::shared_ptr<INorvaneClient> peekNorvaneClient() { return sharedClient(); }

ISessionManager& getSessionManager() {
  static SessionManager manager;
  return manager;
}

void setNorvaneClientForTesting(std::shared_ptr<INorvaneClient> client) { sharedClient() = std::move(client); }
