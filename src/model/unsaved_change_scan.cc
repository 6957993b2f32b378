#include "model/unsaved_change_scan.h"

#include <string>
#include <unordered_set>
#include <vector>

#include "core/log.h"
#include "host/creo_host.h"
#include "model/path_text.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

namespace {

class UnsavedChangeScan {
 public:
  UnsavedChangeScan(wfcWSession_ptr session, pfcModels_ptr models)
      : session_(std::move(session)), models_(std::move(models)) {}

  // Depth-first; each loaded model is looked at once.
  bool visit(const pfcModel_ptr& model) {
    const std::string key = keyOf(model);
    if (!key.empty() && !visited_.insert(key).second) return false;
    if (counts(model) || counts(genericOf(model))) return true;
    for (const pfcModel_ptr& component : loadedComponents(model))
      if (visit(component)) return true;
    return false;
  }

 private:
  // File name and origin tell loaded models apart: instances share their
  // generic's origin but not its file name.
  static std::string keyOf(const pfcModel_ptr& model) {
    if (!model) return {};
    try {
      return model->GetFileName() + "|" + model->GetOrigin();
    } catch (const xthrowable&) {
      return {};
    }
  }

  static std::string fileNameOf(const pfcModel_ptr& model) {
    if (!model) return "<null model>";
    try {
      return model->GetFileName();
    } catch (const xthrowable&) {
      return "<null model>";
    }
  }

  pfcModel_ptr genericOf(const pfcModel_ptr& model) {
    if (!model) return nullptr;
    try {
      if (isWindchillOrigin(model->GetOrigin())) return findLoadedWindchillGeneric(models_, model);
      pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
      if (!member) return nullptr;
      pfcModelDescriptor_ptr generic = member->GetImmediateGenericInfo();
      return generic ? session_->GetModelFromDescr(generic) : nullptr;
    } catch (const xthrowable&) {
      return nullptr;
    }
  }

  // Drawings and family-table instances whose changes cannot be saved on their
  // own (no accelerator file beside the generic) do not count.
  static bool isExcluded(const pfcModel_ptr& model) {
    const pfcModelType type = model->GetType();
    if (type == pfcMDL_DRAWING) return true;
    const std::string origin = model->GetOrigin();
    if (isWindchillOrigin(origin)) return type < pfcMDL_DRAWING && model->GetFileName().find('<') != std::string::npos;
    pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
    if (!member || !member->GetImmediateGenericInfo()) return false;
    if (type >= pfcMDL_DRAWING || origin.empty()) return true;
    const fs::path accelerator = pathFromUtf8(origin).parent_path() /
                                 pathFromUtf8(model->GetInstanceName() + (type == pfcMDL_PART ? ".xpr" : ".xas"));
    std::error_code error;
    const bool present = fs::exists(accelerator, error);
    if (error) throw fs::filesystem_error("exists", accelerator, error);
    return !present;
  }

  static bool counts(const pfcModel_ptr& model) {
    if (!model) return false;
    try {
      if (!model->GetIsModified()) return false;
    } catch (const xthrowable& error) {
      logWarning("Unable to read model modified state during session unsaved-change check. exception=" +
                 error.GetDescription());
      return false;
    }
    try {
      if (isExcluded(model)) return false;
    } catch (const fs::filesystem_error& error) {
      logWarning(std::string("Filesystem error during accelerator file check in unsaved-change scan. exception=") +
                 error.what());
      return false;
    } catch (const xthrowable&) {
      return false;
    }
    logWarning("Unsaved model detected in current session: " + fileNameOf(model));
    return true;
  }

  std::vector<pfcModel_ptr> loadedComponents(const pfcModel_ptr& model) {
    std::vector<pfcModel_ptr> components;
    if (!model) return components;
    try {
      if (model->GetType() != pfcMDL_ASSEMBLY) return components;
    } catch (const xthrowable& error) {
      logWarning("Unable to read model type during session unsaved-change check. exception=" + error.GetDescription());
      return components;
    }
    wfcWAssembly_ptr assembly = wfcWAssembly::cast(model);
    if (!assembly) {
      logWarning("Unable to cast assembly model during session unsaved-change check. exception=not an assembly");
      return components;
    }
    pfcFeatures_ptr features;
    try {
      features = assembly->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT);
    } catch (const xthrowable& error) {
      logWarning("Unable to enumerate assembly components during session unsaved-change check. exception=" +
                 error.GetDescription());
      return components;
    }
    const xint count = features ? features->getarraysize() : 0;
    logDebug("Inspecting loaded assembly children for unsaved changes. parent=" + fileNameOf(model) +
             ", component_count=" + std::to_string(count));
    for (xint i = 0; i < count; ++i) {
      try {
        pfcComponentFeat_ptr component = pfcComponentFeat::cast(features->get(i));
        pfcModelDescriptor_ptr descriptor = component ? component->GetModelDescr() : nullptr;
        if (pfcModel_ptr loaded = descriptor ? session_->GetModelFromDescr(descriptor) : nullptr)
          components.push_back(std::move(loaded));
      } catch (const xthrowable& error) {
        logWarning("Unable to read assembly component during session unsaved-change check. exception=" +
                   error.GetDescription());
      }
    }
    return components;
  }

  wfcWSession_ptr session_;
  pfcModels_ptr models_;
  std::unordered_set<std::string> visited_;
};

}  // namespace

bool hasUnsavedChangesInSession() {
  wfcWSession_ptr session;
  try {
    session = wfcWSession::cast(pfcGetCurrentSessionWithCompatibility(pfcC4Compatible));
  } catch (const xthrowable&) {
    session = nullptr;
  }
  if (!session) {
    logWarning("Creo session unavailable while checking for unsaved model changes.");
    return false;
  }
  pfcModel_ptr current;
  try {
    current = session->GetCurrentModel();
  } catch (const xthrowable&) {
    current = nullptr;
  }
  if (!current) {
    logWarning("No current model available during unsaved-change check.");
    return false;
  }
  pfcModels_ptr models;
  try {
    models = session->ListModels();
  } catch (const xthrowable& error) {
    logWarning("Unable to list loaded session models during unsaved-change check. exception=" + error.GetDescription());
  }
  if (!models) models = pfcModels::create();
  return UnsavedChangeScan(session, models).visit(current);
}
