// The exporter's family-table branch: an instance travels as its accelerator
// file and its generic's file. Where no accelerator exists, Creo is made to
// write one by a backup, with "save_instance_accelerator" set to ALWAYS for the
// upload; finalizeExport takes back what that left beside the user's models.
#include <pfcModel.h>
#include <pfcFamily.h>
#include <pfcExceptions.h>

#include "core/ascii_case.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/export_texts.h"
#include "model/file_replacement.h"
#include "model/folder_versions.h"
#include "model/family_table_names.h"
#include "model/model_exporter.h"
#include "model/path_text.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

namespace {

const char* const kAcceleratorOption = "save_instance_accelerator";

void logStagedLocations(const fs::path& accelerator, const fs::path& generic) {
  logDebug("Accelerator file location in temp directory: " + pathToUtf8(accelerator));
  logDebug("Generic file location in temp directory: " + pathToUtf8(generic));
}

}  // namespace

std::vector<ExportedFile> ModelExporter::exportFamilyTableInstance(const pfcModel_ptr& model, const fs::path& directory,
                                                                   bool isRoot) {
  if (isWindchillOrigin(fromXstring(model->GetOrigin()))) return exportWindchillFamilyTableInstance(model, directory, isRoot);
  static const FamilyTableErrorTexts kTexts = {
      "ModelExporter: Creo could not write the family table backup into the temp directory: ",
      "ModelExporter: Creo does not have permission to back up the family table model.",
      "Creo toolkit error while backing up family table model. exception=",
      "Creo toolkit error while preparing local family table instance for upload."};
  try {
    std::vector<ExportedFile> files;
    const auto error = catchToolkitError([&] {
      const std::optional<std::string> genericOrigin = localGenericOrigin(model);
      if (genericOrigin) files = stageLocalInstance(model, *genericOrigin, directory, isRoot);
    });
    if (error) return failFamilyTableToolkitError(*error, kTexts);
    return files;
  } catch (const std::exception& error) {
    logError("Exception while backing up family table model: " + std::string(error.what()));
    return failWith(kPrepareFailedText, "Unexpected error while preparing local family table instance for upload.");
  }
}

// The generic's origin, or none after recording the failure.
std::optional<std::string> ModelExporter::localGenericOrigin(const pfcModel_ptr& model) {
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
    failWith(kPrepareFailedText, "Local family table generic could not be resolved for upload.");
    return std::nullopt;
  }
  failWith(kPrepareFailedText, "Creo could not retrieve local family table generic needed for upload.");
  return std::nullopt;
}

