#include "window_system.h"

namespace creosim {

pfcWindow_ptr WindowSystem::modelWindow(const pfcModel_ptr&) { return nullptr; }
pfcWindow_ptr WindowSystem::currentWindow() { return current_; }
void WindowSystem::setCurrentWindow(const pfcWindow_ptr& window) { current_ = window; }

}  // namespace creosim
