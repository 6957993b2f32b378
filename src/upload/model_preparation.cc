#include "upload/model_preparation.h"

#include <exception>

#include <pfcGlobal.h>
#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcSolid.h>
#include <pfcSimpRep.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/model_kind.h"
#include "model/model_validation.h"
#include "model/path_text.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace {

constexpr const char* kSessionUnavailable = "Creo session is unavailable.\nPlease restart Creo and try again.";
constexpr const char* kNoModel = "No supported model is currently open.\nPlease open a model and try again.";
constexpr const char* kUnreadableModel =
    "Failed to read the current model.\nPlease verify the integration version matches your Creo version.";
constexpr const char* kPreparationFailed =
    "Failed to prepare the model for upload.\nPlease try again or contact support.";

PreparedModel refused(std::string message) { return PreparedModel{std::move(message), std::nullopt}; }

PreparedModel stageWindchillModel(const pfcBaseSession_ptr& session, const std::string& origin,
                                  const std::string& fileName) {
  logInfo("Model is loaded from a Windchill workspace; copying to local temp directory.");
  std::optional<std::filesystem::path> staged;
  try {
    const std::filesystem::path directory = getSessionTempDirectory(makeWindchillScopeKey(origin, fileName));
    logDebug("prepareModelLocally: staging Windchill model. file=" + fileName + ", origin=" + origin +
             ", temp_dir=" + pathToUtf8(directory));
    staged = copyWindchillModelIfNeeded(session, origin, fileName, directory);
  } catch (const std::exception& e) {
    logError(std::string("prepareModelLocally: ") + e.what());
  }
  if (!staged) {
    logError("Failed to stage Windchill model locally; cannot open upload dialog.");
    return refused(kPreparationFailed);
  }
  logInfo("Windchill model preparation complete.");
  return PreparedModel{{}, staged};
}

}  // namespace

bool hasSimplifiedRepresentation(const pfcModel_ptr& model, int type, const std::string& fileName,
                                 const SimplifiedRepCheckTexts& texts) {
  if (type != pfcMDL_PART && type != pfcMDL_ASSEMBLY) {
    logDebug(texts.nonSolidSkipped +
             modelKindName(type) + "(" + std::to_string(type) + "), file=" + fileName);
    return false;
  }
  bool simplified = false;
  const auto error = catchToolkitError([&] {
    pfcSolid_ptr solid = pfcSolid::cast(model);
    pfcSimpRep_ptr representation = solid ? solid->GetActiveSimpRep() : nullptr;
    simplified = representation && representation->GetSimpRepType() != 0;
  });
  if (error) {
    logWarning(texts.checkFailed + fileName +
               ", exception=" + error->description());
  }
  return simplified;
}

PreparedModel prepareModelLocally() {
  pfcSession_ptr session = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible);
  if (!session) {
    logError("Creo session unavailable during model preparation.");
    return refused(kSessionUnavailable);
  }

  pfcModel_ptr model;
  if (catchToolkitError([&] { model = session->GetCurrentModel(); })) {
    logWarning("GetCurrentModel failed; current object may not be an uploadable model.");
    logWarning("Current Creo object is not an uploadable model.");
    return refused(kNoModel);
  }
  if (!model) {
    logWarning("No current model is active during model preparation.");
    return refused(kNoModel);
  }

  // An unreadable name leaves it empty, which the file-type check refuses.
  std::string fileName;
  try {
    catchToolkitError([&] { fileName = fromXstring(model->GetFileName()); });
  } catch (const std::exception&) {
  } catch (...) {
    logError("Non-C++ exception in wfcWModel::GetFileName (possible Creo ABI mismatch).");
    return refused(kUnreadableModel);
  }

  const int type = model->GetType();
  const std::string kind = modelKindName(type);
  logDebug("prepareModelLocally: current model resolved. type=" + kind + "(" + std::to_string(type) +
           "), file=" + fileName);
  const bool simplified = hasSimplifiedRepresentation(model, type, fileName, kPrepareModelLocallyTexts);
  if (std::string verdict = validateFileType(fileName, simplified); !verdict.empty()) {
    logWarning("Unsupported file selected for upload: " + fileName + ", type=" + kind +
               ", is_simplified_rep=" + (simplified ? "true" : "false"));
    return refused(std::move(verdict));
  }

  std::string origin;
  if (catchToolkitError([&] { origin = fromXstring(model->GetOrigin()); })) {
    logError("Unable to resolve model origin during upload preparation.");
    return refused(kPreparationFailed);
  }
  if (isWindchillOrigin(origin)) return stageWindchillModel(session, origin, fileName);

  logDebug("prepareModelLocally: filesystem model detected. origin=" + origin);
  if (std::string verdict = validateSavedFile(pathFromUtf8(origin)); !verdict.empty()) {
    logWarning(origin.empty() ? "Filesystem model has no origin; treating it as unsaved."
                              : "Filesystem model origin is present but the file is not accessible.");
    return refused(std::move(verdict));
  }
  return PreparedModel{};
}
