// A part, or a family table's generic part, travels as its own file, copied
// into the session temporary directory under the name Creo wrote it.
#pragma once

#include <filesystem>
#include <vector>

#include "model/export_record.h"
#include "model/exported_file.h"
#include "model/model_metadata.h"

std::vector<ExportedFile> exportPart(const ModelMetadata& metadata, const std::filesystem::path& directory,
                                     ExportRecord& record);
