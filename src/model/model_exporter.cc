// The exporter's dispatch: each model once, by its kind.
#include "model/model_exporter.h"

#include <optional>

#include "core/log.h"
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_text.h"
#include "model/assembly_export.h"
#include "model/drawing_export.h"
#include "model/export_texts.h"
#include "model/family_table_export.h"
#include "model/model_kind.h"
#include "model/part_export.h"
#include "model/windchill_model_export.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

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

}  // namespace

ModelExporter::ModelExporter(pfcSession_ptr session, std::string tempScopeKey, ProgressCallback progressCallback,
                             ErrorDialog errorDialog)
    : tempScopeKey_(std::move(tempScopeKey)),
      walk_{session, std::move(progressCallback),
            [this](const pfcModel_ptr& child) { return exportToTempDirectory(child, false); }},
      backups_(std::move(session), std::move(errorDialog)) {}

std::vector<ExportedFile> ModelExporter::exportToTempDirectory(const pfcModel_ptr& model, bool isRoot) {
  if (record_.failed()) return {};
  if (!model) {
    logError("Upload failed: Unknown model type");
    return record_.failWith("This model type is not supported for upload.",
                            "Unsupported model type encountered during export.");
  }
  const std::string fileName = fromXstring(model->GetFileName());
  // A model met again (a part used in many places, a sub-assembly used twice)
  // has nothing more to give: it is passed over before its metadata, which for
  // an assembly means a walk over all its components.
  const std::string origin = fromXstring(model->GetOrigin());
  const std::string modelKey = modelFileKey(origin, fileName);
  if (record_.exportedModels.contains(modelKey)) {
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
    return record_.failWith(kPrepareFailedText, "Family table classification failed during export.");
  }
  std::vector<ExportedFile> files = exportResolvedModel(model, metadata, directory, isRoot);
  if (!record_.failed()) record_.exportedModels.insert(modelKey);
  return files;
}

std::vector<ExportedFile> ModelExporter::exportResolvedModel(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                                             const fs::path& directory, bool isRoot) {
  const pfcModelType type = model->GetType();
  const std::optional<ModelKind> kind = modelKindOf(type, metadata);
  const bool instance = kind && isFamilyTableInstance(*kind);
  if (type != pfcMDL_DRAWING && !instance && isWindchillOrigin(fromXstring(model->GetOrigin())))
    return exportWindchillModel(walk_, model, directory, record_);
  if (!kind) {
    logError("Upload failed: Unknown model type");
    return record_.failWith("This model type is not supported for upload.",
                            "Unsupported model type encountered during export.");
  }
  switch (*kind) {
    case ModelKind::Part:
    case ModelKind::FamilyTableGenericPart: return exportPart(metadata, directory, record_);
    case ModelKind::FamilyTableInstancePart:
      return exportFamilyTableInstance(walk_.session, model, directory, isRoot, backups_, record_);
    case ModelKind::Assembly:
    case ModelKind::FamilyTableGenericAssembly:
    case ModelKind::FamilyTableInstanceAssembly:
      return exportAssembly(walk_, model, metadata, directory, isRoot, backups_, record_);
    case ModelKind::Drawing: return exportDrawing(model, metadata, directory, record_);
  }
  return {};
}

void ModelExporter::finalizeExport() { backups_.finalize(); }
