// The upload dialog for the model in the active window: checks the model, shows
// its facts, the signed-in user and the user's workspaces, keeps the Upload
// button and the warnings in step with the chosen workspace, and hands the
// workspace chosen with Upload to the upload operation that follows it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cloud/cloud_connection.h"
#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "model/model_metadata.h"
#include "signin/auth_browser_opener.h"
#include "ui/ui_facade.h"
#include "upload/workflow_step.h"

class StartFileUploadDialog {
 public:
  // Called on Creo's UI thread, once; returns what the workflow opens next:
  // Upload (to chosenWorkspace()), SignIn or End. Catches everything: every
  // failure ends in the generic error dialog.
  WorkflowStep showDialog();
  const std::optional<NorvaneWorkspace>& chosenWorkspace() const { return selectedWorkspace_; }

 private:
  struct ErrorBox {
    std::string message;
    std::string title;
    std::string buttonText;
    bool showButton = true;
  };
  struct Listeners;

  // What the dialog's listeners do, while the dialog is active. They may throw;
  // the listeners catch and log.
  void onWorkspaceSelected();
  void onDialogDisplayed();
  void onUpload();
  void onSignOut();
  // Catches its own failures and leaves them for showDialog to show.
  void onKnowledgeCenter();

  WorkflowStep run(Listeners& listeners);
  void discardUnusedStaging();
  void addModelInfo(const std::optional<std::filesystem::path>& stagedModelPath, Listeners& listeners);
  void fillUserFields();
  // False when the service refused the session.
  bool fillWorkspaces();
  void checkExistingRevision();
  // Shows the error after the upload dialog is gone.
  bool showError(const ErrorBox& error);

  UifcFacade& ui_ = uiFacade();
  SessionManager& session_ = getSessionManager();
  CreoAuthBrowserOpener browser_;

  std::shared_ptr<INorvaneClient> client_;
  bool dialogCreated_ = false;
  std::vector<NorvaneWorkspace> workspaces_;
  std::optional<NorvaneWorkspace> selectedWorkspace_;
  bool uploadLaunched_ = false;
  ModelMetadata metadata_;
  std::string revisionKey_;
  std::string sourceRevisionId_;
  std::string sourceRevisionVersion_;
  // A listener's failure that closed the dialog, shown once it is destroyed.
  std::optional<ErrorBox> pendingError_;
};
