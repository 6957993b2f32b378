// The simulated Creo session. Every toolkit operation first asks the fault
// injector (named "<class>::<operation>", e.g. "pfcBaseSession::GetModelWindow"),
// then forwards to the part of the simulator that owns it: the model store
// (models, options, Windchill workspaces), the window system (windows and the
// embedded browser) and the ribbon.
#pragma once

#include <string>

#include "host/pfc_session.h"

namespace creosim {

class FaultInjector;
class ModelStore;
class WindowSystem;
class Ribbon;

class SimSession : public wfcWSession {
 public:
  SimSession(FaultInjector& faults, ModelStore& models, WindowSystem& windows, Ribbon& ribbon,
             std::string dateCode);

  pfcModel_ptr GetCurrentModel() override;
  pfcModels_ptr ListModels() override;
  pfcModel_ptr GetModelFromDescr(const pfcModelDescriptor_ptr& descr) override;
  pfcModel_ptr RetrieveModel(const pfcModelDescriptor_ptr& descr) override;
  pfcWindow_ptr GetModelWindow(const pfcModel_ptr& model) override;
  pfcWindow_ptr GetCurrentWindow() override;
  void SetCurrentWindow(const pfcWindow_ptr& window) override;
  xstring GetConfigOption(xrstring name) override;
  void SetConfigOption(xrstring name, xrstring value) override;
  void CopyFileFromWS(xrstring sourceFile, xrstring targetDirectory) override;
  void RibbonDefinitionfileLoad(xrstring fileName) override;
  pfcUICommand_ptr UICreateCommand(xrstring name, const pfcUICommandActionListener_ptr& action) override;
  xstring GetDisplayDateCode() override;

 private:
  FaultInjector& faults_;
  ModelStore& models_;
  WindowSystem& windows_;
  Ribbon& ribbon_;
  std::string dateCode_;
};

}  // namespace creosim
