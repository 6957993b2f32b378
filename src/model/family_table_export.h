// A family-table instance travels as its accelerator file and its generic's
// file; instances of one generic send the generic once. The root instance's
// accelerator is sent as the model file of its name. A local instance without
// an accelerator has one written by a backup beside the user's models; a
// Windchill instance's is written into the temporary directory and its generic
// copied out of the workspace.
#pragma once

#include <filesystem>
#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>

#include "model/accelerator_backups.h"
#include "model/export_record.h"
#include "model/exported_file.h"

std::vector<ExportedFile> exportFamilyTableInstance(const pfcSession_ptr& session, const pfcModel_ptr& model,
                                                    const std::filesystem::path& directory, bool isRoot,
                                                    AcceleratorBackups& backups, ExportRecord& record);
