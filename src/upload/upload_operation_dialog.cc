#include "upload/upload_operation_dialog.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <stdexcept>
#include <thread>

#include <pfcGlobal.h>
#include <uifcDialog.h>
#include <uifcPushButton.h>
#include <pfcExceptions.h>

#include "cloud/cloud_connection.h"
#include "core/log.h"
#include "core/session_temp_directory.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/creo_model_queries.h"
#include "model/export_texts.h"
#include "model/model_kind.h"
#include "model/model_validation.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"
#include "signin/sign_out_flow.h"
#include "ui/dialog_conventions.h"
#include "ui/dialog_listeners.h"
#include "ui/generic_error_dialog.h"
#include "upload/model_preparation.h"
#include "upload/model_size_text.h"
#include "upload/upload_failure_handling.h"
#include "upload/upload_operation_listeners.h"

namespace {

constexpr const char* kDialog = "Upload";
// Between two refreshes of the progress dialog while the transfer runs: short
// enough to follow the statuses, long enough not to keep a processor busy.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
// The export waits this many times a repaint's duration before the next one.
constexpr int kPaintShare = 20;

constexpr SimplifiedRepCheckTexts kPopulateFieldsTexts = {
    "populateFieldsBeforeUpload: skipping simplified representation check for non-solid model. type=",
    "populateFieldsBeforeUpload: simplified representation check skipped. file="};

const char* primaryStatusText(UploadPhase phase) {
  switch (phase) {
    case UploadPhase::Transferring:
      return "Uploading to Tavix...";
    case UploadPhase::Complete:
      return "Upload Complete!";
    default:
      return "Preparing data from Creo...";
  }
}

std::string secondaryStatusText(UploadPhase phase) {
  switch (phase) {
    case UploadPhase::Transferring:
      return "Transferring file to Tavix...";
    case UploadPhase::Complete:
      return "Uploaded " + CreoModelQueries::formatCurrentTimeShort();
    default:
      return "Exporting your data for upload...";
  }
}

// The temporary-directory scope of a model outside Windchill: its identity,
// revision and file, so two models never share staged files.
std::string localScopeKey(const ModelMetadata& metadata) {
  std::string key = metadata.uniqueId;
  auto append = [&key](const std::string& part) {
    if (!key.empty()) key += "|";
    key += part;
  };
  if (!metadata.sourceRevisionId.empty()) append(metadata.sourceRevisionId);
  if (metadata.modelPath)
    append(pathToUtf8(*metadata.modelPath));
  else if (!metadata.fileName.empty())
    append(metadata.fileName);
  return key;
}

}  // namespace

// Created when the completion panel is shown, released after the dialog is destroyed.
struct UploadOperationDialog::Listeners {
  std::unique_ptr<DialogCloseAction> close;
  std::unique_ptr<PushButtonCloseAction> closeButton;
  std::unique_ptr<UploadAnotherWorkspaceAction> uploadAnother;
  std::unique_ptr<OpenInTavixAction> openInTavix;
};

WorkflowStep UploadOperationDialog::showDialog(NorvaneWorkspace workspace) {
  // Declared before the dialog so that they outlive it on every path.
  Listeners listeners;
  workspace_ = std::move(workspace);
  try {
    return run(listeners);
  } catch (...) {
    logError("Unknown error detected in UploadOperationDialog::showDialog.");
  }
  // Whatever failed, the user is told what reached Tavix: a transfer under way
  // is waited for, which the client library's time-outs bound.
  if (transferStarted_ && !transferEnded_) {
    logInfo("Waiting for the upload transfer to end before reporting its outcome.");
    while (!state_->waitUntilDone(kPollInterval)) {
    }
    transferEnded_ = true;
  }
  // Until the transfer starts, what the upload and its dialog staged is ours to
  // remove, even when the failure came before the scope was known; afterwards
  // the transfer thread removes it when it ends.
  if (!transferStarted_) resetUploadStaging(staging_);
  const UploadOperationState::Snapshot outcome = state_->snapshot();
  if (outcome.failure.kind != UploadFailureKind::None) {
    dialogCreated_ = false;
    const WorkflowStep next = handleUploadFailure(ui_, session_, *state_, metadata_.fileName, workspace_);
    finalizeExport();
    return next;
  }
  if (dialogCreated_) {
    try {
      ui_.DestroyDialog(kDialog);
    } catch (...) {
      logError("DestroyDialog failed during UploadOperation cleanup.");
    }
  }
  finalizeExport();
  if (transferStarted_ && outcome.phase == UploadPhase::Complete) {
    GenericErrorDialog(signedInAccount()).showDialog(kUploadedWithoutPanelMessage, "Upload Complete", "", false);
    return WorkflowStep::End;
  }
  GenericErrorDialog(signedInAccount()).showDialog(kRequestFailedMessage, "", "", true);
  return WorkflowStep::End;
}

