// State the sign-in dialogs share across presses of the ribbon button. The
// loading worker and the sign-in thread hand their results to Creo's UI thread
// only through the two atomics.
#pragma once

#include <atomic>
#include <cstdint>

// Set once by the first loading worker; later Loading dialogs close at once.
extern std::atomic<bool> loadingDoneFlag;
// 1 when a sign-in failed; the next Start dialog consumes it and shows SignInFailed.
extern std::atomic<int32_t> authFailureFlag;
// UI thread only: the user pressed Back to Sign In on SignInFailed.
extern bool backToSignInFlag;

// What the user is told when a sign-in did not complete.
inline constexpr const char* kSignInFailedMessage = "We couldn't sign you in. Please try again.";
