// A part or assembly from a Windchill workspace travels as a copy out of the
// workspace, with the revision and iteration Windchill knows it by; an
// assembly's own file comes first, marked, then its components'.
#pragma once

#include <filesystem>
#include <vector>

#include <pfcModel.h>

#include "model/component_walk.h"
#include "model/export_record.h"
#include "model/exported_file.h"

std::vector<ExportedFile> exportWindchillModel(const ComponentWalk& walk, const pfcModel_ptr& model,
                                               const std::filesystem::path& directory, ExportRecord& record);
