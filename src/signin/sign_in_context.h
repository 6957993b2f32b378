// What sign-in keeps while Creo has the add-in loaded: the state its dialogs
// share across presses of the ribbon button and the threads it runs. The
// add-in makes one when it starts and ends it when it stops; the accessors
// below reach it.
#pragma once

#include <chrono>

#include "core/sole_instance.h"
#include "signin/auth_flow_runner.h"
#include "signin/sign_in_state.h"

struct SignInContext {
  static constexpr const char* kKindName = "The sign-in context";
  // How long the first Loading dialog of a Creo session stays up.
  static constexpr std::chrono::seconds kFirstLoadingDelay{3};

  // With no delay, every Loading dialog closes at once. Throws
  // std::logic_error when another context is live.
  explicit SignInContext(std::chrono::nanoseconds firstLoadingDelay = kFirstLoadingDelay);

  // Before Creo unloads the add-in: a waiting sign-in gives up and its thread
  // ends, and so does the Loading dialog's worker, within a bounded time.
  // False when one still runs: this context must then outlive the add-in's
  // unloading, since that thread still uses it. UI thread.
  bool endThreads();

  const std::chrono::nanoseconds firstLoadingDelay;
  SignInState state;
  ThreadAuthFlowRunner signIns;
  ThreadAuthFlowRunner loadingWorker;

 private:
  SoleInstance<SignInContext> registration_{this};
};

// The live context's parts; they throw std::logic_error when the add-in is not started.
SignInState& signInState();
// Runs the browser sign-in's completion.
ThreadAuthFlowRunner& signInRunner();
// Keeps the Loading dialog up for its delay.
ThreadAuthFlowRunner& loadingWorkerRunner();
std::chrono::nanoseconds firstLoadingDelay();
