// For export tests: a model test session whose exporter reports progress and
// error dialogs to recording fakes, and whose staged files go with it.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/session_temp_directory.h"
#include "model/model_exporter.h"
#include "model/testing/model_test_session.h"

class ExportTestSession : public ModelTestSession {
 public:
  ~ExportTestSession() { cleanupSessionTempDirectory(); }

  ModelExporter exporter(const std::string& scope = "upload") {
    return ModelExporter(pfcGetCurrentSessionWithCompatibility(pfcC4Compatible), scope, [this] { ++progressCalls; },
                         [this](const std::string& message) { errorDialogs.push_back(message); });
  }
  std::string acceleratorOption() { return models().configOption("save_instance_accelerator"); }
  void setAcceleratorOption(const std::string& value) { models().setConfigOption("save_instance_accelerator", value); }

  int progressCalls = 0;
  std::vector<std::string> errorDialogs;
};

// Each staged file as the upload sees it: its name, then " as " and the upload
// name, " marked", " v" and the version, " r" and the revision where set.
inline std::vector<std::string> described(const std::vector<ExportedFile>& files) {
  std::vector<std::string> lines;
  for (const ExportedFile& file : files)
    lines.push_back(file.localPath.filename().string() + (file.uploadFileName.empty() ? "" : " as " + file.uploadFileName) +
                    (file.markedEntry ? " marked" : "") +
                    (file.sourceRevisionVersion.empty() ? "" : " v" + file.sourceRevisionVersion) +
                    (file.sourceRevisionId.empty() ? "" : " r" + file.sourceRevisionId));
  return lines;
}

inline std::string bytesOf(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
