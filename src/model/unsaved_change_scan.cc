#include "model/unsaved_change_scan.h"

#include <string>
#include <vector>

#include <pfcGlobal.h>
#include <wfcSession.h>
#include <pfcModel.h>
#include <pfcFamily.h>
#include <pfcFeature.h>
#include <pfcComponentFeat.h>
#include <wfcAssembly.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/descriptor_key_set.h"
#include "model/path_text.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

namespace {

class UnsavedChangeScan {
 public:
  UnsavedChangeScan(wfcWSession_ptr session, pfcModels_ptr models)
      : session_(std::move(session)), models_(std::move(models)) {}

  // Depth-first; each loaded model is looked at once. A model without a
  // descriptor is not tracked and may be looked at again.
  bool visit(const pfcModelDescriptor_ptr& descriptor, const pfcModel_ptr& model) {
    if (descriptor && !visited_.insert(*descriptor)) return false;
    if (counts(model) || counts(genericOf(model))) return true;
    for (const LoadedComponent& component : loadedComponents(model))
      if (visit(component.descriptor, component.model)) return true;
    return false;
  }

 private:
  struct LoadedComponent {
    pfcModelDescriptor_ptr descriptor;
    pfcModel_ptr model;
  };

  static std::string fileNameOf(const pfcModel_ptr& model) {
    if (!model) return "<null model>";
    std::string fileName;
    if (catchToolkitError([&] { fileName = fromXstring(model->GetFileName()); })) return "<null model>";
    return fileName;
  }

  pfcModel_ptr genericOf(const pfcModel_ptr& model) {
    if (!model) return nullptr;
    pfcModel_ptr generic;
    const auto error = catchToolkitError([&] {
      if (isWindchillOrigin(fromXstring(model->GetOrigin()))) {
        generic = findLoadedWindchillGeneric(models_, model);
      } else if (pfcFamilyMember_ptr member = pfcFamilyMember::cast(model)) {
        pfcModelDescriptor_ptr descriptor = member->GetImmediateGenericInfo();
        if (descriptor) generic = session_->GetModelFromDescr(descriptor);
      }
    });
    return error ? nullptr : generic;
  }

  // Drawings and family-table instances whose changes cannot be saved on their
  // own (no accelerator file beside the generic) do not count.
  static bool isExcluded(const pfcModel_ptr& model) {
    const pfcModelType type = model->GetType();
    if (type == pfcMDL_DRAWING) return true;
    const std::string origin = fromXstring(model->GetOrigin());
    if (isWindchillOrigin(origin)) return type < pfcMDL_DRAWING && fromXstring(model->GetFileName()).find('<') != std::string::npos;
    pfcFamilyMember_ptr member = pfcFamilyMember::cast(model);
    if (!member || !member->GetImmediateGenericInfo()) return false;
    if (type >= pfcMDL_DRAWING || origin.empty()) return true;
    const fs::path accelerator = pathFromUtf8(origin).parent_path() /
                                 pathFromUtf8(fromXstring(model->GetInstanceName()) + (type == pfcMDL_PART ? ".xpr" : ".xas"));
    std::error_code error;
    const bool present = fs::exists(accelerator, error);
    if (error) throw fs::filesystem_error("exists", accelerator, error);
    return !present;
  }

  static bool counts(const pfcModel_ptr& model) {
    if (!model) return false;
    bool modified = false;
    if (const auto error = catchToolkitError([&] { modified = model->GetIsModified(); })) {
      logWarning("Unable to read model modified state during session unsaved-change check. exception=" +
                 error->description());
      return false;
    }
    if (!modified) return false;
    bool excluded = true;
    try {
      catchToolkitError([&] { excluded = isExcluded(model); });
    } catch (const fs::filesystem_error& error) {
      logWarning(std::string("Filesystem error during accelerator file check in unsaved-change scan. exception=") +
                 error.what());
      return false;
    }
    if (excluded) return false;
    logWarning("Unsaved model detected in current session: " + fileNameOf(model));
    return true;
  }

  std::vector<LoadedComponent> loadedComponents(const pfcModel_ptr& model) {
    std::vector<LoadedComponent> components;
    if (!model) return components;
    pfcModelType type = pfcMDL_PART;
    if (const auto error = catchToolkitError([&] { type = model->GetType(); })) {
      logWarning("Unable to read model type during session unsaved-change check. exception=" + error->description());
      return components;
    }
    if (type != pfcMDL_ASSEMBLY) return components;
    wfcWAssembly_ptr assembly = wfcWAssembly::cast(model);
    if (!assembly) {
      logWarning("Unable to cast assembly model during session unsaved-change check. exception=not an assembly");
      return components;
    }
    pfcFeatures_ptr features;
    if (const auto error = catchToolkitError([&] { features = assembly->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT); })) {
      logWarning("Unable to enumerate assembly components during session unsaved-change check. exception=" +
                 error->description());
      return components;
    }
    const xint count = features ? features->getarraysize() : 0;
    logDebug("Inspecting loaded assembly children for unsaved changes. parent=" + fileNameOf(model) +
             ", component_count=" + std::to_string(count));
    for (xint i = 0; i < count; ++i) {
      const auto error = catchToolkitError([&] {
        pfcComponentFeat_ptr component = pfcComponentFeat::cast(features->get(i));
        pfcModelDescriptor_ptr descriptor = component ? component->GetModelDescr() : nullptr;
        if (!descriptor || visited_.contains(*descriptor)) return;  // a model looked at is loaded already
        if (pfcModel_ptr loaded = session_->GetModelFromDescr(descriptor))
          components.push_back({std::move(descriptor), std::move(loaded)});
      });
      if (error) {
        logWarning("Unable to read assembly component during session unsaved-change check. exception=" +
                   error->description());
      }
    }
    return components;
  }

  wfcWSession_ptr session_;
  pfcModels_ptr models_;
  DescriptorKeySet visited_;
};

}  // namespace

bool hasUnsavedChangesInSession() {
  wfcWSession_ptr session;
  catchToolkitError([&] { session = wfcWSession::cast(pfcGetCurrentSessionWithCompatibility(pfcC4Compatible)); });
  if (!session) {
    logWarning("Creo session unavailable while checking for unsaved model changes.");
    return false;
  }
  pfcModel_ptr current;
  catchToolkitError([&] { current = session->GetCurrentModel(); });
  if (!current) {
    logWarning("No current model available during unsaved-change check.");
    return false;
  }
  pfcModels_ptr models;
  if (const auto error = catchToolkitError([&] { models = session->ListModels(); })) {
    logWarning("Unable to list loaded session models during unsaved-change check. exception=" + error->description());
  }
  if (!models) models = pfcModels::create();
  pfcModelDescriptor_ptr descriptor;
  catchToolkitError([&] { descriptor = current->GetDescr(); });
  return UnsavedChangeScan(session, models).visit(descriptor, current);
}
