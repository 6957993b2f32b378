#include "model/family_table_export.h"

#include <exception>
#include <stdexcept>

#include <pfcFamily.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/export_texts.h"
#include "model/file_replacement.h"
#include "model/family_table_names.h"
#include "model/path_text.h"
#include "model/windchill_names.h"
#include "model/windchill_revision.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

namespace {

void logStagedLocations(const fs::path& accelerator, const fs::path& generic) {
  logDebug("Accelerator file location in temp directory: " + pathToUtf8(accelerator));
  logDebug("Generic file location in temp directory: " + pathToUtf8(generic));
}

// The log texts and detail of a toolkit error while an instance is staged.
struct FamilyTableErrorTexts {
  const char* cantWriteLog;
  const char* noPermissionLog;
  const char* toolkitLog;
  const char* toolkitDetail;
};

// What one instance's export works with.
struct InstanceExport {
  const pfcSession_ptr& session;
  const pfcModel_ptr& model;
  const fs::path& directory;
  bool isRoot;
  AcceleratorBackups& backups;
  ExportRecord& record;
};

std::vector<ExportedFile> failFamilyTableToolkitError(const ToolkitError& error, const FamilyTableErrorTexts& texts,
                                                      ExportRecord& record) {
  if (error.kind == ToolkitErrorKind::NotFound)
    logError("ModelExporter: Creo configuration option was not found while exporting a family table model.");
  else if (error.kind == ToolkitErrorKind::LineTooLong)
    logError("ModelExporter: Creo configuration value exceeded the supported length while exporting a family table model.");
  else if (error.kind == ToolkitErrorKind::InvalidDir)
    logError("ModelExporter: family table backup target directory is invalid: " + error.description());
  else if (error.kind == ToolkitErrorKind::CantWrite)
    logError(texts.cantWriteLog + error.description());
  else if (error.kind == ToolkitErrorKind::NoPermission)
    logError(texts.noPermissionLog);
  logError(texts.toolkitLog + error.description());
  return record.failWith(kPrepareFailedText, texts.toolkitDetail);
}

// The generic's origin, or none after recording the failure.
std::optional<std::string> localGenericOrigin(const pfcModel_ptr& model, ExportRecord& record) {
  try {
    std::string origin;
    const auto error = catchToolkitError([&] {
      pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
      pfcModel_ptr generic = member ? pfcModel::cast(member->GetParent()) : nullptr;
      if (!generic) throw std::runtime_error("the instance has no generic model");
      origin = fromXstring(generic->GetOrigin());
    });
    if (!error) {
      logDebug("Original Generic file path: " + origin);
      return origin;
    }
    if (error->kind == ToolkitErrorKind::NotFound)
      logError("ModelExporter: family table parent model was not found while exporting an instance.");
    else if (error->kind == ToolkitErrorKind::CantOpen)
      logError("ModelExporter: family table parent model is not available in session while exporting an instance.");
    else
      rethrowToolkitError(*error);
  } catch (const std::runtime_error& error) {
    logError("Error occurred while fetching instance parent: " + std::string(error.what()));
    record.failWith(kPrepareFailedText, "Local family table generic could not be resolved for upload.");
    return std::nullopt;
  }
  record.failWith(kPrepareFailedText, "Creo could not retrieve local family table generic needed for upload.");
  return std::nullopt;
}

std::vector<ExportedFile> stageLocalInstance(const InstanceExport& in, const std::string& genericOrigin) {
  const pfcModel_ptr& model = in.model;
  StagedSourceList& staged = in.record.stagedSources;
  const pfcModelType type = model->GetType();
  const std::string instanceName = fromXstring(model->GetInstanceName());
  const std::string acceleratorName = instanceName + acceleratorExtension(type);
  const fs::path genericSource = pathFromUtf8(genericOrigin);
  const fs::path originFolder = pathFromUtf8(fromXstring(model->GetOrigin())).parent_path();
  const fs::path originAccelerator = originFolder / pathFromUtf8(acceleratorName);
  const fs::path acceleratorFolder = in.directory / "_ft_accelerators";
  fs::path stagedAccelerator = acceleratorFolder / pathFromUtf8(makeStagedFileName(acceleratorName, genericOrigin));
  const fs::path stagedGeneric = in.directory / genericSource.filename();

  if (staged.contains(genericSource) && (staged.contains(originAccelerator) || staged.contains(stagedAccelerator))) {
    logDebug("Skipping temp. directory export for already exported model: " + fromXstring(model->GetFileName()));
    return {};
  }

  if (fs::exists(originAccelerator)) {
    logDebug("Accelerator file already exists, copying it to temp directory");
    logDebug("Original Accelerator file path: " + pathToUtf8(originAccelerator));
  } else {
    logDebug("Accelerator file does not exist, generating one in temp directory");
    in.backups.ensureAcceleratorConfig();
    pfcModelDescriptor_ptr descriptor = model->GetDescr();
    if (!descriptor) {
      logWarning("Model descriptor unavailable; skipping backup.");
      return in.record.failWith(kPrepareFailedText,
                                "Model descriptor unavailable while preparing local family table instance.");
    }
    logDebug("Exporting the accelerator file to model's origin directory:  " + pathToUtf8(originFolder));
    in.backups.backupBesideUserModels(model, descriptor, originAccelerator, genericSource);
    logDebug("Copying the generated accelerator file to temp. directory");
  }
  fs::create_directories(acceleratorFolder);
  stageFileReplacing(originAccelerator, stagedAccelerator);
  staged.append(originAccelerator);

  // Instances of one generic share its file: it travels once, with the first.
  const bool genericListed = staged.contains(genericSource);
  std::error_code error;
  const bool genericPresent = fs::exists(stagedGeneric, error);
  bool genericStaged = false;
  if (error) {
    logWarning("Unable to determine if generic file is already staged; proceeding with copy.");
  } else if (genericPresent) {
    // What sits there is the generic: the copy an earlier model of this export
    // staged (the names of a Creo session are unique), or the file itself.
    genericStaged = genericListed || fs::equivalent(stagedGeneric, genericSource, error);
    if (error) logWarning("Unable to compare generic file paths; proceeding with copy.");
  }
  if (genericStaged)
    logDebug("Generic file already staged in temp directory; skipping copy.");
  else
    stageFileReplacing(genericSource, stagedGeneric);
  staged.append(genericSource);

  std::string uploadName = acceleratorName;
  if (in.isRoot) {
    // The root instance travels as the model file of its name.
    const fs::path native = fs::path(stagedAccelerator).replace_extension(nativeExtension(type));
    moveFileReplacing(stagedAccelerator, native);
    stagedAccelerator = native;
    uploadName = instanceName + nativeExtension(type);
  }
  logStagedLocations(stagedAccelerator, stagedGeneric);
  std::vector<ExportedFile> files{ExportedFile{stagedAccelerator, true, "", uploadName, ""}};
  if (!genericListed) files.push_back(plainExportedFile(stagedGeneric));
  return files;
}

std::vector<ExportedFile> exportLocalInstance(const InstanceExport& in) {
  const pfcModel_ptr& model = in.model;
  static const FamilyTableErrorTexts kTexts = {
      "ModelExporter: Creo could not write the family table backup into the temp directory: ",
      "ModelExporter: Creo does not have permission to back up the family table model.",
      "Creo toolkit error while backing up family table model. exception=",
      "Creo toolkit error while preparing local family table instance for upload."};
  try {
    std::vector<ExportedFile> files;
    const auto error = catchToolkitError([&] {
      const std::optional<std::string> genericOrigin = localGenericOrigin(model, in.record);
      if (genericOrigin) files = stageLocalInstance(in, *genericOrigin);
    });
    if (error) return failFamilyTableToolkitError(*error, kTexts, in.record);
    return files;
  } catch (const std::exception& error) {
    logError("Exception while backing up family table model: " + std::string(error.what()));
    return in.record.failWith(kPrepareFailedText,
                              "Unexpected error while preparing local family table instance for upload.");
  }
}

// The origin of the instance's generic: the loaded generic found by name, else
// the instance's parent. None after recording the failure.
std::optional<std::string> windchillGenericOrigin(const InstanceExport& in) {
  const pfcModel_ptr& model = in.model;
  pfcModel_ptr loaded;
  if (const auto error =
          catchToolkitError([&] { loaded = findLoadedWindchillGeneric(in.session->ListModels(), model); })) {
    logDebug("ModelExporter: ListModels() failed while resolving Windchill FT generic: " + error->description());
  }
  std::string origin;
  if (loaded) {
    const auto error = catchToolkitError([&] { origin = fromXstring(loaded->GetOrigin()); });
    if (!error) return origin;
    logDebug("ModelExporter: failed to read origin from loaded Windchill generic; falling back to GetParent(): " +
             error->description());
  } else {
    logDebug("ModelExporter: Windchill FT generic not found in session; falling back to pfcFamilyMember::GetParent().");
  }
  try {
    const auto error = catchToolkitError([&] {
      pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
      pfcModel_ptr parent = member ? pfcModel::cast(member->GetParent()) : nullptr;
      if (!parent) throw std::runtime_error("the instance has no generic model");
      origin = fromXstring(parent->GetOrigin());
    });
    if (!error) return origin;
    logError("ModelExporter: failed to resolve Windchill family table generic via GetParent() fallback: " +
             error->description());
    in.record.failWith(kPrepareFailedText, "Creo could not locate the Windchill family table generic for upload.");
  } catch (const std::runtime_error& error) {
    logError("ModelExporter: runtime error while resolving Windchill family table generic: " + std::string(error.what()));
    in.record.failWith(kPrepareFailedText, "Windchill family table generic could not be resolved for upload.");
  } catch (const std::exception& error) {
    logError("ModelExporter: unexpected error while resolving Windchill family table generic: " +
             std::string(error.what()));
    in.record.failWith(kPrepareFailedText, "Windchill family table generic could not be resolved for upload.");
  }
  return std::nullopt;
}

std::vector<ExportedFile> stageWindchillInstance(const InstanceExport& in, const std::string& genericOrigin,
                                                 const WindchillRevision& revision) {
  const pfcModel_ptr& model = in.model;
  ExportRecord& record = in.record;
  const pfcModelType type = model->GetType();
  const std::string instanceName = fromXstring(model->GetInstanceName());
  const std::string acceleratorName = instanceName + acceleratorExtension(type);
  const std::string genericName = localFileNameFromOrigin(genericOrigin);
  if (!isSafeLocalFileName(genericName)) throw std::runtime_error("unusable Windchill generic file name " + genericName);
  const fs::path acceleratorFolder = in.directory / "_ft_accelerators";
  fs::path stagedAccelerator = acceleratorFolder / pathFromUtf8(makeStagedFileName(acceleratorName, genericOrigin));
  fs::path stagedGeneric = in.directory / "_ft_generics" / pathFromUtf8(makeStagedFileName(genericName, genericOrigin));
  const std::string genericKey = modelFileKey(genericOrigin, genericName);
  const bool genericStaged = record.stagedWindchillModels.count(genericKey) > 0;
  if (genericStaged && record.stagedSources.contains(stagedAccelerator)) {
    logDebug("Skipping already-staged Windchill FT instance: " + fromXstring(model->GetFileName()));
    return {};
  }

  in.backups.ensureAcceleratorConfig();
  pfcModelDescriptor_ptr descriptor = model->GetDescr();
  if (!descriptor) {
    logWarning("Model descriptor unavailable; skipping backup.");
    return record.failWith(kPrepareFailedText, "Model descriptor unavailable while preparing Windchill family table instance.");
  }
  // Into our own folder: nothing lands beside the workspace cache.
  fs::create_directories(acceleratorFolder);
  descriptor->SetPath(pathToXstring(acceleratorFolder));
  model->Backup(descriptor);
  const fs::path written = acceleratorFolder / pathFromUtf8(acceleratorName);
  if (!fs::exists(written)) {
    logError("Windchill FT accelerator was not generated at expected path: " + pathToUtf8(written));
    return record.failWith(kPrepareFailedText,
                           "Creo did not generate the expected Windchill family table accelerator file.");
  }

  if (!genericStaged) {
    logDebug("Staging Windchill generic file via CopyFileFromWS: " + pathToUtf8(stagedGeneric));
    if (!stageWindchillModelToPath(in.session, genericOrigin, genericName, stagedGeneric)) {
      logError("Failed to stage Windchill generic file locally: " + genericName);
      std::error_code ignored;
      fs::remove(stagedGeneric, ignored);
      return record.failWith(kWindchillFilesText, "Failed to stage Windchill family table generic file locally.");
    }
    const fs::path native = toNativeExtension(stagedGeneric);
    if (native != stagedGeneric) {
      stageFileReplacing(stagedGeneric, native);
      stagedGeneric = native;
    }
    record.stagedWindchillModels.insert(genericKey);
  }

  std::string uploadName = acceleratorName;
  fs::path finalAccelerator = stagedAccelerator;
  if (in.isRoot) {
    finalAccelerator.replace_extension(nativeExtension(type));
    uploadName = instanceName + nativeExtension(type);
  }
  moveFileReplacing(written, finalAccelerator);
  record.stagedSources.append(stagedAccelerator);
  logStagedLocations(finalAccelerator, stagedGeneric);
  std::vector<ExportedFile> files{ExportedFile{finalAccelerator, true, revision.version, uploadName, revision.revision}};
  if (!genericStaged)
    files.push_back(ExportedFile{stagedGeneric, false, revision.version,
                                 pathToUtf8(toNativeExtension(pathFromUtf8(genericName))), revision.revision});
  return files;
}

std::vector<ExportedFile> exportWindchillInstance(const InstanceExport& in) {
  const std::optional<std::string> genericOrigin = windchillGenericOrigin(in);
  if (!genericOrigin) return {};
  const std::optional<WindchillRevision> revision =
      resolveWindchillRevision(in.model, "Failed to resolve Windchill FT instance revision during export.",
                               "Failed to resolve Windchill FT instance iteration during export.", in.record);
  if (!revision) return {};
  static const FamilyTableErrorTexts kTexts = {
      "ModelExporter: Creo could not write the Windchill family table backup into the temp directory: ",
      "ModelExporter: Creo does not have permission to back up the Windchill family table model.",
      "Creo toolkit error while backing up Windchill family table model. exception=",
      "Creo toolkit error while preparing Windchill family table instance for upload."};
  try {
    std::vector<ExportedFile> files;
    const auto error = catchToolkitError([&] { files = stageWindchillInstance(in, *genericOrigin, *revision); });
    if (error) return failFamilyTableToolkitError(*error, kTexts, in.record);
    return files;
  } catch (const std::exception& error) {
    logError("Exception while backing up Windchill family table model: " + std::string(error.what()));
    return in.record.failWith(kPrepareFailedText, "Unexpected error while preparing Windchill family table instance for upload.");
  }
}

}  // namespace

std::vector<ExportedFile> exportFamilyTableInstance(const pfcSession_ptr& session, const pfcModel_ptr& model,
                                                    const fs::path& directory, bool isRoot,
                                                    AcceleratorBackups& backups, ExportRecord& record) {
  const InstanceExport in{session, model, directory, isRoot, backups, record};
  if (isWindchillOrigin(fromXstring(model->GetOrigin()))) return exportWindchillInstance(in);
  return exportLocalInstance(in);
}
