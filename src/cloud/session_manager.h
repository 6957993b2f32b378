// The signed-in state: the tokens of the local authorization flow and a cached
// copy of the current user, shared by Creo's UI thread and the sign-in thread.
#pragma once

#include <memory>
#include <string>

#include "cloud/norvane_client.h"

class ISessionManager {
 public:
  virtual ~ISessionManager() = default;
  virtual void setTokens(NorvaneLocalAuthTokens tokens) = 0;
  // Empty when signed out.
  virtual std::shared_ptr<const NorvaneLocalAuthTokens> getTokens() const = 0;
  // Forgets the tokens and the cached user.
  virtual void clear() = 0;
  // Tokens with an empty access token count as signed out.
  virtual bool hasTokens() const = 0;
  virtual std::string getAccessToken() const = 0;
  virtual std::string getSecondToken() const = 0;
  virtual void setCurrentUser(NorvaneUser user) = 0;
  virtual std::shared_ptr<const NorvaneUser> getCachedUser() const = 0;
};

// Records are never changed in place: each store swaps in a new one, so a
// reader keeps a consistent snapshot for as long as it holds its copy. Every
// load and store of the pointers is atomic: the sign-in thread stores while
// the UI thread reads.
class SessionManager : public ISessionManager {
 public:
  void setTokens(NorvaneLocalAuthTokens tokens) override;
  std::shared_ptr<const NorvaneLocalAuthTokens> getTokens() const override;
  void clear() override;
  bool hasTokens() const override;
  std::string getAccessToken() const override;
  std::string getSecondToken() const override;
  void setCurrentUser(NorvaneUser user) override;
  std::shared_ptr<const NorvaneUser> getCachedUser() const override;

 private:
  // Touched only through std::atomic_load/std::atomic_store: libstdc++'s
  // std::atomic<std::shared_ptr> uses a lock the thread sanitizer cannot see.
  std::shared_ptr<const NorvaneLocalAuthTokens> tokens_;
  std::shared_ptr<const NorvaneUser> user_;
};
