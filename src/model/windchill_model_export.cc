// The exporter's Windchill branch: a part or assembly copied out of the
// workspace, with the revision and iteration Windchill knows it by.
#include <pfcModel.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/creo_model_queries.h"
#include "model/export_texts.h"
#include "model/model_exporter.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

std::vector<ExportedFile> ModelExporter::exportWindchillModel(const pfcModel_ptr& model, const fs::path& directory) {
  const std::string fileName = fromXstring(model->GetFileName());
  const std::string origin = fromXstring(model->GetOrigin());
  logDebug("ModelExporter: Windchill model raw GetFileName()=" + fileName + ", GetOrigin()=" + origin);
  const std::string key = modelFileKey(origin, fileName);
  if (stagedWindchillGenerics_.count(key)) {
    logDebug("Skipping already-staged Windchill model: " + fileName);
    return {};
  }
  const std::optional<fs::path> copy = copyWindchillModelIfNeeded(session_, origin, fileName, directory);
  if (!copy) {
    logError("Failed to stage Windchill model locally for export: " + fileName);
    return failWith(kWindchillFilesText, "Failed to stage Windchill model locally for export.");
  }
  stagedWindchillGenerics_.insert(key);

  const std::optional<WindchillRevision> revision =
      resolveWindchillRevision(model, "Failed to resolve Windchill model revision during export.",
                               "Failed to resolve Windchill model iteration during export.");
  if (!revision) return {};

  ExportedFile own{*copy, false, revision->version, "", revision->revision};
  if (model->GetType() != pfcMDL_ASSEMBLY) return {own};
  own.markedEntry = true;
  return exportWindchillAssemblyComponents(model, std::move(own));
}

std::vector<ExportedFile> ModelExporter::exportWindchillAssemblyComponents(const pfcModel_ptr& model,
                                                                           ExportedFile ownFile) {
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
      exportComponents(model, kTexts, result);
      if (userMessage_.empty()) logDebug("Extracted all components successfully from Windchill assembly: " + fileName);
    });
    if (error && error->kind == ToolkitErrorKind::NotFound) {
      logError("ModelExporter: Windchill assembly child model or descriptor was not found during export: " +
               error->description());
      failWith(kMissingPartsText, "Windchill assembly child model or descriptor was not found during export.");
    } else if (error && error->kind == ToolkitErrorKind::NoPermission) {
      logError("ModelExporter: Creo lacks permission to retrieve a Windchill assembly child during export: " +
               error->description());
      failWith(kWindchillFilesText, "Creo lacked permission to retrieve a Windchill assembly child during export.");
    } else if (error) {
      logError("Creo toolkit error while exporting Windchill assembly components: " + fileName +
               ", exception=" + error->description());
      failWith(kMissingPartsText, "Creo toolkit error while exporting Windchill assembly components.");
    }
  } catch (const std::exception& error) {
    logError("Error exporting Windchill assembly components: " + std::string(error.what()));
    failWith(kMissingPartsText, "Unexpected error while exporting Windchill assembly components.");
  }
  return result;
}

std::optional<ModelExporter::WindchillRevision> ModelExporter::resolveWindchillRevision(
    const pfcModel_ptr& model, const char* revisionDetail, const char* iterationDetail) {
  const std::optional<std::string> revision = resolveWindchillRevisionForExport(model);
  if (!revision) {
    failWith(kWindchillRevisionText, revisionDetail);
    return std::nullopt;
  }
  // A model never checked in has no iteration yet: it is the first.
  std::string version = "1";
  const CreoQueryResult iteration = CreoModelQueries::GetVersion(model);
  if (iteration.status == QueryStatus::Ok) version = iteration.value;
  if (iteration.status == QueryStatus::ToolkitError) {
    logError(iterationDetail);
    failWith(kWindchillRevisionText, iterationDetail);
    return std::nullopt;
  }
  return WindchillRevision{*revision, version};
}

std::optional<std::string> ModelExporter::resolveWindchillRevisionForExport(const pfcModel_ptr& model) {
  const CreoQueryResult revision = CreoModelQueries::GetRevision(model);
  if (revision.status == QueryStatus::Ok) return revision.value;
  if (revision.status == QueryStatus::ToolkitError) {
    logError("Failed to resolve Windchill model revision during export.");
    return std::nullopt;
  }
  std::string stamp;
  try {
    if (const auto error = catchToolkitError([&] { stamp = fromXstring(model->GetVersionStamp()); })) {
      logError("Failed to resolve Windchill version stamp during export: " + error->description());
      return std::nullopt;
    }
  } catch (const std::exception& error) {
    logError("Failed to resolve Windchill version stamp during export: " + std::string(error.what()));
    return std::nullopt;
  }
  if (stamp.empty()) {
    logWarning("Windchill model has neither a revision nor an internal version stamp.");
    return std::nullopt;
  }
  logInfo("Windchill model revision unavailable; using per-model version stamp: " + stamp);
  return stamp;
}
