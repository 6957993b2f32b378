// A drawing travels as one PDF in the session temporary directory, named after
// the drawing's file.
#pragma once

#include <filesystem>
#include <vector>

#include <pfcModel.h>

#include "model/export_record.h"
#include "model/exported_file.h"
#include "model/model_metadata.h"

std::vector<ExportedFile> exportDrawing(const pfcModel_ptr& model, const ModelMetadata& metadata,
                                        const std::filesystem::path& directory, ExportRecord& record);
