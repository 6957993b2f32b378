#include "window_system.h"

#include <algorithm>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "sim_text.h"

namespace creosim {

SimWindow::SimWindow(FaultInjector& faults, EmbeddedBrowser& browser, xint id, pfcModel_ptr model)
    : faults_(faults), browser_(browser), id_(id), model_(std::move(model)) {}

xint SimWindow::GetId() {
  faults_.check("pfcWindow::GetId");
  return id_;
}

void SimWindow::SetBrowserSize(xreal size) {
  faults_.check("pfcWindow::SetBrowserSize");
  if (size < 0.0 || size > 100.0) throw new pfcXToolkitBadContext("pfcWindow::SetBrowserSize");
  std::lock_guard lock(mutex_);
  browserSize_ = size;
}

void SimWindow::SetURL(xrstring url) {
  faults_.check("pfcWindow::SetURL");
  {
    std::lock_guard lock(mutex_);
    url_ = textOf(url);
  }
  browser_.navigate(id_, textOf(url));
}

xreal SimWindow::browserSize() const {
  std::lock_guard lock(mutex_);
  return browserSize_;
}

std::string SimWindow::url() const {
  std::lock_guard lock(mutex_);
  return url_;
}

WindowSystem::WindowSystem(FaultInjector& faults) : faults_(faults) {
  base_ = std::make_shared<SimWindow>(faults_, browser_, nextId_++, nullptr);
  windows_.push_back(base_);
  current_ = base_;
}

SimWindow_ptr WindowSystem::openWindow(const pfcModel_ptr& model) {
  auto window = std::make_shared<SimWindow>(faults_, browser_, nextId_++, model);
  windows_.push_back(window);
  current_ = window;
  return window;
}

void WindowSystem::closeWindow(const pfcWindow_ptr& window) {
  std::erase_if(windows_, [&](const SimWindow_ptr& open) { return open.get() == window; });
  if (current_.get() == window) current_.reset();
}

pfcWindow_ptr WindowSystem::modelWindow(const pfcModel_ptr& model) {
  if (!model) return nullptr;
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const SimWindow_ptr& window) { return window->model() == model; });
  return found == windows_.end() ? nullptr : found->get();
}

pfcWindow_ptr WindowSystem::currentWindow() { return current_.get(); }

void WindowSystem::setCurrentWindow(const pfcWindow_ptr& window) {
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const SimWindow_ptr& open) { return open.get() == window; });
  if (found == windows_.end()) throw new pfcXToolkitNotFound("pfcBaseSession::SetCurrentWindow");
  current_ = *found;
}

}  // namespace creosim
