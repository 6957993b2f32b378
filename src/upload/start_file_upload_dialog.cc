#include "upload/start_file_upload_dialog.h"

#include <exception>
#include <stdexcept>
#include <typeinfo>

#include <pfcGlobal.h>
#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcFeature.h>
#include <pfcSolid.h>
#include <pfcExceptions.h>

#include "cloud/cloud_connection.h"
#include "cloud/session_functions.h"
#include "core/log.h"
#include "core/session_temp_directory.h"
#include "core/toolkit_guard.h"
#include "model/model_kind.h"
#include "model/unsaved_change_scan.h"
#include "norvane/errors.h"
#include "signin/sign_out_flow.h"
#include "ui/dialog_conventions.h"
#include "ui/dialog_listeners.h"
#include "ui/generic_error_dialog.h"
#include "upload/knowledge_center.h"
#include "upload/model_preparation.h"
#include "upload/model_size_text.h"
#include "upload/upload_dialog_listeners.h"
#include "upload/workspace_items.h"

namespace {

constexpr const char* kDialog = "StartFileUpload";
constexpr const char* kWorkspaceDropdown = "WorkspaceDropdown";
constexpr const char* kUploadButton = "UploadButton";
constexpr const char* kExistingRevisionLayout = "ExistingRevisionLayout";

constexpr const char* kPreparationError = "An error occurred while preparing the upload.\nPlease try again.";
constexpr const char* kSessionExpired = "Your session has expired.\nPlease sign in again to continue.";

void greyUploadButton(UifcFacade& ui) {
  ui.SetButtonEnabled(kDialog, kUploadButton, false);
  ui.SetButtonColor(kDialog, kUploadButton, 190, 190, 190);
}

}  // namespace

// Created with the dialog, released right after it is destroyed.
struct StartFileUploadDialog::Listeners {
  std::unique_ptr<DialogCloseAction> close;
  std::unique_ptr<PushButtonCloseAction> cancel;
  std::unique_ptr<SignOutAction> signOut;
  std::unique_ptr<UploadAction> upload;
  std::unique_ptr<KnowledgeCenterAction> knowledgeCenter;
  std::unique_ptr<CheckExistingRevisionOnWorkspaceSelect> workspaceSelect;
  std::unique_ptr<CheckExistingRevisionOnDialogDisplay> dialogDisplay;
};

WorkflowStep StartFileUploadDialog::showDialog() {
  // Declared before the dialog so that they outlive it on every path.
  Listeners listeners;
  std::optional<ErrorBox> failure;
  try {
    WorkflowStep next = WorkflowStep::End;
    const auto error = catchToolkitError([&] {
      next = run(listeners);
      discardUnusedStaging();
    });
    if (!error) return next;
    logError("Creo toolkit error in StartFileUploadDialog::showDialog. exception=" + error->description());
    failure = ErrorBox{"A Creo error occurred while opening the upload dialog.\nPlease try again.", "", "", true};
  } catch (const std::runtime_error& e) {
    logError(std::string("Error detected in StartFileUploadDialog::showDialog: ") + e.what());
    failure = ErrorBox{kPreparationError, "", "", true};
  } catch (const std::exception& e) {
    logError(std::string("std::exception in StartFileUploadDialog::showDialog. type=") + typeid(e).name() +
             ", what=" + e.what());
    failure = ErrorBox{kPreparationError, "", "", true};
  } catch (...) {
    logError("Non-C++ exception in StartFileUploadDialog::showDialog (possible Creo ABI mismatch).");
    failure = ErrorBox{"An unexpected error occurred.\nPlease restart and try again.", "", "", true};
  }
  showError(*failure);
  discardUnusedStaging();
  return WorkflowStep::End;
}

// What the dialog staged (the copy of a Windchill model) serves only an upload:
// without one it is not kept until Creo ends.
void StartFileUploadDialog::discardUnusedStaging() {
  if (uploadLaunched_) return;
  try {
    cleanupSessionTempDirectory();
  } catch (const std::exception& e) {
    logWarning(std::string("Upload dialog staging could not be removed: ") + e.what());
  }
}

