#include "upload/upload_transfer.h"

#include <chrono>
#include <exception>
#include <thread>

#include "cloud/session_functions.h"
#include "core/log.h"
#include "core/session_temp_directory.h"
#include "model/creo_model_queries.h"
#include "upload/upload_failure_classification.h"
#include "upload/upload_payload.h"
#include "upload/uploaded_file_address.h"

UploadPauses oneSecondPauses() {
  auto oneSecond = [] { std::this_thread::sleep_for(std::chrono::seconds(1)); };
  return UploadPauses{oneSecond, oneSecond};
}

void resetUploadStaging(UploadStaging& staging) {
  logDebug("Resetting upload staging state: files_to_upload=" + std::to_string(staging.files.size()));
  staging.files.clear();
  staging.modelPath.reset();
  if (!staging.tempScopeKey.empty()) {
    logDebug("Clearing upload temp scope key for completed/aborted upload.");
    staging.tempScopeKey.clear();
  }
  // Another upload may have a directory of its own by now.
  if (staging.heldDirectory) {
    if (!staging.heldDirectory->empty()) releaseSessionTempDirectory(*staging.heldDirectory);
    staging.heldDirectory.reset();
    return;
  }
  cleanupSessionTempDirectory();
}

namespace {

class Transfer {
 public:
  Transfer(UploadJob& job, INorvaneClient& client, SessionManager& session, UploadPauses& pauses,
           UploadOperationState& state)
      : job_(job), client_(client), session_(session), pauses_(pauses), state_(state) {}

  void run() {
    if (!job_.exportError.empty()) {
      if (!job_.exportDetail.empty())
        logWarning("Upload aborted before transfer because export failed: " + job_.exportDetail);
      return fail(UploadFailureKind::Other, job_.exportError);
    }

    logInfo("Upload started.");
    const NorvaneWorkspace& workspace = job_.workspace;
    logInfo("Resolving root directory for workspace id=" + std::to_string(workspace.id) + ", name=" + workspace.name);
    std::optional<NorvaneDirectory> root;
    std::exception_ptr rootFailure;
    try {
      root = fetchRootDirectory(client_, session_, workspace.id);
    } catch (...) {
      logWarning("Upload failed: exception while resolving root directory for workspace.");
      rootFailure = std::current_exception();
    }
    if (!root) {
      logWarning("Upload failed: no root directory found for selected workspace.");
      return classifyAndFail(rootFailure);
    }
    logInfo("Root directory resolved: id=" + std::to_string(root->id) + ", name=" + root->name);

    const std::shared_ptr<const NorvaneLocalAuthTokens> tokens = session_.getTokens();
    if (!tokens) {
      logError("Upload failed: no auth tokens available.");
      return fail(UploadFailureKind::SessionExpired, kSessionExpiredMessage);
    }
    logDebug("Auth tokens available for upload.");

    const std::optional<ModelKind> kind = modelKindOf(job_.modelType, job_.metadata);
    if (!kind) {
      logError("Upload failed: Unknown model type");
      return fail(UploadFailureKind::UnsupportedModel, kModelNotSupportedMessage);
    }
    if (job_.staging.files.empty()) {
      logError("Upload failed: no files exported.");
      return fail(UploadFailureKind::Other, "No files were available to upload. Please try again.");
    }
    if (job_.sourceRevisionVersion.empty()) {
      logError("Upload failed: source revision version could not be resolved.");
      return fail(UploadFailureKind::Other,
                  job_.windchillOrigin
                      ? "We couldn't read the Windchill revision information required for upload.\nPlease reopen "
                        "the model and try again."
                      : "We couldn't read the source revision information required for upload.\nPlease reopen the "
                        "model and try again.");
    }
    UploadContext context{*kind, workspace, *root, job_.metadata, job_.sourceRevisionVersion, {}};
    if (job_.staging.modelPath) context.lastModified = CreoModelQueries::formatFileTimeIso(*job_.staging.modelPath);
    const NorvaneUploadPayload payload = buildUploadPayload(context, job_.staging.files);
    const std::string primaryName = primaryFileName(payload);

    pause(pauses_.beforeTransfer);
    state_.setPhase(UploadPhase::Transferring);
    logDebug("Upload transfer started.");
    NorvaneUploadResult result;
    try {
      result = client_.upload(tokens->accessToken, payload, false);
    } catch (const std::exception& e) {
      logError(std::string("Unhandled error during upload: ") + e.what());
      return classifyAndFail(std::current_exception());
    }
    if (!result.errors.empty()) {
      logError("Upload failed: server returned errors (count=" + std::to_string(result.errors.size()) + ")");
      return classifyAndFail(nullptr);
    }
    succeed(result, primaryName);
  }

 private:
  void succeed(const NorvaneUploadResult& result, const std::string& primaryName) {
    const std::string fileAddress = cleanedAddress(addressForPrimaryFile(result.fileUrls, primaryName));
    std::string siteAddress = fileAddress;
    if (!result.fileUrls.empty()) siteAddress = cleanedAddress(result.fileUrls.begin()->second);
    if (siteAddress.empty()) siteAddress = fileAddress;
    const std::string workspacePage = workspaceAddress(siteAddress, job_.workspace);
    if (!fileAddress.empty())
      logInfo("Resolved uploaded Tavix URL for primary file: " + primaryName);
    else
      logWarning("Upload succeeded but no Tavix file URL was resolved for primary file: " + primaryName);
    if (!workspacePage.empty())
      logInfo("Resolved uploaded workspace URL fallback for workspace: " + job_.workspace.name);
    logInfo("Upload succeeded: workspace_id=" + std::to_string(job_.workspace.id) +
            ", workspace_name=" + job_.workspace.name);
    state_.setAddresses(fileAddress, workspacePage);
    state_.clearFailure();
    pause(pauses_.beforeCompletion);
    state_.setPhase(UploadPhase::Complete);
    resetUploadStaging(job_.staging);
  }

  void classifyAndFail(std::exception_ptr cause) {
    UploadFailure failure = classifyUploadFailure(client_, session_, job_.workspace.id, std::move(cause));
    fail(failure.kind, failure.message);
  }

  void fail(UploadFailureKind kind, const std::string& message) {
    state_.setFailure({kind, message});
    resetUploadStaging(job_.staging);
  }

  static void pause(const std::function<void()>& wait) {
    if (wait) wait();
  }

  UploadJob& job_;
  INorvaneClient& client_;
  SessionManager& session_;
  UploadPauses& pauses_;
  UploadOperationState& state_;
};

}  // namespace

void runUploadTransfer(UploadJob job, std::shared_ptr<INorvaneClient> client, SessionManager& session,
                       UploadPauses pauses, std::shared_ptr<UploadOperationState> state) {
  try {
    Transfer(job, *client, session, pauses, *state).run();
  } catch (const std::exception& e) {
    logError(std::string("Unhandled error during upload: ") + e.what());
    state->setFailure(classifyUploadFailure(*client, session, job.workspace.id, std::current_exception()));
    resetUploadStaging(job.staging);
  } catch (...) {
    logError("Unknown error during upload.");
    state->setFailure(classifyUploadFailure(*client, session, job.workspace.id, std::current_exception()));
    resetUploadStaging(job.staging);
  }
  logDebug("Background (Upload) thread terminated");
  state->markDone();
}
