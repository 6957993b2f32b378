// Plain descriptions of simulated models and Windchill workspaces: what a
// session file or a test says about them, before the store brings them to life.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fault_injector.h"
#include "host/pfc_model.h"

namespace creosim {

// How a revision or version query answers.
struct QueryScript {
  enum class Behaviour { Answer, Empty, ToolkitError, ProcessorFault };
  Behaviour behaviour = Behaviour::Empty;
  std::string value;                              // for Answer
  std::string errorClass = "pfcXToolkitNotFound";  // for ToolkitError

  static QueryScript answer(std::string value) { return {Behaviour::Answer, std::move(value), {}}; }
  static QueryScript empty() { return {}; }
  static QueryScript toolkitError(std::string errorClass) { return {Behaviour::ToolkitError, {}, std::move(errorClass)}; }
  static QueryScript processorFault() { return {Behaviour::ProcessorFault, {}, {}}; }
};

struct SimComponentDefinition {
  std::string model;  // the name of the component's model, e.g. "bolt.prt"
  pfcFeatureStatus status = pfcFEAT_ACTIVE;
  bool embedded = false;
  bool visible = true;
  bool hasDescriptor = true;
};

struct SimModelDefinition {
  // The model's name with its type's extension, e.g. "bracket.prt"; unique in a session.
  std::string name;
  // The model file: the origin of a local model, the cache file of a workspace model.
  // Empty for a model that was never saved. An instance defaults to its generic's file.
  std::filesystem::path file;
  std::string workspace;  // non-empty: the model lives in that Windchill workspace
  std::string origin;     // overrides the origin derived from file and workspace
  std::string fileName;   // overrides the file name derived from the name
  std::optional<pfcModelType> type;  // overrides the type derived from the extension
  bool loaded = true;
  bool modified = false;
  std::string versionStamp;
  QueryScript revision;
  QueryScript version;
  std::optional<pfcSimpRepType> simplifiedRep;  // active representation, none when absent
  std::map<std::string, std::string> parameters;
  std::string generic;                   // an instance: its immediate generic's name
  std::vector<std::string> familyRows;   // a generic: its rows' instance names
  std::vector<SimComponentDefinition> components;
  int sheets = 1;  // a drawing: how many sheets its PDF export has
  // Operation name (e.g. "pfcModel::GetIsModified") -> toolkit exception class thrown
  // by this model only, or "StructuredException" for a processor-level fault.
  std::map<std::string, std::string> faults;
};

struct SimWorkspace {
  std::string name;
  std::filesystem::path cacheDirectory;
  std::string scheme = "wtws";  // or "wtpub"
};

}  // namespace creosim