WorkflowStep UploadOperationDialog::run(Listeners& listeners) {
  logDebug("Initializing upload workflow.");
  logDebug("Selected workspace assigned: id=" + std::to_string(workspace_.id) + ", name=" + workspace_.name);

  ui_.CreateDialog(kDialog, kDialog);
  dialogCreated_ = true;
  if (!populateFieldsBeforeUpload()) {
    resetUploadStaging(staging_);
    dialogCreated_ = false;
    return handleUploadFailure(ui_, session_, *state_, metadata_.fileName, workspace_);
  }
  ui_.ActivateDialog(kDialog);
  exportModel();
  startTransfer();
  while (!state_->done()) {
    refreshStatusLabels();
    ui_.ActivateDialog(kDialog);
    state_->waitUntilDone(kPollInterval);
  }
  transferEnded_ = true;

  const UploadOperationState::Snapshot outcome = state_->snapshot();
  if (outcome.phase == UploadPhase::Complete) {
    showCompletionPanel(listeners);
  } else if (outcome.failure.kind != UploadFailureKind::None) {
    dialogCreated_ = false;
    const WorkflowStep next = handleUploadFailure(ui_, session_, *state_, metadata_.fileName, workspace_);
    finalizeExport();
    return next;
  }

  ui_.ExitDialog(kDialog, 0);
  ui_.DestroyDialog(kDialog);
  dialogCreated_ = false;
  listeners = Listeners{};
  logDebug("Upload dialog closed.");
  finalizeExport();
  return uploadAnother_ ? WorkflowStep::UploadDialog : WorkflowStep::End;
}

