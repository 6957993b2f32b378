// Simulated models. Parts and assemblies are wfcWSolid / wfcWAssembly objects and
// drawings plain wfcWModel objects, so toolkit casts behave as in Creo (a drawing
// is not a pfcSolid). Every operation asks the fault injector first, then the
// model's own faults.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/pfc_model.h"
#include "sim_model_definition.h"

namespace creosim {

class ModelStore;
class SimModelCommon;

// A component feature of an assembly, referring to its model by name.
class SimComponentFeat : public pfcComponentFeat {
 public:
  SimComponentFeat(ModelStore& store, SimComponentDefinition definition, xint id);

  pfcFeatureType GetFeatType() override;
  pfcFeatureStatus GetStatus() override;
  xint GetId() override;
  pfcModelDescriptor_ptr GetModelDescr() override;

  const SimComponentDefinition& definition() const { return definition_; }

 private:
  ModelStore& store_;
  SimComponentDefinition definition_;
  xint id_;
  // The model named, once the store knows it: models are never removed.
  SimModelCommon* model_ = nullptr;
};

// What every simulated model shares, whichever toolkit class it presents.
class SimModelCommon {
 public:
  SimModelCommon(ModelStore& store, SimModelDefinition definition);
  virtual ~SimModelCommon() = default;

  const SimModelDefinition& definition() const { return definition_; }
  // Lower-cased name: the model's identity in the store.
  const std::string& key() const { return key_; }
  pfcModelType type() const { return type_; }
  bool loaded() const { return loaded_; }
  void setLoaded(bool loaded) { loaded_ = loaded; }
  void setModified(bool modified) { definition_.modified = modified; }

  // The model file on disk (an instance's is its generic's); empty when never saved.
  std::filesystem::path filePath() const;
  std::string origin() const;
  std::string fileName() const;
  std::string instanceName() const;
  pfcModelDescriptor_ptr descriptor() const;
  // What a component's record names: type, instance and generic, but no
  // directory, as Creo finds a component's file along its search path.
  pfcModelDescriptor_ptr componentDescriptor();
  const std::vector<std::shared_ptr<SimComponentFeat>>& features() const { return features_; }

 protected:
  // The global fault, then this model's own.
  void check(const std::string& operation) const;
  xstring answer(const QueryScript& script, const std::string& operation) const;
  void backup(const pfcModelDescriptor_ptr& target);
  void exportModel(xrstring fileName, const pfcExportInstructions_ptr& instructions);

  ModelStore& store_;
  SimModelDefinition definition_;
  std::string key_;
  pfcModelType type_;
  bool loaded_;
  std::vector<std::shared_ptr<SimComponentFeat>> features_;

 private:
  // What the toolkit queries answer, worked out on first use: a model's files do
  // not move while the session runs, and large assemblies ask many times.
  struct Names {
    std::filesystem::path filePath;
    std::string origin;
    std::string fileName;
    std::string instanceName;
    std::string genericName;
    std::string directory;  // of a local model's file, for its descriptor
  };
  const Names& names() const;
  mutable std::optional<Names> names_;
  // The component descriptor last handed out. Toolkit calls come from one
  // thread only.
  std::shared_ptr<pfcModelDescriptor> componentDescriptor_;
};

// Builds the toolkit object for a model: wfcWAssembly, wfcWSolid or wfcWModel.
pfcModel_ptr makeSimModel(ModelStore& store, SimModelDefinition definition);
// The simulator's side of a model handle; null for a foreign object.
SimModelCommon* simModelOf(const pfcModel_ptr& model);

// Extension of a model type (".asm", ".prt", ".drw"), and the type of an extension.
std::string extensionOfType(pfcModelType type);
std::optional<pfcModelType> typeOfExtension(const std::string& extension);

}  // namespace creosim
