#include "cloud/cloud_connection.h"

#include "cloud/norvane_client_adapter.h"
#include "cloud/norvane_instance.h"
#include "core/log.h"

CloudConnection::CloudConnection(ClientFactory makeClient) : makeClient_(std::move(makeClient)) {}

CloudConnection::~CloudConnection() {
  if (client_) setLogLevelListener(nullptr);
}

std::shared_ptr<INorvaneClient> CloudConnection::client() {
  if (client_) return client_;
  client_ = makeClient_();
  // The client starts at the level current when it is made; this hands it every later change.
  setLogLevelListener([client = client_](LogLevel level) { client->setLogLevel(logLevelName(level)); });
  return client_;
}

std::shared_ptr<INorvaneClient> makeLibraryClient() {
  return std::make_shared<NorvaneClientAdapter>(createNorvaneInstance());
}

std::shared_ptr<INorvaneClient> getNorvaneClient() { return SoleInstance<CloudConnection>::get().client(); }

SessionManager& getSessionManager() { return SoleInstance<CloudConnection>::get().sessionManager(); }

std::shared_ptr<INorvaneClient> peekNorvaneClient() {
  const CloudConnection* live = SoleInstance<CloudConnection>::find();
  return live ? live->madeClient() : nullptr;
}
