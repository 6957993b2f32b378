// The upload thread's work: resolve the workspace's root directory, build the
// payload from the staged files and send it, then report the outcome through
// the shared state. It calls the session and the client library only, never
// the toolkit or a dialog: everything it needs of Creo is resolved before.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cloud/norvane_client.h"
#include "cloud/session_manager.h"
#include "model/exported_file.h"
#include "model/model_metadata.h"
#include "upload/upload_operation_state.h"

// The two pauses of a transfer (before it starts and before the panel says
// complete), so the user can read each status. Benchmarks and tests replace them.
struct UploadPauses {
  std::function<void()> beforeTransfer;
  std::function<void()> beforeCompletion;
};
UploadPauses oneSecondPauses();

// The staged files of one upload and the temporary-directory scope they live in.
struct UploadStaging {
  std::vector<ExportedFile> files;
  std::optional<std::filesystem::path> modelPath;
  std::string tempScopeKey;
  // Set once a transfer has taken the files over: the session directory it
  // holds (holdSessionTempDirectory), "" for none.
  std::optional<std::string> heldDirectory;
};
// Forgets the staged files and removes the upload's temporary directory: for a
// transfer, the directory it holds and no other.
void resetUploadStaging(UploadStaging& staging);

struct UploadJob {
  NorvaneWorkspace workspace;
  ModelMetadata metadata;
  int modelType = -1;
  bool windchillOrigin = false;
  // Resolved on the UI thread; empty when it could not be.
  std::string sourceRevisionVersion;
  std::string exportError;
  std::string exportDetail;
  UploadStaging staging;
};

// Runs to the end and sets the done flag last, whatever happens.
void runUploadTransfer(UploadJob job, std::shared_ptr<INorvaneClient> client, SessionManager& session,
                       UploadPauses pauses, std::shared_ptr<UploadOperationState> state);
