#include "dialog_system.h"

#include "host/toolkit_errors.h"

namespace creosim {

void DialogSystem::createDialog(const xstring&, const xstring&) { throw pfcXToolkitNotFound("uifcCreateDialog"); }
xint DialogSystem::activateDialog(const xstring&) { throw pfcXToolkitNotFound("uifcActivateDialog"); }
void DialogSystem::exitDialog(const xstring&, xint) { throw pfcXToolkitNotFound("uifcExitDialog"); }
void DialogSystem::destroyDialog(const xstring&) { throw pfcXToolkitNotFound("uifcDestroyDialog"); }
uifcDialog_ptr DialogSystem::findDialog(const xstring&, const xstring&) { throw pfcXToolkitNotFound("uifcDialogFind"); }
uifcLabel_ptr DialogSystem::findLabel(const xstring&, const xstring&) { throw pfcXToolkitNotFound("uifcLabelFind"); }
uifcPushButton_ptr DialogSystem::findPushButton(const xstring&, const xstring&) {
  throw pfcXToolkitNotFound("uifcPushButtonFind");
}
uifcLayout_ptr DialogSystem::findLayout(const xstring&, const xstring&) { throw pfcXToolkitNotFound("uifcLayoutFind"); }
uifcOptionMenu_ptr DialogSystem::findOptionMenu(const xstring&, const xstring&) {
  throw pfcXToolkitNotFound("uifcOptionMenuFind");
}

}  // namespace creosim
