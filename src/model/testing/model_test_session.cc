#include "model/testing/model_test_session.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "core/log.h"
#include "core/testing/test_environment.h"
#include "core/fnv1a_hash.h"
#include "sim_model_file.h"

namespace fs = std::filesystem;

ModelTestSession::ModelTestSession() : simulator_(creosim::SimulatorOptions{}) {
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", "DEBUG");
  initLogLevelFromEnvironment();
  setCreoHost(&simulator_);
}

ModelTestSession::~ModelTestSession() {
  setCreoHost(nullptr);
  setEnvironmentVariable("TAVIX_CREO_LOG_LEVEL", nullptr);
  initLogLevelFromEnvironment();
}

pfcBaseSession_ptr ModelTestSession::session() { return pfcGetCurrentSessionWithCompatibility(pfcC4Compatible); }

fs::path ModelTestSession::directory(const std::string& name) {
  fs::path path = log_.directory() / name;
  fs::create_directories(path);
  return path;
}

fs::path ModelTestSession::writeModel(const fs::path& path, std::uintmax_t bytes) {
  fs::create_directories(path.parent_path());
  creosim::writeModelFile(path, "1711 22345 61234", bytes, fnv1a64(path.string()));
  return path;
}

int ModelTestSession::logged(const std::string& text) const {
  const auto all = messages();
  return static_cast<int>(
      std::count_if(all.begin(), all.end(), [&](const std::string& line) { return line.find(text) != std::string::npos; }));
}

std::vector<std::string> fileFingerprints(const fs::path& root) {
  std::vector<std::string> prints;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) {
      prints.push_back(entry.path().lexically_relative(root).generic_string() + "/");
      continue;
    }
    std::ifstream file(entry.path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    prints.push_back(entry.path().lexically_relative(root).generic_string() + " " + std::to_string(fnv1a64(bytes)));
  }
  std::sort(prints.begin(), prints.end());
  return prints;
}
