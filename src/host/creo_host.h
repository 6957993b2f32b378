// The link between the toolkit calls the add-in makes and the Creo process that
// serves them. Creo (here: the simulator) hands its CreoHost to the add-in through
// user_initialize_plus before user_initialize runs; every free toolkit function
// forwards to it.
#pragma once

#include "host/pfc_session.h"
#include "host/toolkit_errors.h"
#include "host/uifc.h"

#if defined(_WIN32)
#define TAVIX_EXPORT __declspec(dllexport)
#else
#define TAVIX_EXPORT __attribute__((visibility("default")))
#endif

class CreoHost {
 public:
  virtual ~CreoHost() = default;

  virtual pfcSession_ptr currentSession(pfcCreoCompatibility compatibility) = 0;
  virtual ProError findModel(const wchar_t* name, ProMdlfileType type, ProMdl* model) = 0;
  virtual ProError isEmbeddedComponent(const ProAsmcomp& component, ProBoolean* isEmbedded) = 0;

  virtual void createDialog(xrstring dialogName, xrstring resourceName) = 0;
  virtual xint activateDialog(xrstring dialogName) = 0;
  virtual void exitDialog(xrstring dialogName, xint status) = 0;
  virtual void destroyDialog(xrstring dialogName) = 0;

  virtual uifcDialog_ptr findDialog(xrstring dialogName, xrstring componentName) = 0;
  virtual uifcLabel_ptr findLabel(xrstring dialogName, xrstring componentName) = 0;
  virtual uifcPushButton_ptr findPushButton(xrstring dialogName, xrstring componentName) = 0;
  virtual uifcLayout_ptr findLayout(xrstring dialogName, xrstring componentName) = 0;
  virtual uifcOptionMenu_ptr findOptionMenu(xrstring dialogName, xrstring componentName) = 0;
};

// The host the toolkit functions of this module forward to; null before
// user_initialize_plus and after user_terminate_plus. Without a host every
// toolkit call throws pfcXToolkitBadContext.
void setCreoHost(CreoHost* host);
CreoHost* creoHost();

// Called by Creo: hands over the host, then runs the add-in's own entry points.
extern "C" {
TAVIX_EXPORT int user_initialize_plus(CreoHost* host, int argc, char* argv[], char* version, char* build,
                                      wchar_t errbuf[80]);
TAVIX_EXPORT void user_terminate_plus();

// The add-in's application entry points.
TAVIX_EXPORT int user_initialize(int argc, char* argv[], char* version, char* build, wchar_t errbuf[80]);
TAVIX_EXPORT void user_terminate();
}
