#include "fault_injector.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "thrown_toolkit_errors.h"

namespace creosim {

const std::vector<std::string>& FaultInjector::operations() {
  static const std::vector<std::string> names = {
      // Free functions.
      "pfcGetCurrentSessionWithCompatibility", "ProMdlnameInit", "ProAsmcompIsEmbedded", "uifcCreateDialog", "uifcActivateDialog",
      "uifcExitDialog", "uifcDestroyDialog", "uifcDialogFind", "uifcLabelFind", "uifcPushButtonFind",
      "uifcLayoutFind", "uifcOptionMenuFind",
      // The session, its windows and the ribbon.
      "pfcBaseSession::GetCurrentModel", "pfcBaseSession::ListModels", "pfcBaseSession::GetModelFromDescr",
      "pfcBaseSession::RetrieveModel", "pfcBaseSession::GetModelWindow", "pfcBaseSession::GetCurrentWindow",
      "pfcBaseSession::SetCurrentWindow", "pfcBaseSession::GetConfigOption", "pfcBaseSession::SetConfigOption",
      "pfcBaseSession::CopyFileFromWS", "pfcSession::RibbonDefinitionfileLoad", "pfcSession::UICreateCommand",
      "wfcWSession::GetDisplayDateCode", "pfcUICommand::Designate", "pfcUICommand::SetIcon", "pfcWindow::GetId",
      "pfcWindow::SetBrowserSize", "pfcWindow::SetURL",
      // Models and their structure.
      "pfcModel::GetType", "pfcModel::GetFileName", "pfcModel::GetOrigin", "pfcModel::GetInstanceName",
      "pfcModel::GetIsModified", "pfcModel::GetVersionStamp", "pfcModel::GetRevision", "pfcModel::GetVersion",
      "pfcModel::GetDescr", "pfcModel::Backup", "pfcModel::Export", "pfcParameterOwner::GetParam",
      "pfcBaseParameter::GetValue", "pfcParamValue::Getdiscr", "pfcParamValue::GetStringValue",
      "pfcFamilyMember::GetImmediateGenericInfo", "pfcFamilyMember::ListRows", "pfcFamilyMember::GetParent",
      "pfcFamilyTableRow::GetInstanceName", "pfcSolid::ListFeaturesByType", "pfcSolid::GetActiveSimpRep",
      "pfcSimpRep::GetSimpRepType", "pfcFeature::GetFeatType", "pfcFeature::GetStatus", "pfcFeature::GetId",
      "pfcComponentFeat::GetModelDescr",
      // Dialog components.
      "uifcComponent::GetDialog", "uifcComponent::GetComponent", "uifcComponent::SetVisible",
      "uifcComponent::GetVisible", "uifcDialog::AddActionListener", "uifcDialog::SetDialogStyle",
      "uifcLabel::SetText", "uifcLabel::SetImage", "uifcPushButton::SetText", "uifcPushButton::SetEnabled",
      "uifcPushButton::SetBackgroundColor", "uifcPushButton::AddActionListener", "uifcLayout::SetDoesReserveSpace",
      "uifcOptionMenu::SetItemNameArray", "uifcOptionMenu::SetItemLabelArray",
      "uifcOptionMenu::GetSelectedItemNameArray", "uifcOptionMenu::AddActionListener",
  };
  return names;
}

std::vector<std::string> FaultInjector::exceptions() {
  std::vector<std::string> names(std::begin(kToolkitErrorClassNames), std::end(kToolkitErrorClassNames));
  names.push_back(kProcessorFaultName);
  return names;
}

void FaultInjector::failNext(const std::string& operation, const std::string& exceptionClass, int count, int skip) {
  const std::vector<std::string>& known = operations();
  if (std::find(known.begin(), known.end(), operation) == known.end())
    throw std::invalid_argument("unknown operation: " + operation);
  const std::vector<std::string> raisable = exceptions();
  if (std::find(raisable.begin(), raisable.end(), exceptionClass) == raisable.end())
    throw std::invalid_argument("unknown exception: " + exceptionClass);
  std::lock_guard lock(mutex_);
  faults_[operation] = Fault{exceptionClass, count, skip};
  updateActive();
}

void FaultInjector::runAfterCalls(int calls, std::function<void()> action) {
  std::lock_guard lock(mutex_);
  pendingAction_ = std::move(action);
  callsBeforeAction_ = calls;
  updateActive();
}

bool FaultInjector::actionPending() const {
  std::lock_guard lock(mutex_);
  return static_cast<bool>(pendingAction_);
}

void FaultInjector::clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
  pendingAction_ = nullptr;
  fired_.store(0);
  updateActive();
}

void FaultInjector::recordCalls(bool on) {
  std::lock_guard lock(mutex_);
  recording_ = on;
  if (on) calls_.clear();
  updateActive();
}

std::map<std::string, int> FaultInjector::callCounts() const {
  std::lock_guard lock(mutex_);
  return {calls_.begin(), calls_.end()};
}

void FaultInjector::updateActive() {
  active_.store(recording_ || !faults_.empty() || pendingAction_, std::memory_order_release);
}

void FaultInjector::noteOffThreadCall(std::string_view operation) {
  std::lock_guard lock(mutex_);
  if (offThreadOperations_.find(operation) == offThreadOperations_.end()) offThreadOperations_.emplace(operation);
}

std::vector<std::string> FaultInjector::offThreadCalls() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  for (const std::string& operation : offThreadOperations_)
    lines.push_back("the add-in called " + operation + " from a thread other than Creo's user-interface thread");
  return lines;
}

void FaultInjector::check(std::string_view operation) {
  if (std::this_thread::get_id() != userInterfaceThread_) noteOffThreadCall(operation);
  if (!active_.load(std::memory_order_acquire)) return;
  std::string exceptionClass;
  std::function<void()> action;
  {
    std::lock_guard lock(mutex_);
    if (recording_) {
      auto counted = calls_.find(operation);
      if (counted == calls_.end()) counted = calls_.emplace(operation, 0).first;
      ++counted->second;
    }
    if (pendingAction_ && callsBeforeAction_-- == 0) {
      action = std::move(pendingAction_);
      pendingAction_ = nullptr;
      updateActive();
    }
  }
  if (action) action();
  {
    std::lock_guard lock(mutex_);
    auto it = faults_.find(operation);
    if (it == faults_.end()) return;
    if (it->second.skip > 0) {
      --it->second.skip;
      return;
    }
    exceptionClass = it->second.exceptionClass;
    if (it->second.remaining > 0 && --it->second.remaining == 0) faults_.erase(it);
    updateActive();
  }
  fired_.fetch_add(1);
  if (exceptionClass == kProcessorFaultName) throw SimulatedProcessorFault{};
  throwToolkitError(exceptionClass, std::string(operation));
}

}  // namespace creosim
