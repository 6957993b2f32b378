#include "model/model_metadata.h"

#include <chrono>

#include <pfcModel.h>
#include <pfcFamily.h>
#include <pfcParameter.h>
#include <pfcExceptions.h>

#include "core/local_time.h"
#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/ascii_case.h"
#include "core/toolkit_text.h"
#include "model/creo_model_queries.h"
#include "model/missing_path_error.h"
#include "model/model_time_format.h"
#include "model/path_text.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

bool isPartOrAssembly(pfcModelType type) { return type == pfcMDL_ASSEMBLY || type == pfcMDL_PART; }

}  // namespace

ModelMetadata ModelMetadataResolver::getModelMetadata(const pfcModel_ptr& model, const std::optional<fs::path>& path) {
  logDebug("Resolving model metadata.");
  ModelMetadata metadata;
  metadata.fileName = resolveFileName(model);

  // Windchill components are copied beside a staged copy the caller handed in,
  // never beside the user's own files.
  const std::optional<fs::path> modelPath = path ? path : resolveModelPath(model);
  std::optional<fs::path> stagingDirectory;
  if (path) stagingDirectory = path->parent_path();

  logDebug("getModelMetadata: resolving file size.");
  metadata.fileSizeMb = resolveFileSize(modelPath, model, stagingDirectory);
  logDebug("getModelMetadata: resolving date and source revision id.");
  metadata.formattedDate = resolveFormattedDate(modelPath);
  metadata.sourceRevisionId = resolveSourceRevisionId(model);
  logDebug("getModelMetadata: resolving unique ID and family table classification.");
  metadata.uniqueId = resolveUniqueId(modelPath);
  resolveFamilyTableClassification(model, metadata);
  logDebug("getModelMetadata: resolving lifecycle state.");
  metadata.lifecycleState = resolveLifecycleState(model);
  metadata.modelPath = modelPath;
  logDebug("Model metadata resolved.");
  return metadata;
}

std::string ModelMetadataResolver::resolveFileName(const pfcModel_ptr& model) {
  logDebug("Resolving model filename.");
  std::string name;
  if (model) catchToolkitError([&] { name = fromXstring(model->GetFileName()); });
  if (name.empty()) {
    logWarning("Model common name missing; using default filename.");
    return ".undefined";
  }
  return asciiLowered(name);
}

std::optional<fs::path> ModelMetadataResolver::resolveModelPath(const pfcModel_ptr& model) {
  if (!model) {
    logError("Model pointer is null; unable to resolve model path.");
    return std::nullopt;
  }
  std::string origin;
  catchToolkitError([&] { origin = fromXstring(model->GetOrigin()); });
  if (origin.empty()) {
    logError("Model origin is empty; unable to resolve model path.");
    return std::nullopt;
  }
  if (isWindchillOrigin(origin)) {
    logDebug("Model is loaded from a Windchill workspace; local filesystem path is not available.");
    return std::nullopt;
  }
  const fs::path path = pathFromUtf8(origin);
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && !isMissingPathError(error)) throw fs::filesystem_error("status", path, error);
  if (!error && fs::is_regular_file(status)) {
    logDebug("Model path resolved.");
    return path;
  }
  logError("Model path is invalid or not a file.");
  return std::nullopt;
}

std::string ModelMetadataResolver::resolveFormattedDate(const std::optional<fs::path>& path) {
  if (!path) {
    logDebug("Skipping formatted date resolution (no path).");
    return {};
  }
  const auto written = lastWriteTime(*path);
  if (!written) {
    logWarning("Failed to read model last write time.");
    return {};
  }
  return formatLongDate(localTimeOf(std::chrono::system_clock::to_time_t(*written)));
}

