// The exporter's dispatch, plain file staging and the assembly walk.
#include "model/model_exporter.h"

#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcFeature.h>
#include <pfcComponentFeat.h>
#include <pfcSolid.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/assembly_components.h"
#include "model/export_texts.h"
#include "model/file_replacement.h"
#include "model/missing_path_error.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

// How a model is exported, from its kind and its family-table flags (the instance flag wins).
enum class ExportKind : int32_t {
  Part = 0,
  Assembly = 1,
  Drawing = 2,
  GenericPart = 3,
  InstancePart = 4,
  GenericAssembly = 5,
  InstanceAssembly = 6,
  Unsupported = 7,
};

ExportKind exportKindOf(pfcModelType type, const ModelMetadata& metadata) {
  switch (type) {
    case pfcMDL_PART:
      return metadata.isFamilyTableInstance ? ExportKind::InstancePart
             : metadata.isFamilyTableGeneric ? ExportKind::GenericPart
                                             : ExportKind::Part;
    case pfcMDL_ASSEMBLY:
      return metadata.isFamilyTableInstance ? ExportKind::InstanceAssembly
             : metadata.isFamilyTableGeneric ? ExportKind::GenericAssembly
                                             : ExportKind::Assembly;
    case pfcMDL_DRAWING: return ExportKind::Drawing;
    default: return ExportKind::Unsupported;
  }
}

// What the export needs of a component: its name, its file and its place in a
// family table. Its size, header and revisions are the upload dialog's, and the
// root's walk has met it already: a sub-assembly's own walk would read its
// whole subtree once more for each level above it.
ModelMetadata componentMetadata(const pfcModel_ptr& model) {
  ModelMetadata metadata;
  metadata.fileName = ModelMetadataResolver::resolveFileName(model);
  metadata.modelPath = ModelMetadataResolver::resolveModelPath(model);
  ModelMetadataResolver::resolveFamilyTableClassification(model, metadata);
  return metadata;
}

pfcFeatures_ptr componentFeatures(const pfcModel_ptr& model) {
  pfcSolid_ptr solid = pfcSolid::cast(model);
  pfcFeatures_ptr features = solid ? solid->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT) : nullptr;
  return features ? features : pfcFeatures::create();
}

}  // namespace

ModelExporter::ModelExporter(pfcSession_ptr session, std::string tempScopeKey, ProgressCallback progressCallback,
                             ErrorDialog errorDialog)
    : session_(std::move(session)),
      tempScopeKey_(std::move(tempScopeKey)),
      progressCallback_(std::move(progressCallback)),
      errorDialog_(std::move(errorDialog)) {}

std::vector<ExportedFile> ModelExporter::failWith(const std::string& userText, const std::string& detailText) {
  if (userMessage_.empty()) {
    userMessage_ = userText;
    detailMessage_ = detailText;
  }
  return {};
}

void ModelExporter::showErrorDialog(const std::string& message) const {
  if (errorDialog_) errorDialog_(message);
}

std::vector<ExportedFile> ModelExporter::exportToTempDirectory(const pfcModel_ptr& model, bool isRoot) {
  if (!userMessage_.empty()) return {};
  if (!model) {
    logError("Upload failed: Unknown model type");
    return failWith("This model type is not supported for upload.", "Unsupported model type encountered during export.");
  }
  const std::string fileName = fromXstring(model->GetFileName());
  // A model met again (a part used in many places, a sub-assembly used twice)
  // has nothing more to give: it is passed over before its metadata, which for
  // an assembly means a walk over all its components.
  const std::string origin = fromXstring(model->GetOrigin());
  const std::string modelKey = modelFileKey(origin, fileName);
  if (exportedModels_.contains(modelKey)) {
    logDebug((isWindchillOrigin(origin) ? "Skipping already-staged Windchill model: "
                                        : "Skipping temp. directory export for already exported model: ") +
             fileName);
    return {};
  }
  logDebug("Requesting session temp directory for model export: model=" + fileName);
  const fs::path directory = getSessionTempDirectory(tempScopeKey_);
  logDebug("Session temp directory resolved for export: path=" + pathToUtf8(directory));
  const ModelMetadata metadata = isRoot ? ModelMetadataResolver().getModelMetadata(model) : componentMetadata(model);
  // Taken for a plain model, an instance would be sent as its generic's file.
  if (metadata.familyTableUnknown) {
    logError("ModelExporter: family table classification failed; model=" + fileName);
    return failWith(kPrepareFailedText, "Family table classification failed during export.");
  }
  std::vector<ExportedFile> files = exportResolvedModel(model, metadata, directory, isRoot);
  if (userMessage_.empty()) exportedModels_.insert(modelKey);
  return files;
}