WorkflowStep StartFileUploadDialog::run(Listeners& listeners) {
  logDebug("Upload dialog opened.");
  const PreparedModel prepared = prepareModelLocally();
  if (!prepared.refusal.empty()) {
    logWarning("Model preparation failed; upload dialog will not be shown.");
    showError(ErrorBox{prepared.refusal, "", "", false});
    return WorkflowStep::End;
  }
  client_ = getNorvaneClient();

  ui_.CreateDialog(kDialog, kDialog);
  dialogCreated_ = true;
  listeners.close = std::make_unique<DialogCloseAction>();
  ui_.AddDialogListener(kDialog, listeners.close.get());
  logDebug("Populating model data.");
  try {
    addModelInfo(prepared.stagedModelPath, listeners);
  } catch (const std::runtime_error& e) {
    logError("Model metadata resolution failed; Aborting upload.");
    showError(ErrorBox{std::string("An error occurred while processing model:\n\n") + e.what(), "", "", false});
    return WorkflowStep::End;
  }

  fillUserFields();
  if (!fillWorkspaces()) {
    logWarning("Auth expired; aborting upload dialog.");
    if (!showError(ErrorBox{kSessionExpired, "Session Expired", "Back to Sign In", true})) return WorkflowStep::End;
    session_.clear();
    logInfo("Session cleared after auth failure. Redirecting to sign-in.");
    return WorkflowStep::SignIn;
  }

  logDebug("Displaying model information.");
  ui_.ActivateDialog(kDialog);
  logDebug("Destroying startFileUploadDialog");
  ui_.DestroyDialog(kDialog);
  dialogCreated_ = false;
  listeners = Listeners{};
  logDebug("Upload dialog closed.");

  if (pendingError_) {
    showError(*pendingError_);
    return WorkflowStep::End;
  }
  if (!selectedWorkspace_) return WorkflowStep::End;
  logInfo("Launching upload operation dialog.");
  uploadLaunched_ = true;
  return WorkflowStep::Upload;
}

void StartFileUploadDialog::addModelInfo(const std::optional<std::filesystem::path>& stagedModelPath,
                                         Listeners& listeners) {
  logDebug("Resolving model metadata for upload dialog.");
  pfcSession_ptr session = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible);
  if (!session) {
    logError("Creo session unavailable while building upload dialog.");
    throw std::runtime_error("The Creo session is unavailable.");
  }
  pfcModel_ptr model = session->GetCurrentModel();
  if (!model) {
    logError("Current model unavailable while building upload dialog.");
    throw std::runtime_error("No model is currently open.");
  }
  const int type = model->GetType();
  const std::string kind = modelKindName(type);
  logDebug("addModelInfo: building dialog state for model. type=" + kind + "(" + std::to_string(type) + ")");

  metadata_ = ModelMetadataResolver().getModelMetadata(model, stagedModelPath);
  // Without a unique identifier there is nothing to look revisions up by,
  // family-table instance or not.
  revisionKey_ = metadata_.uniqueId;
  if (metadata_.isFamilyTableInstance && !metadata_.uniqueId.empty())
    revisionKey_ = metadata_.uniqueId + "_" + metadata_.fileName;
  const SourceRevision revision = resolveSourceRevisionVersion(model, metadata_.sourceRevisionId);
  sourceRevisionId_ = revision.sourceRevisionId;
  sourceRevisionVersion_ = revision.sourceRevisionVersion;

  logDebug("Model metadata resolved: filename=" + metadata_.fileName);
  const bool unsavedChanges = type != pfcMDL_DRAWING && hasUnsavedChangesInSession();

  logDebug("Setting filename label.");
  ui_.SetLabelText(kDialog, "FileNameValue", metadata_.fileName);
  logDebug("Setting last modified label.");
  ui_.SetLabelText(kDialog, "LastModifiedValue", metadata_.formattedDate);
  logDebug("Model metadata populated: filename=" + metadata_.fileName);
  if (!metadata_.formattedDate.empty()) logDebug("Model metadata last_modified=" + metadata_.formattedDate);

  std::optional<int> componentCount;
  if (type == pfcMDL_ASSEMBLY) {
    pfcSolid_ptr assembly = pfcSolid::cast(model);
    if (!assembly) throw std::runtime_error("The assembly's components cannot be listed.");
    pfcFeatures_ptr components = assembly->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT);
    componentCount = components ? components->getarraysize() : 0;
  }
  const std::string sizeText = modelSizeText(metadata_.fileSizeMb, componentCount);
  logDebug("Setting file size label: " + sizeText);
  ui_.SetLabelText(kDialog, "SizeValue", sizeText);
  ui_.SetLabelImage(kDialog, "ModelIconLabel",
                    type == pfcMDL_ASSEMBLY ? "tavix_file_upload_asm_icon.svg" : "tavix_file_upload_single_icon.svg");
  ui_.ShowLayout(kDialog, "DrwWarningLayout", type == pfcMDL_DRAWING);
  ui_.ShowLayout(kDialog, "UnsavedModelWarningLayout", unsavedChanges);

  logDebug("Assigning actions and listeners to upload dialog.");
  listeners.cancel = std::make_unique<PushButtonCloseAction>();
  ui_.AddPushButtonListener(kDialog, "CancelButton", listeners.cancel.get());
  listeners.signOut = std::make_unique<SignOutAction>([this] { onSignOut(); });
  ui_.AddPushButtonListener(kDialog, "SignOutButton", listeners.signOut.get());
  listeners.upload = std::make_unique<UploadAction>([this] { onUpload(); });
  ui_.AddPushButtonListener(kDialog, kUploadButton, listeners.upload.get());
  listeners.knowledgeCenter = std::make_unique<KnowledgeCenterAction>([this] { onKnowledgeCenter(); });
  ui_.AddPushButtonListener(kDialog, "KnowledgeCenterButton", listeners.knowledgeCenter.get());
  listeners.workspaceSelect = std::make_unique<CheckExistingRevisionOnWorkspaceSelect>([this] { onWorkspaceSelected(); });
  ui_.AddOptionMenuListener(kDialog, kWorkspaceDropdown, listeners.workspaceSelect.get());
  listeners.dialogDisplay = std::make_unique<CheckExistingRevisionOnDialogDisplay>([this] { onDialogDisplayed(); });
  ui_.AddDialogListener(kDialog, listeners.dialogDisplay.get());
}

