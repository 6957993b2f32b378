// Creo's windows and the embedded browser each window carries. The process
// starts with one base window, which is current; opening a model's window makes
// that window current.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "embedded_browser.h"
#include "host/pfc_session.h"

namespace creosim {

class FaultInjector;

// A window. Its operations consult the fault injector as "pfcWindow::GetId",
// "pfcWindow::SetBrowserSize" and "pfcWindow::SetURL".
class SimWindow : public pfcWindow {
 public:
  SimWindow(FaultInjector& faults, EmbeddedBrowser& browser, xint id, pfcModel_ptr model);

  xint GetId() override;
  void SetBrowserSize(xreal size) override;
  void SetURL(xrstring url) override;

  xint id() const { return id_; }
  const pfcModel_ptr& model() const { return model_; }
  xreal browserSize() const;
  // The last address shown in this window's browser, empty when none.
  std::string url() const;

 private:
  FaultInjector& faults_;
  EmbeddedBrowser& browser_;
  const xint id_;
  const pfcModel_ptr model_;
  mutable std::mutex mutex_;
  xreal browserSize_ = 0.0;
  std::string url_;
};
using SimWindow_ptr = std::shared_ptr<SimWindow>;

class WindowSystem {
 public:
  explicit WindowSystem(FaultInjector& faults);

  // Opens a window showing the model and makes it current.
  SimWindow_ptr openWindow(const pfcModel_ptr& model);
  // Closes a window; when it was current, no window is current afterwards.
  void closeWindow(const pfcWindow_ptr& window);
  const SimWindow_ptr& baseWindow() const { return base_; }
  EmbeddedBrowser& browser() { return browser_; }

  // What the session's operations return: null when the model has no window,
  // or when no window is current.
  pfcWindow_ptr modelWindow(const pfcModel_ptr& model);
  pfcWindow_ptr currentWindow();
  // Throws pfcXToolkitNotFound for a window that is not open.
  void setCurrentWindow(const pfcWindow_ptr& window);

 private:
  FaultInjector& faults_;
  EmbeddedBrowser browser_;
  std::vector<SimWindow_ptr> windows_;
  SimWindow_ptr base_;
  SimWindow_ptr current_;
  xint nextId_ = 0;
};

}  // namespace creosim
