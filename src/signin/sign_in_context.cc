#include "signin/sign_in_context.h"

#include "cloud/cloud_connection.h"
#include "core/log.h"

namespace {

// Long enough for a cancelled wait to notice (a tenth of a second) and for a
// token exchange already under way to end; Creo's unload waits this long at most.
constexpr std::chrono::seconds kUnloadWait{10};

}  // namespace

SignInContext::SignInContext(std::chrono::nanoseconds firstLoadingDelay) : firstLoadingDelay(firstLoadingDelay) {
  state.loadingDone.store(firstLoadingDelay <= std::chrono::nanoseconds::zero());
}

bool SignInContext::endThreads() {
  // Stop first, so that the waiting thread takes the library's cancellation for one.
  signIns.requestStop();
  loadingWorker.requestStop();
  if (const auto client = peekNorvaneClient()) client->localAuthFlowCancel();
  const bool signInsEnded = signIns.waitForAll(kUnloadWait);
  if (!signInsEnded) logWarning("Sign-in thread still running at termination.");
  const bool loadingEnded = loadingWorker.waitForAll(kUnloadWait);
  if (!loadingEnded) logWarning("Loading worker still running at termination.");
  return signInsEnded && loadingEnded;
}

SignInState& signInState() { return SoleInstance<SignInContext>::get().state; }
ThreadAuthFlowRunner& signInRunner() { return SoleInstance<SignInContext>::get().signIns; }
ThreadAuthFlowRunner& loadingWorkerRunner() { return SoleInstance<SignInContext>::get().loadingWorker; }
std::chrono::nanoseconds firstLoadingDelay() { return SoleInstance<SignInContext>::get().firstLoadingDelay; }
