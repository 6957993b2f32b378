// Dialogs built from the add-in's dialog resources, run by a scripted or a
// terminal user.
#pragma once

#include "host/uifc.h"

namespace creosim {

class DialogSystem {
 public:
  void createDialog(const xstring& dialogName, const xstring& resourceName);
  xint activateDialog(const xstring& dialogName);
  void exitDialog(const xstring& dialogName, xint status);
  void destroyDialog(const xstring& dialogName);
  uifcDialog_ptr findDialog(const xstring& dialogName, const xstring& componentName);
  uifcLabel_ptr findLabel(const xstring& dialogName, const xstring& componentName);
  uifcPushButton_ptr findPushButton(const xstring& dialogName, const xstring& componentName);
  uifcLayout_ptr findLayout(const xstring& dialogName, const xstring& componentName);
  uifcOptionMenu_ptr findOptionMenu(const xstring& dialogName, const xstring& componentName);
};

}  // namespace creosim
