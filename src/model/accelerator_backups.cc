#include "model/accelerator_backups.h"

#include <exception>

#include <pfcExceptions.h>

#include "core/ascii_case.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/path_text.h"

namespace fs = std::filesystem;

namespace {

const char* const kAcceleratorOption = "save_instance_accelerator";

}  // namespace

AcceleratorBackups::AcceleratorBackups(pfcSession_ptr session, ErrorDialog errorDialog)
    : session_(std::move(session)), errorDialog_(std::move(errorDialog)) {}

// Creo's backup writes the instance's accelerator, and the generic's next
// version with it, into the user's folder. Each of those names that was free
// before the backup and holds a file after it is listed for finalize(),
// also when the backup fails halfway; a file that was there before is never
// listed. Only these few names are looked at, not the whole folder.
void AcceleratorBackups::backupBesideUserModels(const pfcModel_ptr& model, const pfcModelDescriptor_ptr& descriptor,
                                                const fs::path& acceleratorFile, const fs::path& genericFile) {
  const fs::path folder = acceleratorFile.parent_path();
  const FolderVersions::Name genericBase = splitVersion(genericFile.filename().native()).first;
  const unsigned genericVersion = backupFolderVersions_.nextFree(folder, genericBase);
  const fs::path genericWritten = folder / versionedName(genericBase, genericVersion);
  std::vector<fs::path> freeBefore;
  for (const fs::path& candidate : {acceleratorFile, genericWritten}) {
    std::error_code error;
    // A name that cannot be checked is not one the backup may be said to have written.
    if (!fs::exists(candidate, error) && !error) freeBefore.push_back(candidate);
  }
  auto listAdded = [&] {
    for (const fs::path& candidate : freeBefore) {
      std::error_code error;
      if (!fs::exists(candidate, error)) continue;
      generatedAccelerators_.push_back(candidate);
      if (candidate == genericWritten) backupFolderVersions_.taken(folder, genericBase, genericVersion);
    }
  };
  descriptor->SetPath(pathToXstring(folder));
  try {
    model->Backup(descriptor);
  } catch (...) {
    listAdded();
    throw;
  }
  listAdded();
}

void AcceleratorBackups::ensureAcceleratorConfig() {
  if (acceleratorConfigChecked_) return;
  acceleratorConfigChecked_ = true;
  const std::string value = fromXstring(session_->GetConfigOption(kAcceleratorOption));
  logDebug("Existing value of save_instance_accelerator: " + value);
  if (!value.empty() && asciiUppered(value) != "NONE") return;
  logDebug("Setting save_instance_accelerator to ALWAYS to export accelerator file");
  if (const auto error = catchToolkitError([&] { session_->SetConfigOption(kAcceleratorOption, "ALWAYS"); })) {
    logError("ModelExporter: failed to set save_instance_accelerator to ALWAYS while exporting a family table instance");
    showErrorDialog(
        "The integration is unable to set the property save_instance_accelerator to ALWAYS \nwhich is required to "
        "generate accelerator file(s) for one or more family table instances.\n\nPlease set the property "
        "save_instance_accelerator to ALWAYS and try again.");
    rethrowToolkitError(*error);
  }
  savedAcceleratorValue_ = value;
}

void AcceleratorBackups::finalize() {
  logDebug("Removing " + std::to_string(generatedAccelerators_.size()) +
           " generated accelerator file(s) from model origin directories");
  std::error_code firstError;
  for (const fs::path& file : generatedAccelerators_) {
    std::error_code error;
    fs::remove(file, error);  // a file already gone is no error
    if (error && !firstError) firstError = error;
  }
  if (firstError) {
    logError("Failed to delete generated accelerator file(s): " + firstError.message());
    showErrorDialog(
        "The integration generated one or more accelerator files in the directory containing the model which cannot "
        "be removed due to an issue.\nPlease remove them manually.");
  }
  if (savedAcceleratorValue_) {
    const std::string saved = *savedAcceleratorValue_;
    logDebug("Resetting save_instance_accelerator to previous value: " + saved);
    bool restored = false;
    try {
      const auto error = catchToolkitError([&] { session_->SetConfigOption(kAcceleratorOption, toXstring(saved)); });
      if (error) logError("Failed to restore save_instance_accelerator config after export: " + error->description());
      restored = !error;
    } catch (const std::exception& error) {
      logError("Unexpected error restoring save_instance_accelerator config after export: " + std::string(error.what()));
    }
    if (!restored)
      showErrorDialog("The integration was unable to reset save_instance_accelerator to " +
                      (saved.empty() ? std::string("previous value") : saved) + ".\nPlease reset it manually.");
  }
  generatedAccelerators_.clear();
  savedAcceleratorValue_.reset();
}

void AcceleratorBackups::showErrorDialog(const std::string& message) const {
  if (errorDialog_) errorDialog_(message);
}
