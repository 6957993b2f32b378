// An assembly travels as its own file, then each component's in the order of
// the walk: a family-table instance assembly as its accelerator and generic.
#pragma once

#include <filesystem>
#include <vector>

#include <pfcModel.h>

#include "model/accelerator_backups.h"
#include "model/component_walk.h"
#include "model/export_record.h"
#include "model/exported_file.h"
#include "model/model_metadata.h"

std::vector<ExportedFile> exportAssembly(const ComponentWalk& walk, const pfcModel_ptr& model,
                                         const ModelMetadata& metadata, const std::filesystem::path& directory,
                                         bool isRoot, AcceleratorBackups& backups, ExportRecord& record);
