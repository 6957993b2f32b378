#include "model/windchill_staging.h"

#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcExceptions.h>

#include "core/directory_removal.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/path_text.h"
#include "model/windchill_names.h"

namespace fs = std::filesystem;

namespace {

bool pathExists(const fs::path& path) {
  std::error_code error;
  bool present = fs::exists(path, error);
  if (error) throw fs::filesystem_error("exists", path, error);
  return present;
}

// A name from an origin is joined to a directory of ours; one that would step
// out of it ("..", a separator) is refused rather than copied.
bool refuseUnsafeName(const std::string& origin, const std::string& localName) {
  if (isSafeLocalFileName(localName)) return false;
  logError("WindchillUtils: refusing Windchill origin whose file name leaves the destination directory. origin=" +
           origin + ", file=" + localName);
  return true;
}

void removeCopyDirectory(const fs::path& directory) {
  if (removeDirectoryTree(directory).error)
    logWarning("WindchillUtils: failed to clean up temporary Windchill copy directory.");
}

}  // namespace

std::optional<fs::path> copyWindchillModel(const pfcBaseSession_ptr& session, const std::string& origin,
                                           const std::string& modelFileName, const fs::path& destination) {
  if (!session) {
    logError("WindchillUtils: session pointer is null; cannot copy Windchill model.");
    return std::nullopt;
  }
  if (origin.empty() || modelFileName.empty()) {
    logError("WindchillUtils: wsOrigin or modelFileName is empty; cannot copy Windchill model.");
    return std::nullopt;
  }
  const std::string localName = localFileNameFromOrigin(origin);
  const std::string destinationText = pathToUtf8(destination);
  logInfo("WindchillUtils: copying Windchill model from workspace. file=" + modelFileName +
          ", origin=" + origin + ", dest=" + destinationText);
  if (refuseUnsafeName(origin, localName)) return std::nullopt;
  if (localName != modelFileName)
    logDebug("WindchillUtils: resolved local filename from origin: " + modelFileName + " -> " + localName);

  try {
    const auto error = catchToolkitError([&] { session->CopyFileFromWS(toXstring(origin), pathToXstring(destination)); });
    if (!error) {
      fs::path copied = destination / pathFromUtf8(localName);
      if (!pathExists(copied)) {
        logError("WindchillUtils: CopyFileFromWS returned but output file not found: " + pathToUtf8(copied));
        return std::nullopt;
      }
      logDebug("WindchillUtils: Windchill model successfully copied to: " + pathToUtf8(copied));
      return copied;
    }
    if (error->kind == ToolkitErrorKind::InvalidFile)
      logError("WindchillUtils: CopyFileFromWS failed because the source file is missing or invalid. origin=" +
               origin + ", model=" + modelFileName);
    else if (error->kind == ToolkitErrorKind::InvalidDir)
      logError("WindchillUtils: CopyFileFromWS failed because the destination directory does not exist. dest=" + destinationText +
               ", model=" + modelFileName);
    else if (error->kind == ToolkitErrorKind::CantAccess)
      logError("WindchillUtils: CopyFileFromWS failed because Creo cannot access the source or destination. origin=" + origin +
               ", dest=" + destinationText);
    else
      logError("WindchillUtils: Creo toolkit error while copying Windchill model: " + modelFileName +
               ", exception=" + error->className);
  } catch (const std::exception& error) {
    logError("WindchillUtils: unexpected error while copying Windchill model: " + std::string(error.what()));
  }
  return std::nullopt;
}

std::optional<fs::path> copyWindchillModelIfNeeded(const pfcBaseSession_ptr& session, const std::string& origin,
                                                   const std::string& modelFileName, const fs::path& destination) {
  const std::string localName = localFileNameFromOrigin(origin);
  if (refuseUnsafeName(origin, localName)) return std::nullopt;
  fs::path existing = destination / pathFromUtf8(localName);
  if (pathExists(existing)) {
    logDebug("WindchillUtils: model already present locally, reusing: " + pathToUtf8(existing));
    return existing;
  }
  return copyWindchillModel(session, origin, modelFileName, destination);
}

