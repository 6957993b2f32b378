// The add-in's cloud client and the session it signs in with, for as long as
// Creo keeps the add-in loaded. The add-in makes one when it starts and ends it
// when it stops; the accessors below reach it.
#pragma once

#include <functional>
#include <memory>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "core/sole_instance.h"

class CloudConnection {
 public:
  static constexpr const char* kKindName = "The cloud connection";
  using ClientFactory = std::function<std::shared_ptr<INorvaneClient>()>;

  // The client is made by `makeClient` on first use. Throws std::logic_error
  // when another connection is live.
  explicit CloudConnection(ClientFactory makeClient);
  ~CloudConnection();
  CloudConnection(const CloudConnection&) = delete;
  CloudConnection& operator=(const CloudConnection&) = delete;

  // Makes the client on first use; throws when that fails and tries again on
  // the next call. The client follows later changes of the add-in's log level.
  std::shared_ptr<INorvaneClient> client();
  // The client if one was made, else empty; never makes one.
  std::shared_ptr<INorvaneClient> madeClient() const { return client_; }
  SessionManager& sessionManager() { return sessionManager_; }

 private:
  ClientFactory makeClient_;
  // Made on Creo's UI thread before any sign-in thread runs; afterwards only read.
  std::shared_ptr<INorvaneClient> client_;
  SessionManager sessionManager_;
  SoleInstance<CloudConnection> registration_{this};
};

// The client Creo's add-in talks through: the packaged library, loaded and initialized.
std::shared_ptr<INorvaneClient> makeLibraryClient();

// The live connection's client and session manager; they throw
// std::logic_error when the add-in is not started.
std::shared_ptr<INorvaneClient> getNorvaneClient();
SessionManager& getSessionManager();
// The live connection's client if it made one, else empty; never throws.
std::shared_ptr<INorvaneClient> peekNorvaneClient();
