#include "model/windchill_model_export.h"

#include <pfcExceptions.h>

#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/export_texts.h"
#include "model/windchill_names.h"
#include "model/windchill_revision.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

namespace {

std::vector<ExportedFile> exportWindchillAssemblyComponents(const ComponentWalk& walk, const pfcModel_ptr& model,
                                                            ExportedFile ownFile, ExportRecord& record) {
  static const ComponentTexts kTexts = {
      "ModelExporter::exportWindchillModel()", "Unable to cast child feature to component.",
      "Unable to cast Windchill assembly child feature to component.",
      "Unable to retrieve child model from descriptor.",
      "Unable to retrieve Windchill assembly child model from descriptor."};
  std::vector<ExportedFile> result{std::move(ownFile)};
  const std::string fileName = fromXstring(model->GetFileName());
  try {
    const auto error = catchToolkitError([&] {
      logDebug("Exporting child components of Windchill assembly: " + fileName);
      exportComponents(walk, model, kTexts, record, result);
      if (!record.failed()) logDebug("Extracted all components successfully from Windchill assembly: " + fileName);
    });
    if (error && error->kind == ToolkitErrorKind::NotFound) {
      logError("ModelExporter: Windchill assembly child model or descriptor was not found during export: " +
               error->description());
      record.failWith(kMissingPartsText, "Windchill assembly child model or descriptor was not found during export.");
    } else if (error && error->kind == ToolkitErrorKind::NoPermission) {
      logError("ModelExporter: Creo lacks permission to retrieve a Windchill assembly child during export: " +
               error->description());
      record.failWith(kWindchillFilesText, "Creo lacked permission to retrieve a Windchill assembly child during export.");
    } else if (error) {
      logError("Creo toolkit error while exporting Windchill assembly components: " + fileName +
               ", exception=" + error->description());
      record.failWith(kMissingPartsText, "Creo toolkit error while exporting Windchill assembly components.");
    }
  } catch (const std::exception& error) {
    logError("Error exporting Windchill assembly components: " + std::string(error.what()));
    record.failWith(kMissingPartsText, "Unexpected error while exporting Windchill assembly components.");
  }
  return result;
}

}  // namespace

std::vector<ExportedFile> exportWindchillModel(const ComponentWalk& walk, const pfcModel_ptr& model,
                                               const fs::path& directory, ExportRecord& record) {
  const std::string fileName = fromXstring(model->GetFileName());
  const std::string origin = fromXstring(model->GetOrigin());
  logDebug("ModelExporter: Windchill model raw GetFileName()=" + fileName + ", GetOrigin()=" + origin);
  const std::string key = modelFileKey(origin, fileName);
  if (record.stagedWindchillModels.count(key)) {
    logDebug("Skipping already-staged Windchill model: " + fileName);
    return {};
  }
  const std::optional<fs::path> copy = copyWindchillModelIfNeeded(walk.session, origin, fileName, directory);
  if (!copy) {
    logError("Failed to stage Windchill model locally for export: " + fileName);
    return record.failWith(kWindchillFilesText, "Failed to stage Windchill model locally for export.");
  }
  record.stagedWindchillModels.insert(key);

  const std::optional<WindchillRevision> revision =
      resolveWindchillRevision(model, "Failed to resolve Windchill model revision during export.",
                               "Failed to resolve Windchill model iteration during export.", record);
  if (!revision) return {};

  ExportedFile own{*copy, false, revision->version, "", revision->revision};
  if (model->GetType() != pfcMDL_ASSEMBLY) return {own};
  own.markedEntry = true;
  return exportWindchillAssemblyComponents(walk, model, std::move(own), record);
}
