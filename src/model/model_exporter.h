// Turns the model the user chose into local files ready to upload, staged in
// the session temporary directory: a part's file, an assembly with every
// component file, a drawing as PDF, a family-table instance as its accelerator
// and its generic, Windchill models copied out of the workspace. The first
// failure is recorded as a user text and a detail, and no files are returned.
// One exporter serves one upload and runs on Creo's thread.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcExceptions.h>

#include "core/toolkit_guard.h"
#include "model/exported_file.h"
#include "model/folder_versions.h"
#include "model/model_metadata.h"
#include "model/staged_source_list.h"
#include "core/text_set.h"

class ModelExporter {
 public:
  using ProgressCallback = std::function<void()>;
  // Shows a message in the common error box, without its action button. The
  // exporter sits below the dialogs; whoever runs the upload hands this in.
  using ErrorDialog = std::function<void(const std::string& message)>;

  ModelExporter(pfcSession_ptr session, std::string tempScopeKey, ProgressCallback progressCallback,
                ErrorDialog errorDialog);

  // The model's files, root first. A non-empty userMessage() afterwards means the
  // export failed, whatever the list holds.
  std::vector<ExportedFile> exportToTempDirectory(const pfcModel_ptr& model, bool isRoot);
  const std::string& userMessage() const { return userMessage_; }
  const std::string& detailMessage() const { return detailMessage_; }
  // After the upload, whatever its outcome: removes the files Creo wrote beside
  // the user's models for this export and restores "save_instance_accelerator".
  void finalizeExport();

 private:
  // The texts of one component walk: a local assembly's or a Windchill assembly's.
  struct ComponentTexts {
    const char* logPrefix;
    const char* castFailedLog;
    const char* castFailedDetail;
    const char* noModelLog;
    const char* noModelDetail;
  };
  // The log texts and detail of a toolkit error while an instance is staged.
  struct FamilyTableErrorTexts {
    const char* cantWriteLog;
    const char* noPermissionLog;
    const char* toolkitLog;
    const char* toolkitDetail;
  };

  std::vector<ExportedFile> failWith(const std::string& userText, const std::string& detailText);
  std::vector<ExportedFile> exportResolvedModel(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                                const std::filesystem::path& directory, bool isRoot);
  std::vector<ExportedFile> stagePlainFile(const ModelMetadata& metadata, const std::filesystem::path& directory);
  std::vector<ExportedFile> exportAssembly(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                           const std::filesystem::path& directory, bool isRoot);
  bool exportAssemblyParent(const pfcModel_ptr& model, const ModelMetadata& metadata,
                            const std::filesystem::path& directory, bool isRoot, std::vector<ExportedFile>& result);
  void exportComponents(const pfcModel_ptr& assembly, const ComponentTexts& texts, std::vector<ExportedFile>& result);
  std::vector<ExportedFile> exportWindchillModel(const pfcModel_ptr& model, const std::filesystem::path& directory);
  std::vector<ExportedFile> exportWindchillAssemblyComponents(const pfcModel_ptr& model, ExportedFile ownFile);
  std::optional<std::string> resolveWindchillRevisionForExport(const pfcModel_ptr& model);
  // The revision and iteration sent with a Windchill file; none after recording the failure.
  struct WindchillRevision {
    std::string revision;
    std::string version;
  };
  std::optional<WindchillRevision> resolveWindchillRevision(const pfcModel_ptr& model, const char* revisionDetail,
                                                            const char* iterationDetail);
  std::vector<ExportedFile> exportDrawing(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                          const std::filesystem::path& directory);
  std::vector<ExportedFile> exportFamilyTableInstance(const pfcModel_ptr& model, const std::filesystem::path& directory,
                                                      bool isRoot);
  std::vector<ExportedFile> stageLocalInstance(const pfcModel_ptr& model, const std::string& genericOrigin,
                                               const std::filesystem::path& directory, bool isRoot);
  std::optional<std::string> localGenericOrigin(const pfcModel_ptr& model);
  std::vector<ExportedFile> exportWindchillFamilyTableInstance(const pfcModel_ptr& model,
                                                               const std::filesystem::path& directory, bool isRoot);
  std::vector<ExportedFile> stageWindchillInstance(const pfcModel_ptr& model, const std::string& genericOrigin,
                                                   const std::filesystem::path& directory, bool isRoot,
                                                   const WindchillRevision& revision);
  std::optional<std::string> windchillGenericOrigin(const pfcModel_ptr& model);
  void backupBesideUserModels(const pfcModel_ptr& model, const pfcModelDescriptor_ptr& descriptor,
                              const std::filesystem::path& acceleratorFile, const std::filesystem::path& genericFile);
  std::vector<ExportedFile> failFamilyTableToolkitError(const ToolkitError& error, const FamilyTableErrorTexts& texts);
  void ensureAcceleratorConfig();
  void showErrorDialog(const std::string& message) const;

  pfcSession_ptr session_;
  std::string tempScopeKey_;
  StagedSourceList exportedSources_;
  // Windchill files staged during this export, by origin and file name.
  std::unordered_set<std::string> stagedWindchillGenerics_;
  ProgressCallback progressCallback_;
  std::string userMessage_;
  std::string detailMessage_;
  bool acceleratorConfigChecked_ = false;
  std::optional<std::string> savedAcceleratorValue_;
  // Every file a backup for this export added beside the user's models: the
  // accelerators, and the generic's next version Creo writes with them.
  std::vector<std::filesystem::path> generatedAccelerators_;
  // The versions in the user's folders that backups write into.
  FolderVersions backupFolderVersions_;
  ErrorDialog errorDialog_;
  // Models exported whole during this export, by origin and file name.
  TextSet exportedModels_;
};
