// The walk over an assembly's components that a local and a Windchill assembly
// share: each component's model is exported in turn by the export around it.
#pragma once

#include <functional>
#include <vector>

#include <pfcSession.h>
#include <pfcModel.h>

#include "model/export_record.h"
#include "model/exported_file.h"

struct ComponentWalk {
  pfcSession_ptr session;
  // Called once per component met, before it is looked at.
  std::function<void()> progress;
  // Exports one component's model with whatever it needs.
  std::function<std::vector<ExportedFile>(const pfcModel_ptr& child)> exportChild;
};

// The texts of one walk: a local assembly's or a Windchill assembly's.
struct ComponentTexts {
  const char* logPrefix;
  const char* castFailedLog;
  const char* castFailedDetail;
  const char* noModelLog;
  const char* noModelDetail;
};

// Parents before children, depth-first in component order; suppressed
// components are passed over; stops at the first failure.
void exportComponents(const ComponentWalk& walk, const pfcModel_ptr& assembly, const ComponentTexts& texts,
                      ExportRecord& record, std::vector<ExportedFile>& result);
