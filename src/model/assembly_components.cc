#include "model/assembly_components.h"

#include <exception>

#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcFeature.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"

bool isSuppressed(pfcFeatureStatus status) {
  return status == pfcFEAT_SUPPRESSED || status == pfcFEAT_FAMILY_TABLE_SUPPRESSED;
}

void logSuppressedComponent(const std::string& logPrefix, const pfcModelDescriptor_ptr& descriptor,
                            const std::string& assemblyName) {
  logDebug(logPrefix + " - Skipping suppressed component in assembly. Suppressed component: " +
           (descriptor ? fromXstring(descriptor->GetInstanceName()) : std::string("undefined")) + ". Assembly: " + assemblyName);
}

pfcModel_ptr componentModel(const xrcptr<pfcBaseSession>& session, const pfcModelDescriptor_ptr& descriptor,
                            const std::string& logPrefix) {
  pfcModel_ptr model;
  try {
    if (const auto error = catchToolkitError([&] { model = session->GetModelFromDescr(descriptor); })) {
      logError(logPrefix + " - Creo toolkit error fetching assembly component via GetModelFromDescr(): " +
               error->description());
    }
  } catch (const std::exception&) {
    logError(logPrefix + " - An error occurred fetching assembly component via GetModelFromDescr().");
  }
  if (model) return model;
  logDebug(logPrefix + " - GetModelFromDescr() returned no model. Falling back to RetrieveModel().");
  try {
    if (const auto error = catchToolkitError([&] { model = session->RetrieveModel(descriptor); })) {
      logError(logPrefix + " - Creo toolkit error fetching assembly component via RetrieveModel(): " +
               error->description());
    }
  } catch (const std::exception&) {
    logError(logPrefix + " - An error occurred fetching assembly component via RetrieveModel().");
  }
  return model;
}
