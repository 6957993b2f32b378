// Models in session and on disk, configuration options and Windchill workspaces.
#pragma once

#include <map>
#include <string>

#include "host/pfc_model.h"

namespace creosim {

class ModelStore {
 public:
  pfcModel_ptr currentModel();
  pfcModels_ptr listModels();
  pfcModel_ptr modelFromDescr(const pfcModelDescriptor_ptr& descr);
  pfcModel_ptr retrieveModel(const pfcModelDescriptor_ptr& descr);
  xstring configOption(const xstring& name);
  void setConfigOption(const xstring& name, const xstring& value);
  void copyFileFromWorkspace(const xstring& origin, const xstring& targetDirectory);

 private:
  std::map<std::string, std::string> configOptions_;
};

}  // namespace creosim
