// Turns the model the user chose into local files ready to upload, staged in
// the session temporary directory: a part's file, an assembly with every
// component file, a drawing as PDF, a family-table instance as its accelerator
// and its generic, Windchill models copied out of the workspace. The first
// failure is recorded as a user text and a detail, and no files are returned.
// One exporter serves one upload and runs on Creo's thread.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>

#include "model/accelerator_backups.h"
#include "model/component_walk.h"
#include "model/export_record.h"
#include "model/exported_file.h"
#include "model/model_metadata.h"

class ModelExporter {
 public:
  using ProgressCallback = std::function<void()>;
  // The exporter sits below the dialogs; whoever runs the upload hands this in.
  using ErrorDialog = AcceleratorBackups::ErrorDialog;

  ModelExporter(pfcSession_ptr session, std::string tempScopeKey, ProgressCallback progressCallback,
                ErrorDialog errorDialog);
  // The walk over components calls back into this exporter.
  ModelExporter(const ModelExporter&) = delete;
  ModelExporter& operator=(const ModelExporter&) = delete;

  // The model's files, root first. A non-empty userMessage() afterwards means the
  // export failed, whatever the list holds.
  std::vector<ExportedFile> exportToTempDirectory(const pfcModel_ptr& model, bool isRoot);
  const std::string& userMessage() const { return record_.userMessage(); }
  const std::string& detailMessage() const { return record_.detailMessage(); }
  // After the upload, whatever its outcome: removes the files Creo wrote beside
  // the user's models for this export and restores "save_instance_accelerator".
  void finalizeExport();

 private:
  std::vector<ExportedFile> exportResolvedModel(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                                const std::filesystem::path& directory, bool isRoot);

  std::string tempScopeKey_;
  ComponentWalk walk_;
  AcceleratorBackups backups_;
  ExportRecord record_;
};
