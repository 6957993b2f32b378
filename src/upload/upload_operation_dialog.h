// The upload of the current model to the chosen workspace, with its progress
// dialog: the model is exported on Creo's UI thread, one background thread
// sends the files, and the dialog ends in a completion panel or hands the
// failure to the error dialogs.
#pragma once

#include <memory>
#include <optional>

#include <pfcSession.h>
#include <pfcModel.h>
#include <uifcPushButton.h>

#include "cloud/cloud_connection.h"
#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "model/model_exporter.h"
#include "model/model_metadata.h"
#include "signin/auth_browser_opener.h"
#include "ui/ui_facade.h"
#include "upload/upload_operation_state.h"
#include "upload/upload_transfer.h"
#include "upload/workflow_step.h"

// The transfer stored the model, but the progress dialog could not show its completion panel.
inline constexpr const char* kUploadedWithoutPanelMessage =
    "Your model was uploaded to Tavix.\nOpen it from your workspace in Tavix.";

class UploadOperationDialog {
 public:
  explicit UploadOperationDialog(UploadPauses pauses) : pauses_(std::move(pauses)) {}

  // Called on Creo's UI thread, once; returns what the workflow opens next:
  // UploadDialog (another workspace, or back to upload), Upload (a retry),
  // SignIn or End. Catches everything.
  WorkflowStep showDialog(NorvaneWorkspace workspace);

 private:
  struct Listeners;

  // The completion panel's buttons. They may throw; the listeners catch and log.
  void openInTavix(uifcPushButton_ptr handle);
  void uploadAnother(uifcPushButton_ptr handle);

  WorkflowStep run(Listeners& listeners);
  // False when the model cannot be uploaded; the failure is then set.
  bool populateFieldsBeforeUpload();
  void exportModel();
  void startTransfer();
  void refreshStatusLabels();
  void showCompletionPanel(Listeners& listeners);
  void finalizeExport();
  void showOpenFailure(const std::string& message);

  UifcFacade& ui_ = uiFacade();
  SessionManager& session_ = getSessionManager();
  CreoAuthBrowserOpener browser_;
  UploadPauses pauses_;

  std::shared_ptr<UploadOperationState> state_ = std::make_shared<UploadOperationState>();
  NorvaneWorkspace workspace_;
  pfcSession_ptr creoSession_;
  pfcModel_ptr model_;
  int modelType_ = -1;
  bool windchillOrigin_ = false;
  ModelMetadata metadata_;
  UploadStaging staging_;
  std::optional<ModelExporter> exporter_;
  std::string exportError_;
  std::string exportDetail_;
  bool uploadAnother_ = false;
  bool dialogCreated_ = false;
  bool transferStarted_ = false;
  bool transferEnded_ = false;  // the transfer thread set the done flag
};