void ModelMetadataResolver::resolveFamilyTableClassification(const pfcModel_ptr& model, ModelMetadata& metadata) {
  metadata.isFamilyTableGeneric = false;
  metadata.isFamilyTableInstance = false;
  logDebug("Determining if the model is a family table instance or generic");
  if (!model) {
    logError("Model pointer is null; unable to resolve family table classification.");
    return;
  }
  const auto error = catchToolkitError([&] {
    const pfcModelType type = model->GetType();
    if (isWindchillOrigin(fromXstring(model->GetOrigin()))) {
      // The family table of a workspace model cannot be asked; its file name tells.
      const std::string fileName = fromXstring(model->GetFileName());
      if (fileName.find('<') != std::string::npos) {
        if (isPartOrAssembly(type))
          metadata.isFamilyTableInstance = true;
        else
          logWarning("Windchill model has '<' in filename but is not a part or assembly (type=" +
                     std::to_string(type) + ", file=" + fileName + "); not classifying as FT instance.");
      }
      logDebug(std::string("Windchill model family table classification: isFamilyTableInstance=") +
               (metadata.isFamilyTableInstance ? "true" : "false"));
      return;
    }
    logDebug("Current model type: " + std::to_string(type));
    if (!isPartOrAssembly(type)) {
      logDebug("Current model is not a part or assembly, treating it as a non family-table");
      return;
    }
    pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
    if (!member) {
      logDebug("Model cannot be cast to family member; treating as non-family table.");
      return;
    }
    if (member->GetImmediateGenericInfo()) {
      metadata.isFamilyTableInstance = true;
      logDebug("Model classified as family table instance.");
      return;
    }
    pfcFamilyTableRows_ptr rows = member->ListRows();
    if (rows && rows->getarraysize() > 0) {
      metadata.isFamilyTableGeneric = true;
      logDebug("Model classified as family table generic.");
    } else {
      logDebug("Family member has no rows; treating as non-family table.");
    }
  });
  if (error) {
    logError("Creo toolkit error while determining if the model is a family table");
    metadata.familyTableUnknown = true;
  }
}

std::string ModelMetadataResolver::resolveLifecycleState(const pfcModel_ptr& model) {
  if (!model) return {};
  std::string state;
  const auto error = catchToolkitError([&] {
    if (!isWindchillOrigin(fromXstring(model->GetOrigin()))) return;
    pfcParameter_ptr parameter = model->GetParam("PTC_WM_LIFECYCLE_STATE");
    pfcParamValue_ptr value = parameter ? parameter->GetValue() : nullptr;
    if (value && value->Getdiscr() == pfcPARAM_STRING) state = fromXstring(value->GetStringValue());
  });
  if (!error) return state;
  if (error->kind == ToolkitErrorKind::NotFound)
    logError("ModelMetadataResolver: model not found in session.");
  else if (error->kind == ToolkitErrorKind::BadContext)
    logError("ModelMetadataResolver: lifecycle-state parameter lookup failed because the model context is invalid.");
  return {};
}

std::string ModelMetadataResolver::resolveSourceRevisionId(const pfcModel_ptr& model) {
  if (!model) {
    logError("Model pointer is null; unable to resolve source revision id.");
    return {};
  }
  std::optional<std::string> localStamp;
  const auto error = catchToolkitError([&] {
    if (!isWindchillOrigin(fromXstring(model->GetOrigin()))) localStamp = fromXstring(model->GetVersionStamp());
  });
  if (error) {
    logError("Model source revision id could not be read: " + error->description());
    return {};
  }
  if (localStamp) {
    if (localStamp->empty()) logWarning("Model source revision id is empty.");
    return *localStamp;
  }
  const CreoQueryResult revision = CreoModelQueries::GetRevision(model);
  switch (revision.status) {
    case QueryStatus::Ok: return revision.value;
    case QueryStatus::ToolkitError:
      logError("Windchill model revision could not be read; leaving source revision id empty.");
      return {};
    case QueryStatus::Empty:
    case QueryStatus::StructuredException: break;
  }
  std::string stamp;
  if (const auto stampError = catchToolkitError([&] { stamp = fromXstring(model->GetVersionStamp()); })) {
    logError("Windchill source revision id could not be read after revision fallback: " + stampError->description());
    return {};
  }
  logInfo("Windchill model revision unavailable; using source revision id: " + stamp);
  return stamp;
}

SourceRevision resolveSourceRevisionVersion(const pfcModel_ptr& model, const std::string& sourceRevisionId) {
  SourceRevision revision{sourceRevisionId, {}};
  if (!model) {
    logWarning("Model pointer is null; unable to resolve source revision version.");
    return revision;
  }
  std::string origin;
  if (const auto error = catchToolkitError([&] { origin = fromXstring(model->GetOrigin()); })) {
    logError("Model source revision version could not be read: " + error->description());
    return revision;
  }
  if (!isWindchillOrigin(origin)) return {sourceRevisionId, "1"};
  const CreoQueryResult version = CreoModelQueries::GetVersion(model);
  switch (version.status) {
    case QueryStatus::Ok: revision.sourceRevisionVersion = version.value; break;
    case QueryStatus::Empty:
    case QueryStatus::StructuredException:
      logInfo("Windchill model iteration unavailable; defaulting source revision version to 1.");
      return {sourceRevisionId, "1"};
    case QueryStatus::ToolkitError:
      logError("Windchill model iteration could not be read; leaving source revision version empty.");
      break;
  }
  return revision;
}