std::vector<ExportedFile> ModelExporter::exportResolvedModel(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                                             const fs::path& directory, bool isRoot) {
  const pfcModelType type = model->GetType();
  if (type != pfcMDL_DRAWING && !metadata.isFamilyTableInstance && isWindchillOrigin(fromXstring(model->GetOrigin())))
    return exportWindchillModel(model, directory);

  switch (exportKindOf(type, metadata)) {
    case ExportKind::Part:
    case ExportKind::GenericPart: return stagePlainFile(metadata, directory);
    case ExportKind::InstancePart: return exportFamilyTableInstance(model, directory, isRoot);
    case ExportKind::Assembly:
    case ExportKind::GenericAssembly:
    case ExportKind::InstanceAssembly: return exportAssembly(model, metadata, directory, isRoot);
    case ExportKind::Drawing: return exportDrawing(model, metadata, directory);
    case ExportKind::Unsupported: break;
  }
  logError("Upload failed: Unknown model type");
  return failWith("This model type is not supported for upload.", "Unsupported model type encountered during export.");
}

std::vector<ExportedFile> ModelExporter::stagePlainFile(const ModelMetadata& metadata, const fs::path& directory) {
  if (!metadata.modelPath) {
    logError("Upload failed: empty model path.");
    return failWith(kModelFileUnreachableText, "Selected model could not be resolved to a local file for upload.");
  }
  const fs::path& source = *metadata.modelPath;
  if (exportedSources_.contains(source)) {
    logDebug("Skipping temp. directory export for already exported model: " + metadata.fileName);
    return {};
  }
  logDebug("Staging model file: " + pathToUtf8(source));
  // The name stays exactly as Creo wrote it, version suffix included.
  const fs::path target = directory / source.filename();
  try {
    stageFileReplacing(source, target);
  } catch (const fs::filesystem_error& error) {
    // Gone since its metadata was read: the same loss as a file found missing then.
    if (!isMissingPathError(error.code())) throw;
    logError("Upload failed: model file vanished before it was staged. path=" + pathToUtf8(source) +
             ", message=" + error.code().message());
    return failWith(kModelFileUnreachableText,
                    "Selected model file was no longer there when it was staged for upload.");
  }
  logDebug("Model file staged: " + pathToUtf8(target));
  exportedSources_.append(source);
  return {plainExportedFile(target)};
}

std::vector<ExportedFile> ModelExporter::exportAssembly(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                                        const fs::path& directory, bool isRoot) {
  static const ComponentTexts kTexts = {
      "ModelExporter::exportToTempDirectory()", "Unable to cast child feature to component",
      "Unable to cast assembly child feature to component.", "Unable to retrieve child model from descriptor",
      "Unable to retrieve assembly child model from descriptor."};
  logDebug("Exporting assembly and child components for upload");
  std::vector<ExportedFile> result;
  try {
    const auto error = catchToolkitError([&] {
      logDebug("Exporting parent assembly file to temp. directory");
      if (!exportAssemblyParent(model, metadata, directory, isRoot, result)) return;
      logDebug("Exporting child components of assembly");
      exportComponents(model, kTexts, result);
      if (userMessage_.empty()) logDebug("Extracted all components succesfully from assembly");
    });
    if (error && error->kind == ToolkitErrorKind::NotFound) {
      logError("ModelExporter: assembly child model or descriptor was not found during export.");
      failWith(kMissingPartsText, "Assembly child model or descriptor was not found during export.");
    } else if (error && error->kind == ToolkitErrorKind::NoPermission) {
      logError("ModelExporter: Creo lacks permission to retrieve an assembly child during export.");
      failWith(kMissingPartsText, "Creo lacked permission to retrieve an assembly child during export.");
    } else if (error) {
      logError("Creo toolkit error while exporting assembly components. exception=" + error->description());
      failWith(kMissingPartsText, "Creo toolkit error while exporting assembly components.");
    }
  } catch (const std::exception& error) {
    logError("An error occurred while exporting assembly components: " + std::string(error.what()));
    failWith(kMissingPartsText, "Unexpected error while exporting assembly components.");
  }
  return result;
}

