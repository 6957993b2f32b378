#include "model/assembly_export.h"

#include <exception>
#include <string>

#include <pfcExceptions.h>

#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "model/export_texts.h"
#include "model/family_table_export.h"
#include "model/file_replacement.h"

namespace fs = std::filesystem;

namespace {

// False when the assembly contributes nothing more: it failed, or it was staged before.
bool exportAssemblyParent(const pfcSession_ptr& session, const pfcModel_ptr& model, const ModelMetadata& metadata,
                          const fs::path& directory, bool isRoot, AcceleratorBackups& backups, ExportRecord& record,
                          std::vector<ExportedFile>& result) {
  if (metadata.isFamilyTableInstance) {
    // An instance's model path is its generic's file, which tells nothing about
    // the instance: the family-table branch knows whether it was staged.
    logDebug("Exporting generic and accelerator file for assembly parent");
    std::vector<ExportedFile> files = exportFamilyTableInstance(session, model, directory, isRoot, backups, record);
    if (record.failed()) return false;
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
    record.failWith(kMissingPartsText, "Parent assembly file was not found during export.");
    return false;
  }
  const fs::path& source = *metadata.modelPath;
  if (record.stagedSources.contains(source)) {
    logDebug("Skipping temp. directory export for already exported model: " + metadata.fileName);
    return false;
  }
  logDebug("Exporting parent file for non-FT/generic assembly");
  const fs::path target = directory / source.filename();
  stageFileReplacing(source, target);
  logDebug("Parent assembly file exported to: " + pathToUtf8(target));
  result.push_back(plainExportedFile(target));
  record.stagedSources.append(source);
  return true;
}

}  // namespace

std::vector<ExportedFile> exportAssembly(const ComponentWalk& walk, const pfcModel_ptr& model,
                                         const ModelMetadata& metadata, const fs::path& directory, bool isRoot,
                                         AcceleratorBackups& backups, ExportRecord& record) {
  static const ComponentTexts kTexts = {
      "ModelExporter::exportToTempDirectory()", "Unable to cast child feature to component",
      "Unable to cast assembly child feature to component.", "Unable to retrieve child model from descriptor",
      "Unable to retrieve assembly child model from descriptor."};
  logDebug("Exporting assembly and child components for upload");
  std::vector<ExportedFile> result;
  try {
    const auto error = catchToolkitError([&] {
      logDebug("Exporting parent assembly file to temp. directory");
      if (!exportAssemblyParent(walk.session, model, metadata, directory, isRoot, backups, record, result)) return;
      logDebug("Exporting child components of assembly");
      exportComponents(walk, model, kTexts, record, result);
      if (!record.failed()) logDebug("Extracted all components succesfully from assembly");
    });
    if (error && error->kind == ToolkitErrorKind::NotFound) {
      logError("ModelExporter: assembly child model or descriptor was not found during export.");
      record.failWith(kMissingPartsText, "Assembly child model or descriptor was not found during export.");
    } else if (error && error->kind == ToolkitErrorKind::NoPermission) {
      logError("ModelExporter: Creo lacks permission to retrieve an assembly child during export.");
      record.failWith(kMissingPartsText, "Creo lacked permission to retrieve an assembly child during export.");
    } else if (error) {
      logError("Creo toolkit error while exporting assembly components. exception=" + error->description());
      record.failWith(kMissingPartsText, "Creo toolkit error while exporting assembly components.");
    }
  } catch (const std::exception& error) {
    logError("An error occurred while exporting assembly components: " + std::string(error.what()));
    record.failWith(kMissingPartsText, "Unexpected error while exporting assembly components.");
  }
  return result;
}