void StartFileUploadDialog::fillUserFields() {
  logDebug("Fetching user details for upload dialog.");
  std::string email;
  std::string welcome = "Welcome back!";
  if (const std::shared_ptr<const NorvaneUser> user = session_.getCachedUser()) {
    email = user->email;
    welcome = "Welcome back, " + user->name;
  } else {
    logWarning("User details unavailable for upload dialog.");
  }
  logDebug("Assigning user information to upload dialog.");
  ui_.SetLabelText(kDialog, "UserEmailLabel", email);
  ui_.SetLabelText(kDialog, "WelcomeBackLabel", welcome);
  showIntegrationVersion(ui_, kDialog);
}

bool StartFileUploadDialog::fillWorkspaces() {
  logDebug("Fetching workspaces for upload dialog.");
  std::optional<std::vector<NorvaneWorkspace>> workspaces;
  try {
    workspaces = fetchWorkspaces(*client_, session_);
  } catch (const std::exception& e) {
    // A refused token is mended by signing in again; every other failure is not.
    if (!norvane::isAuthorizationRefused(e)) throw;
    logWarning(std::string("The service refused the session while listing workspaces: ") + e.what());
  }
  if (!workspaces) {
    logWarning("Auth failure detected while fetching workspaces. Session may have expired.");
    return false;
  }

  std::vector<std::string> names = {kPlaceholderItemName};
  std::vector<std::string> labels = {kPlaceholderItemLabel};
  workspaces_ = std::move(*workspaces);
  logDebug("Workspaces loaded: count=" + std::to_string(workspaces_.size()));
  for (const NorvaneWorkspace& workspace : workspaces_) {
    names.push_back(workspaceItemText(workspace));
    labels.push_back(workspaceItemText(workspace));
  }
  logDebug("Adding workspaces to upload dialog.");
  ui_.SetOptionMenuItems(kDialog, kWorkspaceDropdown, names, labels);
  ui_.ShowLayout(kDialog, "NoWorkspacesLayout", workspaces_.empty());
  ui_.ShowLayout(kDialog, "ButtonsLayout", !workspaces_.empty());
  if (!workspaces_.empty()) greyUploadButton(ui_);
  return true;
}

void StartFileUploadDialog::onWorkspaceSelected() {
  if (isNoWorkspaceSelected(ui_.GetSelectedOptionMenuItems(kDialog, kWorkspaceDropdown))) {
    greyUploadButton(ui_);
    ui_.ShowLayout(kDialog, kExistingRevisionLayout, false);
    return;
  }
  ui_.SetButtonEnabled(kDialog, kUploadButton, true);
  ui_.SetButtonColor(kDialog, kUploadButton, 0, 108, 224);
  checkExistingRevision();
}

void StartFileUploadDialog::onDialogDisplayed() {
  if (!isNoWorkspaceSelected(ui_.GetSelectedOptionMenuItems(kDialog, kWorkspaceDropdown))) checkExistingRevision();
}