std::vector<ExportedFile> ModelExporter::stageLocalInstance(const pfcModel_ptr& model, const std::string& genericOrigin,
                                                            const fs::path& directory, bool isRoot) {
  const pfcModelType type = model->GetType();
  const std::string instanceName = fromXstring(model->GetInstanceName());
  const std::string acceleratorName = instanceName + acceleratorExtension(type);
  const fs::path genericSource = pathFromUtf8(genericOrigin);
  const fs::path originFolder = pathFromUtf8(fromXstring(model->GetOrigin())).parent_path();
  const fs::path originAccelerator = originFolder / pathFromUtf8(acceleratorName);
  const fs::path acceleratorFolder = directory / "_ft_accelerators";
  fs::path stagedAccelerator = acceleratorFolder / pathFromUtf8(makeStagedFileName(acceleratorName, genericOrigin));
  const fs::path stagedGeneric = directory / genericSource.filename();

  if (exportedSources_.contains(genericSource) &&
      (exportedSources_.contains(originAccelerator) || exportedSources_.contains(stagedAccelerator))) {
    logDebug("Skipping temp. directory export for already exported model: " + fromXstring(model->GetFileName()));
    return {};
  }

  if (fs::exists(originAccelerator)) {
    logDebug("Accelerator file already exists, copying it to temp directory");
    logDebug("Original Accelerator file path: " + pathToUtf8(originAccelerator));
  } else {
    logDebug("Accelerator file does not exist, generating one in temp directory");
    ensureAcceleratorConfig();
    pfcModelDescriptor_ptr descriptor = model->GetDescr();
    if (!descriptor) {
      logWarning("Model descriptor unavailable; skipping backup.");
      return failWith(kPrepareFailedText, "Model descriptor unavailable while preparing local family table instance.");
    }
    logDebug("Exporting the accelerator file to model's origin directory:  " + pathToUtf8(originFolder));
    backupBesideUserModels(model, descriptor, originAccelerator, genericSource);
    logDebug("Copying the generated accelerator file to temp. directory");
  }
  fs::create_directories(acceleratorFolder);
  stageFileReplacing(originAccelerator, stagedAccelerator);
  exportedSources_.append(originAccelerator);

  // Instances of one generic share its file: it travels once, with the first.
  const bool genericListed = exportedSources_.contains(genericSource);
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
  exportedSources_.append(genericSource);

  std::string uploadName = acceleratorName;
  if (isRoot) {
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

// Creo's backup writes the instance's accelerator, and the generic's next
// version with it, into the user's folder. Each of those names that was free
// before the backup and holds a file after it is listed for finalizeExport,
// also when the backup fails halfway; a file that was there before is never
// listed. Only these few names are looked at, not the whole folder.
void ModelExporter::backupBesideUserModels(const pfcModel_ptr& model, const pfcModelDescriptor_ptr& descriptor,
                                           const fs::path& acceleratorFile, const fs::path& genericFile) {
  const fs::path folder = acceleratorFile.parent_path();
  const FolderVersions::Name genericBase = splitVersion(genericFile.filename().native()).first;
  const unsigned genericVersion = backupFolderVersions_.nextFree(folder, genericBase);
  const fs::path genericWritten = folder / versionedName(genericBase, genericVersion);
  std::vector<fs::path> freeBefore;
  for (const fs::path& candidate : {acceleratorFile, genericWritten}) {
    std::error_code error;
    // A name that cannot be checked is not one the backup may be said to have written.
    if (!fs::exists(candidate, error) && !error) freeBefore.push_back(candidate);
  }
  auto listAdded = [&] {
    for (const fs::path& candidate : freeBefore) {
      std::error_code error;
      if (!fs::exists(candidate, error)) continue;
      generatedAccelerators_.push_back(candidate);
      if (candidate == genericWritten) backupFolderVersions_.taken(folder, genericBase, genericVersion);
    }
  };
  descriptor->SetPath(pathToXstring(folder));
  try {
    model->Backup(descriptor);
  } catch (...) {
    listAdded();
    throw;
  }
  listAdded();
}

std::vector<ExportedFile> ModelExporter::failFamilyTableToolkitError(const ToolkitError& error,
                                                                     const FamilyTableErrorTexts& texts) {
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
  return failWith(kPrepareFailedText, texts.toolkitDetail);
}

std::vector<ExportedFile> ModelExporter::exportWindchillFamilyTableInstance(const pfcModel_ptr& model,
                                                                           const fs::path& directory, bool isRoot) {
  const std::optional<std::string> genericOrigin = windchillGenericOrigin(model);
  if (!genericOrigin) return {};
  const std::optional<WindchillRevision> revision =
      resolveWindchillRevision(model, "Failed to resolve Windchill FT instance revision during export.",
                               "Failed to resolve Windchill FT instance iteration during export.");
  if (!revision) return {};
  static const FamilyTableErrorTexts kTexts = {
      "ModelExporter: Creo could not write the Windchill family table backup into the temp directory: ",
      "ModelExporter: Creo does not have permission to back up the Windchill family table model.",
      "Creo toolkit error while backing up Windchill family table model. exception=",
      "Creo toolkit error while preparing Windchill family table instance for upload."};
  try {
    std::vector<ExportedFile> files;
    const auto error =
        catchToolkitError([&] { files = stageWindchillInstance(model, *genericOrigin, directory, isRoot, *revision); });
    if (error) return failFamilyTableToolkitError(*error, kTexts);
    return files;
  } catch (const std::exception& error) {
    logError("Exception while backing up Windchill family table model: " + std::string(error.what()));
    return failWith(kPrepareFailedText, "Unexpected error while preparing Windchill family table instance for upload.");
  }
}

// The origin of the instance's generic: the loaded generic found by name, else
// the instance's parent. None after recording the failure.
std::optional<std::string> ModelExporter::windchillGenericOrigin(const pfcModel_ptr& model) {
  pfcModel_ptr loaded;
  if (const auto error = catchToolkitError([&] { loaded = findLoadedWindchillGeneric(session_->ListModels(), model); })) {
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
    failWith(kPrepareFailedText, "Creo could not locate the Windchill family table generic for upload.");
  } catch (const std::runtime_error& error) {
    logError("ModelExporter: runtime error while resolving Windchill family table generic: " + std::string(error.what()));
    failWith(kPrepareFailedText, "Windchill family table generic could not be resolved for upload.");
  } catch (const std::exception& error) {
    logError("ModelExporter: unexpected error while resolving Windchill family table generic: " +
             std::string(error.what()));
    failWith(kPrepareFailedText, "Windchill family table generic could not be resolved for upload.");
  }
  return std::nullopt;
}

std::vector<ExportedFile> ModelExporter::stageWindchillInstance(const pfcModel_ptr& model,
                                                                const std::string& genericOrigin,
                                                                const fs::path& directory, bool isRoot,
                                                                const WindchillRevision& revision) {
  const pfcModelType type = model->GetType();
  const std::string instanceName = fromXstring(model->GetInstanceName());
  const std::string acceleratorName = instanceName + acceleratorExtension(type);
  const std::string genericName = localFileNameFromOrigin(genericOrigin);
  if (!isSafeLocalFileName(genericName)) throw std::runtime_error("unusable Windchill generic file name " + genericName);
  const fs::path acceleratorFolder = directory / "_ft_accelerators";
  fs::path stagedAccelerator = acceleratorFolder / pathFromUtf8(makeStagedFileName(acceleratorName, genericOrigin));
  fs::path stagedGeneric = directory / "_ft_generics" / pathFromUtf8(makeStagedFileName(genericName, genericOrigin));
  const std::string genericKey = modelFileKey(genericOrigin, genericName);
  const bool genericStaged = stagedWindchillGenerics_.count(genericKey) > 0;
  if (genericStaged && exportedSources_.contains(stagedAccelerator)) {
    logDebug("Skipping already-staged Windchill FT instance: " + fromXstring(model->GetFileName()));
    return {};
  }

  ensureAcceleratorConfig();
  pfcModelDescriptor_ptr descriptor = model->GetDescr();
  if (!descriptor) {
    logWarning("Model descriptor unavailable; skipping backup.");
    return failWith(kPrepareFailedText, "Model descriptor unavailable while preparing Windchill family table instance.");
  }
  // Into our own folder: nothing lands beside the workspace cache.
  fs::create_directories(acceleratorFolder);
  descriptor->SetPath(pathToXstring(acceleratorFolder));
  model->Backup(descriptor);
  const fs::path written = acceleratorFolder / pathFromUtf8(acceleratorName);
  if (!fs::exists(written)) {
    logError("Windchill FT accelerator was not generated at expected path: " + pathToUtf8(written));
    return failWith(kPrepareFailedText, "Creo did not generate the expected Windchill family table accelerator file.");
  }

  if (!genericStaged) {
    logDebug("Staging Windchill generic file via CopyFileFromWS: " + pathToUtf8(stagedGeneric));
    if (!stageWindchillModelToPath(session_, genericOrigin, genericName, stagedGeneric)) {
      logError("Failed to stage Windchill generic file locally: " + genericName);
      std::error_code ignored;
      fs::remove(stagedGeneric, ignored);
      return failWith(kWindchillFilesText, "Failed to stage Windchill family table generic file locally.");
    }
    const fs::path native = toNativeExtension(stagedGeneric);
    if (native != stagedGeneric) {
      stageFileReplacing(stagedGeneric, native);
      stagedGeneric = native;
    }
    stagedWindchillGenerics_.insert(genericKey);
  }

  std::string uploadName = acceleratorName;
  fs::path finalAccelerator = stagedAccelerator;
  if (isRoot) {
    finalAccelerator.replace_extension(nativeExtension(type));
    uploadName = instanceName + nativeExtension(type);
  }
  moveFileReplacing(written, finalAccelerator);
  exportedSources_.append(stagedAccelerator);
  logStagedLocations(finalAccelerator, stagedGeneric);
  std::vector<ExportedFile> files{ExportedFile{finalAccelerator, true, revision.version, uploadName, revision.revision}};
  if (!genericStaged)
    files.push_back(ExportedFile{stagedGeneric, false, revision.version,
                                 pathToUtf8(toNativeExtension(pathFromUtf8(genericName))), revision.revision});
  return files;
}

void ModelExporter::ensureAcceleratorConfig() {
  if (acceleratorConfigChecked_) return;
  acceleratorConfigChecked_ = true;
  const std::string value = fromXstring(session_->GetConfigOption(kAcceleratorOption));
  logDebug("Existing value of save_instance_accelerator: " + value);
  if (!value.empty() && asciiUppered(value) != "NONE") return;
  logDebug("Setting save_instance_accelerator to ALWAYS to export accelerator file");
  if (const auto error = catchToolkitError([&] { session_->SetConfigOption(kAcceleratorOption, "ALWAYS"); })) {
    logError("ModelExporter: failed to set save_instance_accelerator to ALWAYS while exporting a family table instance");
    showErrorDialog(
        "The integration is unable to set the property save_instance_accelerator to ALWAYS \nwhich is required to "
        "generate accelerator file(s) for one or more family table instances.\n\nPlease set the property "
        "save_instance_accelerator to ALWAYS and try again.");
    rethrowToolkitError(*error);
  }
  savedAcceleratorValue_ = value;
}

void ModelExporter::finalizeExport() {
  logDebug("Removing " + std::to_string(generatedAccelerators_.size()) +
           " generated accelerator file(s) from model origin directories");
  std::error_code firstError;
  for (const fs::path& file : generatedAccelerators_) {
    std::error_code error;
    fs::remove(file, error);  // a file already gone is no error
    if (error && !firstError) firstError = error;
  }
  if (firstError) {
    logError("Failed to delete generated accelerator file(s): " + firstError.message());
    showErrorDialog(
        "The integration generated one or more accelerator files in the directory containing the model which cannot "
        "be removed due to an issue.\nPlease remove them manually.");
  }
  if (savedAcceleratorValue_) {
    const std::string saved = *savedAcceleratorValue_;
    logDebug("Resetting save_instance_accelerator to previous value: " + saved);
    bool restored = false;
    try {
      const auto error = catchToolkitError([&] { session_->SetConfigOption(kAcceleratorOption, toXstring(saved)); });
      if (error) logError("Failed to restore save_instance_accelerator config after export: " + error->description());
      restored = !error;
    } catch (const std::exception& error) {
      logError("Unexpected error restoring save_instance_accelerator config after export: " + std::string(error.what()));
    }
    if (!restored)
      showErrorDialog("The integration was unable to reset save_instance_accelerator to " +
                      (saved.empty() ? std::string("previous value") : saved) + ".\nPlease reset it manually.");
  }
  generatedAccelerators_.clear();
  savedAcceleratorValue_.reset();
}
