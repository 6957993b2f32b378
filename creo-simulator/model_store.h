// Models in session and on disk, configuration options and Windchill workspaces.
// A model is known to the store from its description; it is in session while
// loaded, and a known model that is not loaded can be retrieved from its file.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "backup_versions.h"
#include "host/pfc_model.h"
#include "sim_model.h"
#include "sim_model_definition.h"

namespace creosim {

class FaultInjector;
struct SessionDescription;

class ModelStore {
 public:
  explicit ModelStore(FaultInjector& faults);
  ~ModelStore();
  ModelStore(const ModelStore&) = delete;
  ModelStore& operator=(const ModelStore&) = delete;

  // Building a session, in code or from a description.
  void load(const SessionDescription& description);
  void addWorkspace(SimWorkspace workspace);
  pfcModel_ptr addModel(SimModelDefinition definition);
  // The model the user is looking at; an empty name leaves none current.
  void setCurrentModel(const std::string& name);
  // Any known model by name, loaded or not; null when unknown.
  pfcModel_ptr model(const std::string& name) const;
  SimModelCommon* find(const std::string& name) const;
  // Whether the model is the one the user is looking at.
  bool isCurrent(const SimModelCommon& model) const { return model.loaded() && model.key() == currentModel_; }
  void setModified(const std::string& name, bool modified);

  // Workspace copies: how many CopyFileFromWS calls copied a file, and a switch
  // that makes CopyFileFromWS return without writing anything.
  int workspaceCopyCount() const { return workspaceCopies_; }
  void setWorkspaceCopiesVanish(bool vanish) { workspaceCopiesVanish_ = vanish; }
  // A switch that makes pfcModel::Export report success without writing the file.
  void setExportsVanish(bool vanish) { exportsVanish_ = vanish; }
  bool exportsVanish() const { return exportsVanish_; }

  FaultInjector& faults() { return faults_; }
  BackupVersions& backupVersions() { return backupVersions_; }

  // The toolkit's view, called by the session.
  pfcModel_ptr currentModel();
  pfcModels_ptr listModels();
  pfcModel_ptr modelFromDescr(const pfcModelDescriptor_ptr& descr);
  pfcModel_ptr retrieveModel(const pfcModelDescriptor_ptr& descr);
  // Loads a known model from its file; throws pfcXToolkitCantOpen without one.
  pfcModel_ptr retrieve(const std::string& name, const char* operation);
  std::string configOption(const std::string& name);
  void setConfigOption(const std::string& name, const std::string& value);
  void copyFileFromWorkspace(const std::string& origin, const std::string& targetDirectory);
  const SimWorkspace* workspace(const std::string& name) const;

 private:
  struct Entry {
    pfcModel_ptr handle;
    SimModelCommon* model;
  };
  const Entry* entry(const std::string& name) const;
  const Entry* entryByKey(const std::string& key) const;
  static std::string keyOf(const pfcModelDescriptor_ptr& descr);

  FaultInjector& faults_;
  std::unordered_map<std::string, Entry> models_;
  std::vector<std::string> loadOrder_;  // keys of loaded models, in the order they were loaded
  std::string currentModel_;
  std::map<std::string, SimWorkspace> workspaces_;
  std::map<std::string, std::string> configOptions_;
  int workspaceCopies_ = 0;
  bool workspaceCopiesVanish_ = false;
  bool exportsVanish_ = false;
  BackupVersions backupVersions_;
};

}  // namespace creosim