std::optional<fs::path> stageWindchillModelToPath(const pfcBaseSession_ptr& session, const std::string& origin,
                                                  const std::string& modelFileName, const fs::path& target) {
  std::optional<fs::path> copyDirectory;
  try {
    if (pathExists(target)) {
      logDebug("WindchillUtils: model already present locally at explicit path, reusing: " +
               pathToUtf8(target));
      return target;
    }
    const fs::path parent = target.parent_path();
    if (!parent.empty()) fs::create_directories(parent);
    copyDirectory = parent / windchillCopyDirectoryName(origin);
    fs::create_directories(*copyDirectory);

    std::optional<fs::path> copied = copyWindchillModel(session, origin, modelFileName, *copyDirectory);
    if (copied && *copied != target) fs::copy_file(*copied, target, fs::copy_options::overwrite_existing);
    // The copy directory is ours alone: it goes whether or not the copy worked.
    removeCopyDirectory(*copyDirectory);
    if (!copied) return std::nullopt;
    logDebug("WindchillUtils: Windchill model successfully staged to explicit path: " + pathToUtf8(target));
    return target;
  } catch (const std::exception& error) {
    logError("WindchillUtils: unexpected error while staging Windchill model to explicit path: " +
             std::string(error.what()));
    if (copyDirectory) removeCopyDirectory(*copyDirectory);
    return std::nullopt;
  }
}

bool isWindchillFamilyInstance(const pfcModel_ptr& model) {
  if (!model) return false;
  bool instance = false;
  catchToolkitError([&] {
    if (!isWindchillOrigin(fromXstring(model->GetOrigin()))) return;
    if (fromXstring(model->GetFileName()).find('<') == std::string::npos) return;
    pfcModelType type = model->GetType();
    instance = type == pfcMDL_ASSEMBLY || type == pfcMDL_PART;
  });
  return instance;
}

namespace {

// The one loaded model in the instance's folder that its generic's name fits, or null.
pfcModel_ptr onlyLoadedGenericOf(const pfcModels_ptr& models, const pfcModel_ptr& instance) {
  const std::string instanceFileName = fromXstring(instance->GetFileName());
  const std::string instanceOrigin = fromXstring(instance->GetOrigin());
  const pfcModelType instanceType = instance->GetType();
  const std::string expected = normalisedModelFileName(genericFileNameOf(instanceFileName));
  if (expected.empty()) return nullptr;
  const std::string folder = originFolder(instanceOrigin);
  if (folder.empty()) return nullptr;

  std::vector<pfcModel_ptr> candidates;
  for (xint i = 0; i < models->getarraysize(); ++i) {
    const pfcModel_ptr& model = models->get(i);
    if (!model || model == instance || model->GetType() != instanceType) continue;
    const std::string origin = fromXstring(model->GetOrigin());
    if (!isWindchillOrigin(origin) || originFolder(origin) != folder) continue;
    const std::string comparable = comparableFileName(fromXstring(model->GetFileName()));
    if (comparable.empty() || comparable.find('<') != std::string::npos) continue;
    if (normalisedModelFileName(comparable) == expected) candidates.push_back(model);
  }
  if (candidates.size() == 1) return candidates.front();
  if (candidates.size() > 1)
    logDebug("WindchillUtils: Windchill FT generic lookup was ambiguous. instance_file=" + instanceFileName +
             ", expected_generic=" + expected + ", candidate_count=" + std::to_string(candidates.size()));
  return nullptr;
}

}  // namespace

pfcModel_ptr findLoadedWindchillGeneric(const pfcModels_ptr& models, const pfcModel_ptr& instance) {
  if (!models || !isWindchillFamilyInstance(instance)) return nullptr;
  pfcModel_ptr generic;
  if (const auto error = catchToolkitError([&] { generic = onlyLoadedGenericOf(models, instance); })) {
    logWarning("WindchillUtils: Creo toolkit error during Windchill FT generic lookup. exception=" + error->className);
    return nullptr;
  }
  return generic;
}
