// The signed-in state: the tokens of the local authorization flow and a cached
// copy of the current user, shared by Creo's UI thread and the sign-in thread.
#pragma once

#include <memory>
#include <string>

#include "cloud/norvane_client.h"

// Records are never changed in place: each store swaps in a new one, so a
// reader keeps a consistent snapshot for as long as it holds its copy. Every
// load and store of the pointers is atomic: the sign-in thread stores while
// the UI thread reads.
class SessionManager {
 public:
  void setTokens(NorvaneLocalAuthTokens tokens);
  // Empty when signed out.
  std::shared_ptr<const NorvaneLocalAuthTokens> getTokens() const;
  // Forgets the tokens and the cached user.
  void clear();
  // Tokens with an empty access token count as signed out.
  bool hasTokens() const;
  std::string getAccessToken() const;
  std::string getSecondToken() const;
  void setCurrentUser(NorvaneUser user);
  std::shared_ptr<const NorvaneUser> getCachedUser() const;

 private:
  // Touched only through std::atomic_load/std::atomic_store: libstdc++'s
  // std::atomic<std::shared_ptr> uses a lock the thread sanitizer cannot see.
  std::shared_ptr<const NorvaneLocalAuthTokens> tokens_;
  std::shared_ptr<const NorvaneUser> user_;
};