// False when the assembly contributes nothing more: it failed, or it was staged before.
bool ModelExporter::exportAssemblyParent(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                         const fs::path& directory, bool isRoot, std::vector<ExportedFile>& result) {
  if (metadata.isFamilyTableInstance) {
    // An instance's model path is its generic's file, which tells nothing about
    // the instance: the family-table branch knows whether it was staged.
    logDebug("Exporting generic and accelerator file for assembly parent");
    std::vector<ExportedFile> files = exportFamilyTableInstance(model, directory, isRoot);
    if (!userMessage_.empty()) return false;
    if (files.empty()) {
      logDebug("Skipping already-staged family table assembly parent.");
      return true;
    }
    if (files.size() > 1) logDebug("Exported generic file for assembly parent: " + pathToUtf8(files[1].localPath));
    logDebug("Exported accelerator file for assembly parent: " + pathToUtf8(files[0].localPath));
    result.insert(result.end(), files.begin(), files.end());
    return true;
  }
  if (!metadata.modelPath) {
    logError("Parent assembly file not found!");
    failWith(kMissingPartsText, "Parent assembly file was not found during export.");
    return false;
  }
  const fs::path& source = *metadata.modelPath;
  if (exportedSources_.contains(source)) {
    logDebug("Skipping temp. directory export for already exported model: " + metadata.fileName);
    return false;
  }
  logDebug("Exporting parent file for non-FT/generic assembly");
  const fs::path target = directory / source.filename();
  stageFileReplacing(source, target);
  logDebug("Parent assembly file exported to: " + pathToUtf8(target));
  result.push_back(plainExportedFile(target));
  exportedSources_.append(source);
  return true;
}

// Parents before children, depth-first in component order; stops at the first failure.
void ModelExporter::exportComponents(const pfcModel_ptr& assembly, const ComponentTexts& texts,
                                     std::vector<ExportedFile>& result) {
  const std::string assemblyName = fromXstring(assembly->GetFileName());
  const pfcFeatures_ptr features = componentFeatures(assembly);
  for (xint i = 0; i < features->getarraysize() && userMessage_.empty(); ++i) {
    if (progressCallback_) progressCallback_();
    pfcComponentFeat_ptr component = pfcComponentFeat::cast(features->get(i));
    if (!component) {
      logError(texts.castFailedLog);
      failWith(kMissingPartsText, texts.castFailedDetail);
      return;
    }
    const pfcFeatureStatus status = component->GetStatus();
    pfcModelDescriptor_ptr descriptor = component->GetModelDescr();
    if (isSuppressed(status)) {
      logSuppressedComponent(texts.logPrefix, descriptor, assemblyName);
      continue;
    }
    pfcModel_ptr child = descriptor ? componentModel(session_, descriptor, texts.logPrefix) : nullptr;
    if (!child) {
      logError(texts.noModelLog);
      failWith(kMissingPartsText, texts.noModelDetail);
      return;
    }
    std::vector<ExportedFile> files = exportToTempDirectory(child, false);
    if (!userMessage_.empty()) return;
    result.insert(result.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
  }
}