bool UploadOperationDialog::populateFieldsBeforeUpload() {
  logDebug("Populating upload dialog fields.");
  creoSession_ = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible);
  if (!creoSession_) {
    logError("Creo session unavailable while preparing upload dialog.");
    throw std::runtime_error("The Creo session is unavailable.");
  }
  model_ = creoSession_->GetCurrentModel();
  if (!model_) {
    logError("Current model unavailable while preparing upload dialog.");
    throw std::runtime_error("No model is currently open.");
  }
  modelType_ = model_->GetType();
  const std::string kind = modelKindName(modelType_);
  const std::string hostFileName = fromXstring(model_->GetFileName());
  logDebug("populateFieldsBeforeUpload: root model resolved. type=" + kind + "(" + std::to_string(modelType_) +
           "), file=" + hostFileName);

  const std::string origin = fromXstring(model_->GetOrigin());
  windchillOrigin_ = isWindchillOrigin(origin);
  std::optional<std::filesystem::path> stagedPath;
  if (windchillOrigin_) {
    logInfo("Root model is loaded from a Windchill workspace; pre-copying for metadata resolution.");
    staging_.tempScopeKey = makeWindchillScopeKey(origin, hostFileName);
    try {
      stagedPath = copyWindchillModelIfNeeded(creoSession_, origin, hostFileName,
                                              getSessionTempDirectory(staging_.tempScopeKey));
    } catch (const std::exception& e) {
      logDebug(std::string("populateFieldsBeforeUpload: ") + e.what());
    }
    if (!stagedPath) logWarning("Failed to stage Windchill model locally; metadata will be partial.");
  }
  metadata_ = ModelMetadataResolver().getModelMetadata(model_, stagedPath);
  staging_.modelPath = metadata_.modelPath;
  if (!windchillOrigin_) staging_.tempScopeKey = localScopeKey(metadata_);

  if (windchillOrigin_ && (!metadata_.modelPath || metadata_.sourceRevisionId.empty())) {
    logWarning("Windchill model metadata is incomplete; aborting upload before transfer.");
    state_->setFailure({UploadFailureKind::Other,
                        "We couldn't read the Windchill revision information required for upload.\nPlease reopen the "
                        "model and try again."});
    return false;
  }
  if (metadata_.familyTableUnknown) {
    logWarning("Family table classification failed; aborting upload before export.");
    state_->setFailure({UploadFailureKind::Other, kPrepareFailedText});
    return false;
  }
  const bool simplified =
      hasSimplifiedRepresentation(model_, modelType_, hostFileName, kPopulateFieldsTexts);
  if (std::string verdict = validateFileType(hostFileName, simplified); !verdict.empty()) {
    logWarning("Upload dialog rejected unsupported file: " + hostFileName + ", type=" + kind +
               ", is_simplified_rep=" + (simplified ? "true" : "false"));
    state_->setFailure({UploadFailureKind::UnsupportedModel, verdict});
    return false;
  }

  logDebug("Upload temp scope key prepared for root model: key_length=" +
           std::to_string(staging_.tempScopeKey.size()));
  if (staging_.tempScopeKey.empty())
    logWarning("Upload temp scope key is empty; temp directory isolation may degrade.");
  logDebug("Resolved model metadata: filename=" + metadata_.fileName);
  if (metadata_.modelPath) logDebug("Resolved model path: " + pathToUtf8(*metadata_.modelPath));

  ui_.SetLabelText(kDialog, "ModelNameLabel", metadata_.fileName);
  ui_.SetLabelText(kDialog, "WorkspaceNameLabel", workspace_.name);
  logDebug("Upload dialog label: " + metadata_.fileName + " -> workspace " + workspace_.name + " (id=" +
           std::to_string(workspace_.id) + ")");
  ui_.SetLabelText(kDialog, "ModelSizeLabel", modelSizeText(metadata_.fileSizeMb, std::nullopt));
  if (const std::shared_ptr<const NorvaneUser> user = session_.getCachedUser())
    ui_.SetLabelText(kDialog, "UserEmailLabel", user->email);
  else
    logWarning("User details unavailable while populating upload dialog.");

  state_->setPhase(UploadPhase::Preparing);
  ui_.SetLabelImage(kDialog, "ProgressAnimationLabel", "tavix_upload_spinner.gif");
  ui_.ShowLayout(kDialog, "FooterLayout", true);
  ui_.ShowLayout(kDialog, "SuccessActionsLayout", false);
  ui_.ShowLayout(kDialog, "OpenInTavixButtonLayout", true);
  showIntegrationVersion(ui_, kDialog);
  refreshStatusLabels();
  return true;
}

void UploadOperationDialog::exportModel() {
  UifcFacade& ui = ui_;
  // The dialog is painted again when the export reports progress, which a
  // large assembly does once per component: at most once per poll interval,
  // and, where painting is slow, seldom enough that it takes no more than a
  // twentieth of the export's time.
  auto nextPaint = std::chrono::steady_clock::now() + kPollInterval;
  auto keepPainted = [&ui, nextPaint]() mutable {
    const auto start = std::chrono::steady_clock::now();
    if (start < nextPaint) return;
    ui.ActivateDialog(kDialog);
    const auto end = std::chrono::steady_clock::now();
    nextPaint = end + std::max<std::chrono::steady_clock::duration>(kPollInterval, kPaintShare * (end - start));
  };
  exporter_.emplace(
      creoSession_, staging_.tempScopeKey, keepPainted,
      [](const std::string& message) { GenericErrorDialog(signedInAccount()).showDialog(message, "", "", false); });
  staging_.files = exporter_->exportToTempDirectory(model_, true);
  exportError_ = exporter_->userMessage();
  exportDetail_ = exporter_->detailMessage();
}

void UploadOperationDialog::startTransfer() {
  UploadJob job;
  job.workspace = workspace_;
  job.metadata = metadata_;
  job.modelType = modelType_;
  job.windchillOrigin = windchillOrigin_;
  job.exportError = exportError_;
  job.exportDetail = exportDetail_;
  // The thread never calls the toolkit: what it needs of the model is read here.
  if (exportError_.empty()) {
    const auto error = catchToolkitError([&] {
      job.sourceRevisionVersion =
          resolveSourceRevisionVersion(model_, metadata_.sourceRevisionId).sourceRevisionVersion;
    });
    if (error) logWarning("Source revision version could not be read: " + error->description());
  }
  job.staging = std::move(staging_);
  staging_ = UploadStaging{};
  job.staging.heldDirectory = holdSessionTempDirectory(job.staging.tempScopeKey);
  std::thread(runUploadTransfer, std::move(job), getNorvaneClient(), std::ref(session_), pauses_, state_).detach();
  transferStarted_ = true;
}

