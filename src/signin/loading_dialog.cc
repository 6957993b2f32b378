#include "signin/loading_dialog.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <thread>

#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "signin/sign_in_context.h"
#include "signin/start_dialog.h"
#include "ui/ui_facade.h"

namespace {

constexpr const char* kDialog = "Loading";
// How long an unloading add-in may wait for the worker to notice.
constexpr std::chrono::milliseconds kStopCheckInterval{20};

// Ends soon after the add-in is asked to unload: its code must not run, nor
// write to the log, once Creo has unloaded the add-in.
void runLoadingWorker(std::chrono::nanoseconds delay, std::atomic<bool>& done, StopRequest stop) {
  logDebug("Loading worker started.");
  const auto deadline = std::chrono::steady_clock::now() + delay;
  for (auto now = std::chrono::steady_clock::now(); now < deadline && !stop.requested();
       now = std::chrono::steady_clock::now())
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(kStopCheckInterval, deadline - now));
  if (stop.requested()) return;
  done.store(true);
  logDebug("Loading worker completed.");
}

void showLoading(UifcFacade& ui) {
  logDebug("Initializing loading dialog UI.");
  ui.CreateDialog(kDialog, kDialog);
  try {
    ui.ActivateDialog(kDialog);
    loadingWorkerRunner().run([delay = firstLoadingDelay(), &done = signInState().loadingDone](StopRequest stop) {
      runLoadingWorker(delay, done, stop);
    });
    // The dialog's working style makes each activation return on its own.
    while (!signInState().loadingDone.load()) ui.ActivateDialog(kDialog);
    ui.DestroyDialog(kDialog);
  } catch (...) {
    // A Loading dialog left behind would make the next press fail to create
    // one: a destruction that failed is tried once more.
    try {
      ui.DestroyDialog(kDialog);
    } catch (...) {
    }
    throw;
  }
  logDebug("Loading dialog closed.");
}

}  // namespace

void LoadingDialog::showDialog() {
  UifcFacade& ui = uiFacade();
  // Not being able to show Loading must not keep the user from signing in.
  try {
    if (const auto error = catchToolkitError([&] { showLoading(ui); })) {
      logError("Unhandled exception in LoadingDialog::showDialog: " + error->description());
    }
  } catch (const std::exception& e) {
    logError(std::string("Unhandled exception in LoadingDialog::showDialog: ") + e.what());
  } catch (...) {
    logError("Unhandled exception in LoadingDialog::showDialog: unknown exception");
  }
  logDebug("Launching StartDialog after loading.");
  StartDialog::showDialog();
}
