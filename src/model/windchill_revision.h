// The revision and iteration Windchill knows a model by, sent with each of its
// staged files.
#pragma once

#include <optional>
#include <string>

#include <pfcModel.h>

#include "model/export_record.h"

struct WindchillRevision {
  std::string revision;
  std::string version;
};

// None after recording the failure with the detail of the step that failed.
std::optional<WindchillRevision> resolveWindchillRevision(const pfcModel_ptr& model, const char* revisionDetail,
                                                          const char* iterationDetail, ExportRecord& record);
