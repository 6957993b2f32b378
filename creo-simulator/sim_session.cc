#include "sim_session.h"

#include "fault_injector.h"
#include "model_store.h"
#include "ribbon.h"
#include "sim_text.h"
#include "window_system.h"

namespace creosim {

SimSession::SimSession(FaultInjector& faults, ModelStore& models, WindowSystem& windows, Ribbon& ribbon,
                       std::string dateCode)
    : faults_(faults), models_(models), windows_(windows), ribbon_(ribbon), dateCode_(std::move(dateCode)) {}

pfcModel_ptr SimSession::GetCurrentModel() {
  faults_.check("pfcBaseSession::GetCurrentModel");
  return models_.currentModel();
}
pfcModels_ptr SimSession::ListModels() {
  faults_.check("pfcBaseSession::ListModels");
  return models_.listModels();
}
pfcModel_ptr SimSession::GetModelFromDescr(const pfcModelDescriptor_ptr& descr) {
  faults_.check("pfcBaseSession::GetModelFromDescr");
  return models_.modelFromDescr(descr);
}
pfcModel_ptr SimSession::RetrieveModel(const pfcModelDescriptor_ptr& descr) {
  faults_.check("pfcBaseSession::RetrieveModel");
  return models_.retrieveModel(descr);
}
pfcWindow_ptr SimSession::GetModelWindow(const pfcModel_ptr& model) {
  faults_.check("pfcBaseSession::GetModelWindow");
  return windows_.modelWindow(model);
}
pfcWindow_ptr SimSession::GetCurrentWindow() {
  faults_.check("pfcBaseSession::GetCurrentWindow");
  return windows_.currentWindow();
}
void SimSession::SetCurrentWindow(const pfcWindow_ptr& window) {
  faults_.check("pfcBaseSession::SetCurrentWindow");
  windows_.setCurrentWindow(window);
}
xstring SimSession::GetConfigOption(xrstring name) {
  faults_.check("pfcBaseSession::GetConfigOption");
  return xstringOf(models_.configOption(textOf(name)));
}
void SimSession::SetConfigOption(xrstring name, xrstring value) {
  faults_.check("pfcBaseSession::SetConfigOption");
  models_.setConfigOption(textOf(name), textOf(value));
}
void SimSession::CopyFileFromWS(xrstring sourceFile, xrstring targetDirectory) {
  faults_.check("pfcBaseSession::CopyFileFromWS");
  models_.copyFileFromWorkspace(textOf(sourceFile), textOf(targetDirectory));
}
void SimSession::RibbonDefinitionfileLoad(xrstring fileName) {
  faults_.check("pfcSession::RibbonDefinitionfileLoad");
  ribbon_.loadDefinitionFile(textOf(fileName));
}
pfcUICommand_ptr SimSession::UICreateCommand(xrstring name, const pfcUICommandActionListener_ptr& action) {
  faults_.check("pfcSession::UICreateCommand");
  return ribbon_.createCommand(textOf(name), action);
}
xstring SimSession::GetDisplayDateCode() {
  faults_.check("wfcWSession::GetDisplayDateCode");
  return xstringOf(dateCode_);
}

}  // namespace creosim
