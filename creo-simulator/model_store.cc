#include "model_store.h"

#include <stdexcept>

#include "fault_injector.h"
#include "host/toolkit_errors.h"
#include "session_description.h"
#include "sim_text.h"

namespace fs = std::filesystem;

namespace creosim {

ModelStore::ModelStore(FaultInjector& faults) : faults_(faults) {}
ModelStore::~ModelStore() = default;

void ModelStore::load(const SessionDescription& description) {
  for (const SimWorkspace& workspace : description.workspaces) addWorkspace(workspace);
  for (const SimModelDefinition& model : description.models) addModel(model);
  for (const auto& [name, value] : description.configOptions) configOptions_[name] = value;
  if (!description.currentModel.empty()) setCurrentModel(description.currentModel);
}

void ModelStore::addWorkspace(SimWorkspace workspace) {
  std::string name = workspace.name;
  workspaces_[name] = std::move(workspace);
}

pfcModel_ptr ModelStore::addModel(SimModelDefinition definition) {
  if (definition.name.empty()) throw std::invalid_argument("a simulated model needs a name");
  std::string key = asciiLower(definition.name);
  if (models_.count(key)) throw std::invalid_argument("model described twice: " + definition.name);
  pfcModel_ptr handle = makeSimModel(*this, std::move(definition));
  SimModelCommon* model = simModelOf(handle);
  models_.emplace(key, Entry{handle, model});
  if (model->loaded()) loadOrder_.push_back(key);
  return handle;
}

void ModelStore::setCurrentModel(const std::string& name) {
  if (!name.empty() && !entry(name)) throw std::invalid_argument("no such model: " + name);
  currentModel_ = asciiLower(name);
}

const ModelStore::Entry* ModelStore::entry(const std::string& name) const { return entryByKey(asciiLower(name)); }

const ModelStore::Entry* ModelStore::entryByKey(const std::string& key) const {
  auto it = models_.find(key);
  return it == models_.end() ? nullptr : &it->second;
}

pfcModel_ptr ModelStore::model(const std::string& name) const {
  const Entry* found = entry(name);
  return found ? found->handle : nullptr;
}

SimModelCommon* ModelStore::find(const std::string& name) const {
  const Entry* found = entry(name);
  return found ? found->model : nullptr;
}

void ModelStore::setModified(const std::string& name, bool modified) {
  SimModelCommon* found = find(name);
  if (!found) throw std::invalid_argument("no such model: " + name);
  found->setModified(modified);
}

const SimWorkspace* ModelStore::workspace(const std::string& name) const {
  auto it = workspaces_.find(name);
  return it == workspaces_.end() ? nullptr : &it->second;
}

pfcModel_ptr ModelStore::currentModel() {
  const Entry* found = currentModel_.empty() ? nullptr : entry(currentModel_);
  return found && found->model->loaded() ? found->handle : nullptr;
}

pfcModels_ptr ModelStore::listModels() {
  auto models = pfcModels::create();
  for (const std::string& key : loadOrder_) models->append(models_.at(key).handle);
  return models;
}

std::string ModelStore::keyOf(const pfcModelDescriptor_ptr& descr) {
  return asciiLower(textOf(descr->GetInstanceName())) + extensionOfType(descr->GetType());
}

pfcModel_ptr ModelStore::modelFromDescr(const pfcModelDescriptor_ptr& descr) {
  if (!descr) throw new pfcXToolkitBadContext("pfcBaseSession::GetModelFromDescr");
  const Entry* found = entryByKey(keyOf(descr));
  return found && found->model->loaded() ? found->handle : nullptr;
}

pfcModel_ptr ModelStore::retrieveModel(const pfcModelDescriptor_ptr& descr) {
  if (!descr) throw new pfcXToolkitBadContext("pfcBaseSession::RetrieveModel");
  return retrieve(keyOf(descr), "pfcBaseSession::RetrieveModel");
}

pfcModel_ptr ModelStore::retrieve(const std::string& name, const char* operation) {
  const Entry* found = entry(name);
  if (!found) throw new pfcXToolkitNotFound(operation);
  if (found->model->loaded()) return found->handle;
  std::error_code ec;
  fs::path file = found->model->filePath();
  if (file.empty() || !fs::is_regular_file(file, ec)) throw new pfcXToolkitCantOpen(operation);
  found->model->setLoaded(true);
  loadOrder_.push_back(found->model->key());
  return found->handle;
}

std::string ModelStore::configOption(const std::string& name) {
  auto it = configOptions_.find(name);
  return it == configOptions_.end() ? std::string() : it->second;
}
void ModelStore::setConfigOption(const std::string& name, const std::string& value) { configOptions_[name] = value; }

// The workspace is named by the origin's first segment and the file by its last,
// cut before a "|"; the file lands in the target directory under that name.
void ModelStore::copyFileFromWorkspace(const std::string& origin, const std::string& targetDirectory) {
  const char* operation = "pfcBaseSession::CopyFileFromWS";
  size_t schemeEnd = origin.find("://");
  if (schemeEnd == std::string::npos) throw new pfcXToolkitInvalidFile(operation);
  std::string scheme = origin.substr(0, schemeEnd);
  size_t nameStart = schemeEnd + 3;
  size_t nameEnd = origin.find('/', nameStart);
  if ((scheme != "wtws" && scheme != "wtpub") || nameEnd == std::string::npos) throw new pfcXToolkitInvalidFile(operation);
  const SimWorkspace* space = workspace(origin.substr(nameStart, nameEnd - nameStart));
  std::string fileName = origin.substr(origin.rfind('/') + 1);
  fileName = fileName.substr(0, fileName.find('|'));
  if (!space || fileName.empty() || fileName == "." || fileName == ".." ||
      fileName.find_first_of("\\:") != std::string::npos)
    throw new pfcXToolkitInvalidFile(operation);

  std::error_code ec;
  fs::path source = space->cacheDirectory / pathOf(fileName);
  if (!fs::is_regular_file(source, ec)) throw new pfcXToolkitInvalidFile(operation);
  fs::path target = pathOf(targetDirectory);
  if (targetDirectory.empty() || !fs::is_directory(target, ec)) throw new pfcXToolkitInvalidDir(operation);
  if (workspaceCopiesVanish_) return;
  if (!fs::copy_file(source, target / pathOf(fileName), fs::copy_options::overwrite_existing, ec))
    throw new pfcXToolkitCantAccess(operation);
  ++workspaceCopies_;
}

}  // namespace creosim