void UploadOperationDialog::refreshStatusLabels() {
  const UploadPhase phase = state_->snapshot().phase;
  // A failed upload's dialog goes away; until then it keeps the last progress shown.
  if (phase == UploadPhase::Failed) return;
  ui_.SetLabelText(kDialog, "PrimaryStatusLabel", primaryStatusText(phase));
  ui_.SetLabelText(kDialog, "SecondaryStatusLabel", secondaryStatusText(phase));
}

void UploadOperationDialog::showCompletionPanel(Listeners& listeners) {
  logDebug("Upload completed; updating dialog state.");
  refreshStatusLabels();
  const UploadOperationState::Snapshot texts = state_->snapshot();
  const bool hasAddress = !texts.fileAddress.empty() || !texts.workspaceAddress.empty();
  ui_.SetLabelImage(kDialog, "ProgressAnimationLabel", "tavix_upload_complete.png");
  ui_.SetDialogStyle(kDialog, uifcCore::DialogStyle::Working);
  ui_.ShowLayout(kDialog, "FooterLayout", false);
  ui_.ShowLayout(kDialog, "SuccessActionsLayout", true);
  ui_.ShowLayout(kDialog, "OpenInTavixButtonLayout", hasAddress);
  state_->clearDone();
  listeners.close = std::make_unique<DialogCloseAction>();
  ui_.AddDialogListener(kDialog, listeners.close.get());
  listeners.closeButton = std::make_unique<PushButtonCloseAction>();
  ui_.AddPushButtonListener(kDialog, "CloseButton", listeners.closeButton.get());
  listeners.uploadAnother = std::make_unique<UploadAnotherWorkspaceAction>([this](uifcPushButton_ptr handle) { uploadAnother(handle); });
  ui_.AddPushButtonListener(kDialog, "UploadAnotherWorkspaceButton", listeners.uploadAnother.get());
  if (hasAddress) {
    listeners.openInTavix = std::make_unique<OpenInTavixAction>([this](uifcPushButton_ptr handle) { openInTavix(handle); });
    ui_.AddPushButtonListener(kDialog, "OpenInTavixButton", listeners.openInTavix.get());
  }
  ui_.ActivateDialog(kDialog);
}

void UploadOperationDialog::finalizeExport() {
  if (!exporter_) return;
  exporter_->finalizeExport();
  exporter_.reset();
}

void UploadOperationDialog::openInTavix(uifcPushButton_ptr handle) {
  const UploadOperationState::Snapshot texts = state_->snapshot();
  if (texts.fileAddress.empty() && texts.workspaceAddress.empty()) {
    logWarning("Open in Tavix requested, but no uploaded file URL is available.");
    showOpenFailure("We couldn't find the uploaded Tavix link.\nPlease open the file from your workspace instead.");
    return;
  }
  if (texts.fileAddress.empty()) logWarning("Uploaded file URL unavailable; falling back to workspace URL.");
  try {
    const auto error = catchToolkitError([&] {
      browser_.openUrl(texts.fileAddress.empty() ? texts.workspaceAddress : texts.fileAddress);
      if (!handle) throw std::invalid_argument("no button handle");
      ui_.ExitOwningDialog(*handle, 0);
    });
    if (!error) return;
    logError("Open in Tavix failed with toolkit error: " + error->description());
  } catch (const std::exception& e) {
    logError(std::string("Open in Tavix failed: ") + e.what());
  } catch (...) {
    logError("Open in Tavix failed with an unknown error.");
  }
  showOpenFailure("We couldn't open the uploaded file in Tavix.\nPlease try again.");
}

void UploadOperationDialog::showOpenFailure(const std::string& message) {
  GenericErrorDialog(signedInAccount()).showDialog(message, "Unable to Open File", "", false);
}

void UploadOperationDialog::uploadAnother(uifcPushButton_ptr handle) {
  uploadAnother_ = true;
  if (!handle) throw std::invalid_argument("no button handle");
  ui_.ExitOwningDialog(*handle, 0);
}