void StartFileUploadDialog::checkExistingRevision() {
  const std::vector<std::string> selection = ui_.GetSelectedOptionMenuItems(kDialog, kWorkspaceDropdown);
  if (selection.empty()) {
    logError("No workspace selected for logged-in user!");
    return;
  }
  const std::shared_ptr<const NorvaneLocalAuthTokens> tokens = session_.getTokens();
  if (!tokens) {
    logError("No tokens found in session manager!");
    return;
  }
  if (revisionKey_.empty() || sourceRevisionId_.empty() || sourceRevisionVersion_.empty()) {
    logWarning("Existing revision lookup input is incomplete; skipping existing revision lookup.");
    return;
  }
  const NorvaneWorkspace* workspace = findWorkspaceByItemText(workspaces_, selection.front());
  if (!workspace) {
    logError("Selected workspace not found in workspace list.");
    return;
  }
  logDebug("Selected workspace: " + selection.front());
  logDebug("Querying existing revisions in selected workspace");
  const std::vector<NorvaneFindRevisionResult> found =
      client_->findRevision(tokens->accessToken, workspace->id, revisionKey_, sourceRevisionVersion_,
                            sourceRevisionId_, "", false, true, false, true);
  logDebug(found.empty() ? "Existing revision for model not found in selected workspace"
                         : "Existing revision present for model in selected workspace");
  ui_.ShowLayout(kDialog, kExistingRevisionLayout, !found.empty());
}

void StartFileUploadDialog::onUpload() {
  // A selection that cannot be read counts as none being available.
  std::optional<std::vector<std::string>> selection;
  std::string readFailure;
  if (const auto error = catchToolkitError([&] { selection = ui_.GetSelectedOptionMenuItems(kDialog, kWorkspaceDropdown); })) {
    readFailure = error->description();
  }
  if (selection && isNoWorkspaceSelected(*selection)) {
    logDebug("Upload button clicked but no workspace selected — ignoring.");
    return;
  }
  logInfo("Upload initiation requested.");
  if (!selection) {
    logDebug("Workspace selection could not be read: " + readFailure);
    logError("No workspace selected for upload.");
    pendingError_ = ErrorBox{"No workspace available.\nPlease create a workspace in Tavix and try again.", "", "", true};
    try {
      ui_.ExitDialog(kDialog, 0);
    } catch (...) {
      logError("ExitDialog failed during no-workspace error handling.");
    }
    return;
  }
  logDebug("NorvaneWorkspace selection retrieved.");
  const NorvaneWorkspace* workspace = findWorkspaceByItemText(workspaces_, selection->front());
  if (!workspace) {
    logError("Selected workspace not found in workspace list.");
    return;
  }
  logInfo("Upload initiated: workspace_id=" + std::to_string(workspace->id) + ", workspace_name=" + workspace->name);
  logDebug("Selected workspace resolved for upload.");
  selectedWorkspace_ = *workspace;
  ui_.ExitDialog(kDialog, 0);
}

void StartFileUploadDialog::onKnowledgeCenter() {
  logInfo("Knowledge Center requested from upload dialog.");
  std::string failure;
  try {
    const std::string address = knowledgeCenterUrl();
    const auto error = catchToolkitError([&] {
      if (!address.empty()) {
        logInfo("Opening Knowledge Center URL: " + address);
        browser_.openUrl(address);
        ui_.ExitDialog(kDialog, 0);
        logInfo("Upload dialog closed after Knowledge Center navigation.");
      } else {
        logWarning("Knowledge Center URL was empty; embedded browser not opened.");
        ui_.ExitDialog(kDialog, 0);
        logInfo("Upload dialog closed after empty Knowledge Center request.");
      }
    });
    if (!error) return;
    failure = "Failed to open Knowledge Center URL from upload dialog due to a Creo toolkit error.";
  } catch (const std::exception& e) {
    failure = std::string("Failed to open Knowledge Center URL from upload dialog: ") + e.what();
  } catch (...) {
    failure = "Failed to open Knowledge Center URL from upload dialog due to an unexpected error.";
  }
  logError(failure);
  pendingError_ = ErrorBox{"We couldn't open the Knowledge Center.\nPlease try again.",
                           "Unable to Open Knowledge Center", "", false};
  try {
    ui_.ExitDialog(kDialog, 0);
  } catch (...) {
    logError("ExitDialog failed after the Knowledge Center could not be opened.");
  }
}

void StartFileUploadDialog::onSignOut() { signOutOf(kDialog); }

bool StartFileUploadDialog::showError(const ErrorBox& error) {
  if (dialogCreated_) {
    dialogCreated_ = false;
    try {
      ui_.DestroyDialog(kDialog);
    } catch (...) {
      logDebug("DestroyDialog failed during StartFileUpload cleanup.");
    }
  }
  return GenericErrorDialog(signedInAccount()).showDialog(error.message, error.title, error.buttonText,
                                                       error.showButton);
}
