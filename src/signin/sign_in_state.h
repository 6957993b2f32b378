// What the sign-in dialogs share across presses of the ribbon button, for as
// long as the add-in is loaded. The loading worker and the sign-in thread hand
// their results to Creo's UI thread only through the two atomics.
#pragma once

#include <atomic>

struct SignInState {
  // Set once by the first loading worker; later Loading dialogs close at once.
  std::atomic<bool> loadingDone{false};
  // A sign-in failed; the next Start dialog consumes it and shows SignInFailed.
  std::atomic<bool> failed{false};
  // UI thread only: the user pressed Back to Sign In on SignInFailed.
  bool backToSignIn = false;
};

// What the user is told when a sign-in did not complete.
inline constexpr const char* kSignInFailedMessage = "We couldn't sign you in. Please try again.";
