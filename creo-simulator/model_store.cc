#include "model_store.h"

#include "host/toolkit_errors.h"

namespace creosim {

pfcModel_ptr ModelStore::currentModel() { return nullptr; }
pfcModels_ptr ModelStore::listModels() { return pfcModels::create(); }
pfcModel_ptr ModelStore::modelFromDescr(const pfcModelDescriptor_ptr&) { return nullptr; }
pfcModel_ptr ModelStore::retrieveModel(const pfcModelDescriptor_ptr&) {
  throw pfcXToolkitNotFound("pfcBaseSession::RetrieveModel");
}
xstring ModelStore::configOption(const xstring& name) {
  auto it = configOptions_.find(name);
  return it == configOptions_.end() ? xstring() : it->second;
}
void ModelStore::setConfigOption(const xstring& name, const xstring& value) { configOptions_[name] = value; }
void ModelStore::copyFileFromWorkspace(const xstring&, const xstring&) {
  throw pfcXToolkitInvalidFile("pfcBaseSession::CopyFileFromWS");
}

}  // namespace creosim
