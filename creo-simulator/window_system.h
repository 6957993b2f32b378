// Creo's windows and the embedded browser each window carries.
#pragma once

#include "host/pfc_session.h"

namespace creosim {

class WindowSystem {
 public:
  pfcWindow_ptr modelWindow(const pfcModel_ptr& model);
  pfcWindow_ptr currentWindow();
  void setCurrentWindow(const pfcWindow_ptr& window);

 private:
  pfcWindow_ptr current_;
};

}  // namespace creosim
