// The Creo session: current model, loaded models, windows and the embedded
// browser, configuration options, Windchill workspace copies and the ribbon.
#pragma once

#include "host/pfc_model.h"

enum pfcCreoCompatibility { pfcC3Compatible = 3, pfcC4Compatible = 4 };

class pfcWindow : public virtual xobject {
 public:
  virtual xint GetId() = 0;
  // Share of the window given to the embedded browser, in percent.
  virtual void SetBrowserSize(xreal size) = 0;
  virtual void SetURL(xrstring url) = 0;
};
using pfcWindow_ptr = xrcptr<pfcWindow>;

class pfcActionListener : public virtual xobject {};
class pfcApplicationCallback : public virtual xobject {};

// The action of a ribbon command; the toolkit owns it once the command is created.
class pfcUICommandActionListener : public virtual pfcActionListener, public virtual pfcApplicationCallback {
 public:
  virtual void OnCommand() = 0;
};
using pfcUICommandActionListener_ptr = xrcptr<pfcUICommandActionListener>;

class pfcUICommand : public virtual xobject {
 public:
  virtual void Designate(xrstring messageFile, xrstring labelKey, xrstring helpKey,
                         xrstring descriptionKey) = 0;
  virtual void SetIcon(xrstring iconFile) = 0;
};
using pfcUICommand_ptr = xrcptr<pfcUICommand>;

class pfcBaseSession : public virtual xobject {
 public:
  // Null when no model is current.
  virtual pfcModel_ptr GetCurrentModel() = 0;
  virtual pfcModels_ptr ListModels() = 0;
  // Null when the model is not in session.
  virtual pfcModel_ptr GetModelFromDescr(const pfcModelDescriptor_ptr& descr) = 0;
  // Loads the model from disk; throws when it cannot.
  virtual pfcModel_ptr RetrieveModel(const pfcModelDescriptor_ptr& descr) = 0;
  // Null when the model has no window.
  virtual pfcWindow_ptr GetModelWindow(const pfcModel_ptr& model) = 0;
  virtual pfcWindow_ptr GetCurrentWindow() = 0;
  virtual void SetCurrentWindow(const pfcWindow_ptr& window) = 0;
  // Empty when the option is not set. Both throw pfcXToolkitNotFound for an option
  // Creo does not know; setting throws pfcXToolkitLineTooLong for a value too long.
  virtual xstring GetConfigOption(xrstring name) = 0;
  virtual void SetConfigOption(xrstring name, xrstring value) = 0;
  // Copies a workspace file (by its "wtws://" or "wtpub://" origin) into a directory.
  virtual void CopyFileFromWS(xrstring sourceFile, xrstring targetDirectory) = 0;
};

class pfcSession : public virtual pfcBaseSession {
 public:
  virtual void RibbonDefinitionfileLoad(xrstring fileName) = 0;
  // The handle may be made from an action made with new; the session keeps it from then on.
  virtual pfcUICommand_ptr UICreateCommand(xrstring name, const pfcUICommandActionListener_ptr& action) = 0;
  TAVIX_TOOLKIT_CAST(pfcSession)
};
using pfcSession_ptr = xrcptr<pfcSession>;

class wfcWSession : public virtual pfcSession {
 public:
  virtual xstring GetDisplayDateCode() = 0;
  TAVIX_TOOLKIT_CAST(wfcWSession)
};
using wfcWSession_ptr = xrcptr<wfcWSession>;

// Null when there is no session.
pfcSession_ptr pfcGetCurrentSessionWithCompatibility(pfcCreoCompatibility compatibility);
