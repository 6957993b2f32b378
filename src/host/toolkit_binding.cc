// Forwards the free toolkit functions to the host that Creo handed over.
#include <atomic>

#include "host/creo_host.h"

namespace {
std::atomic<CreoHost*> g_host{nullptr};

CreoHost& host(const char* operation) {
  CreoHost* current = g_host.load();
  if (!current) throw new pfcXToolkitBadContext(operation);
  return *current;
}
}  // namespace

void setCreoHost(CreoHost* host) { g_host.store(host); }
CreoHost* creoHost() { return g_host.load(); }

pfcSession_ptr pfcGetCurrentSessionWithCompatibility(pfcCreoCompatibility compatibility) {
  return host("pfcGetCurrentSessionWithCompatibility").currentSession(compatibility);
}

// The C toolkit's calls report failures as codes, never by throwing.
ProError ProMdlnameInit(ProMdlName name, ProMdlfileType type, ProMdl* model) {
  if (!name || !model) return PRO_TK_BAD_INPUTS;
  CreoHost* current = g_host.load();
  if (!current) return PRO_TK_GENERAL_ERROR;
  return current->findModel(name, type, model);
}

ProError ProAsmcompIsEmbedded(ProAsmcomp* component, ProBoolean* isEmbedded) {
  if (!component || !component->owner || component->type != PRO_FEATURE || !isEmbedded) return PRO_TK_BAD_INPUTS;
  CreoHost* current = g_host.load();
  if (!current) return PRO_TK_GENERAL_ERROR;
  return current->isEmbeddedComponent(*component, isEmbedded);
}

void uifcCreateDialog(xrstring dialogName, xrstring resourceName) {
  host("uifcCreateDialog").createDialog(dialogName, resourceName);
}
xint uifcActivateDialog(xrstring dialogName) { return host("uifcActivateDialog").activateDialog(dialogName); }
void uifcExitDialog(xrstring dialogName, xint status) { host("uifcExitDialog").exitDialog(dialogName, status); }
void uifcDestroyDialog(xrstring dialogName) { host("uifcDestroyDialog").destroyDialog(dialogName); }

uifcDialog_ptr uifcDialogFind(xrstring dialogName, xrstring componentName) {
  return host("uifcDialogFind").findDialog(dialogName, componentName);
}
uifcLabel_ptr uifcLabelFind(xrstring dialogName, xrstring componentName) {
  return host("uifcLabelFind").findLabel(dialogName, componentName);
}
uifcPushButton_ptr uifcPushButtonFind(xrstring dialogName, xrstring componentName) {
  return host("uifcPushButtonFind").findPushButton(dialogName, componentName);
}
uifcLayout_ptr uifcLayoutFind(xrstring dialogName, xrstring componentName) {
  return host("uifcLayoutFind").findLayout(dialogName, componentName);
}
uifcOptionMenu_ptr uifcOptionMenuFind(xrstring dialogName, xrstring componentName) {
  return host("uifcOptionMenuFind").findOptionMenu(dialogName, componentName);
}
