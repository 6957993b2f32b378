// Where a family-table instance has no accelerator file, Creo is made to write
// one by a backup beside the user's models, with "save_instance_accelerator" set
// to ALWAYS for the upload. This keeps what that changed, and takes it back
// after the upload, whatever its outcome.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>

#include "model/folder_versions.h"

class AcceleratorBackups {
 public:
  // Shows a message in the common error box, without its action button.
  using ErrorDialog = std::function<void(const std::string& message)>;

  AcceleratorBackups(pfcSession_ptr session, ErrorDialog errorDialog);

  // Once per export: "save_instance_accelerator" unset or NONE becomes ALWAYS.
  // Where Creo refuses, the user is told and the toolkit error travels on.
  void ensureAcceleratorConfig();
  // The model's backup into the folder of `acceleratorFile`; lists what it added there.
  void backupBesideUserModels(const pfcModel_ptr& model, const pfcModelDescriptor_ptr& descriptor,
                              const std::filesystem::path& acceleratorFile, const std::filesystem::path& genericFile);
  // Removes the files the backups added and restores "save_instance_accelerator".
  void finalize();

 private:
  void showErrorDialog(const std::string& message) const;

  pfcSession_ptr session_;
  ErrorDialog errorDialog_;
  bool acceleratorConfigChecked_ = false;
  std::optional<std::string> savedAcceleratorValue_;
  // Every file a backup for this export added beside the user's models: the
  // accelerators, and the generic's next version Creo writes with them.
  std::vector<std::filesystem::path> generatedAccelerators_;
  // The versions in the user's folders that backups write into.
  FolderVersions backupFolderVersions_;
};
