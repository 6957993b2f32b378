// A Creo session described in a JSON file: Windchill workspaces, models with
// their files, family tables and components, configuration options and the
// current model. File and cache paths are relative to the file's directory.
//
// {
//   "configOptions": { "save_instance_accelerator": "NONE" },
//   "workspaces": [ { "name": "main", "cache": "wscache", "scheme": "wtws" } ],
//   "models": [
//     { "name": "top.asm", "file": "top.asm.2", "modified": true, "versionStamp": "vs-1",
//       "components": [ { "model": "bolt.prt" }, { "model": "nut.prt", "status": "suppressed" } ] },
//     { "name": "bolt.prt", "file": "bolt.prt.1", "simplifiedRep": 2 },
//     { "name": "nut.prt", "file": "nut.prt", "loaded": false },
//     { "name": "plate.prt", "workspace": "main", "file": "wscache/plate.prt",
//       "revision": "B", "version": { "fault": true }, "familyTable": [ "PLATE_A" ],
//       "parameters": { "PTC_WM_LIFECYCLE_STATE": "INWORK" } },
//     { "name": "plate_a.prt", "generic": "plate.prt",
//       "faults": { "pfcModel::GetIsModified": "pfcXToolkitNotFound" } },
//     { "name": "top.drw", "file": "top.drw.3", "sheets": 2 }
//   ],
//   "current": "top.asm"
// }
//
// "revision"/"version": a text (empty means no answer), { "error": "<toolkit class>" }
// or { "fault": true }. Component "status": "active", "suppressed",
// "familyTableSuppressed" or "inactive"; also "embedded", "visible", "descriptor".
// An instance's accelerator (e.g. PLATE_A.xpr) is a file beside its generic's;
// a drawing has one sheet unless "sheets" says more.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim_model_definition.h"

namespace creosim {

struct SessionDescription {
  std::vector<SimWorkspace> workspaces;
  std::vector<SimModelDefinition> models;
  std::map<std::string, std::string> configOptions;
  std::string currentModel;
};

// Throws std::exception (std::runtime_error or the JSON reader's) naming the
// fault for text that is not a session description; paths are relative to `base`.
SessionDescription parseSessionDescription(std::string_view text, const std::filesystem::path& base);
// The description as a file holds it, paths inside `base` written relative to it.
std::string printSessionDescription(const SessionDescription& description, const std::filesystem::path& base);
// Throws std::runtime_error naming the file and the fault for an unreadable or malformed file.
SessionDescription readSessionDescription(const std::filesystem::path& file);
// Paths inside the directory of `file` are written relative to it.
void writeSessionDescription(const SessionDescription& description, const std::filesystem::path& file);

}  // namespace creosim
