// For model tests: a simulated Creo with its models over real files in a fresh
// working directory, which also holds the log (read back at debug level).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "core/testing/log_capture.h"
#include "creo_simulator.h"
#include "model/windchill_staging.h"

// A model with a local file and, for an assembly, its components by name.
inline creosim::SimModelDefinition localModel(const std::string& name, const std::filesystem::path& file,
                                              std::vector<std::string> components = {}) {
  creosim::SimModelDefinition definition;
  definition.name = name;
  definition.file = file;
  for (const std::string& component : components) definition.components.push_back({component});
  return definition;
}

// A family-table instance of `generic`; its file is the generic's.
inline creosim::SimModelDefinition familyInstance(const std::string& name, const std::string& generic,
                                                  std::vector<std::string> components = {}) {
  creosim::SimModelDefinition instance = localModel(name, "", std::move(components));
  instance.generic = generic;
  return instance;
}

// A model known to Creo only by its Windchill origin.
inline creosim::SimModelDefinition originModel(const std::string& name, const std::string& origin,
                                               const std::string& fileName = "") {
  creosim::SimModelDefinition definition;
  definition.name = name;
  definition.origin = origin;
  definition.fileName = fileName;
  return definition;
}

class ModelTestSession {
 public:
  ModelTestSession();
  ~ModelTestSession();

  creosim::CreoSimulator& sim() { return simulator_; }
  creosim::ModelStore& models() { return simulator_.models(); }
  pfcBaseSession_ptr session();
  pfcModel_ptr add(creosim::SimModelDefinition definition) { return models().addModel(std::move(definition)); }
  pfcModel_ptr model(const std::string& name) { return models().model(name); }

  // A directory under the working directory, created.
  std::filesystem::path directory(const std::string& name);
  // A synthetic model file of exactly `bytes` bytes.
  std::filesystem::path writeModel(const std::filesystem::path& path, std::uintmax_t bytes = 4096);

  // Log messages without timestamps, e.g. "[WARNING] [Tavix] ...".
  std::vector<std::string> messages() const { return log_.messages(); }
  // How many log messages contain `text`.
  int logged(const std::string& text) const;

 private:
  LogCapture log_;
  creosim::CreoSimulator simulator_;
};

// Every regular file under `root` with the FNV-1a hash of its bytes, by relative path.
std::vector<std::string> fileFingerprints(const std::filesystem::path& root);
