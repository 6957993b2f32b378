// The size of a model with its components: every distinct file once, suppressed
// components not at all, Windchill components measured on a local copy.
#include <cmath>
#include <cwchar>
#include <stdexcept>

#include <pfcGlobal.h>
#include <pfcSession.h>
#include <pfcModel.h>
#include <pfcFeature.h>
#include <pfcComponentFeat.h>
#include <wfcAssembly.h>
#include <ProAsmcomp.h>
#include <pfcExceptions.h>

#include "core/log.h"
#include "core/text_encoding.h"
#include "core/toolkit_guard.h"
#include "core/toolkit_text.h"
#include "model/assembly_components.h"
#include "model/descriptor_key_set.h"
#include "model/model_metadata.h"
#include "model/path_text.h"
#include "model/regular_file_size.h"
#include "model/visited_model_paths.h"
#include "model/windchill_names.h"
#include "model/windchill_staging.h"

namespace fs = std::filesystem;

const char* const kEmbeddedComponentMessage =
    "The selected assembly contains one or more embedded components.\n"
    "Assemblies with embedded components are currently not supported.";

namespace {

const char* const kSizePrefix = "ModelMetadataResolver::resolveFileSize()";

double roundToHundredths(double value) { return std::round(value * 100.0) / 100.0; }

// The assembly as the C toolkit, which answers the embedded-component query,
// knows it; null when it cannot be found by its name, and then no component
// counts as embedded, as when the query itself fails.
ProMdl assemblyHandle(const pfcModel_ptr& assembly) {
  xstring instanceName;
  if (catchToolkitError([&] { instanceName = assembly->GetInstanceName(); })) return nullptr;
  const cWStringT wide = static_cast<cWStringT>(instanceName);
  if (!wide) return nullptr;
  ProMdlName name{};
  std::wcsncpy(name, wide, PRO_MDLNAME_SIZE - 1);
  ProMdl handle = nullptr;
  return ProMdlnameInit(name, PRO_MDLFILE_ASSEMBLY, &handle) == PRO_TK_NO_ERROR ? handle : nullptr;
}

bool isEmbedded(ProMdl assembly, const pfcComponentFeat_ptr& component) {
  if (!assembly) return false;
  ProAsmcomp record{PRO_FEATURE, component->GetId(), assembly};
  ProBoolean embedded = PRO_B_FALSE;
  return ProAsmcompIsEmbedded(&record, &embedded) == PRO_TK_NO_ERROR && embedded == PRO_B_TRUE;
}

double sizeWithComponents(std::uintmax_t bytes, const pfcModel_ptr& model,
                          const std::optional<fs::path>& stagingDirectory, VisitedModelPaths& visited);
double sizeOfFile(const fs::path& path, const pfcModel_ptr& model, const std::optional<fs::path>& stagingDirectory,
                  VisitedModelPaths& visited);

// Lists a component's model once its file is counted; a component that failed
// is tried again.
void listCounted(const std::string& origin, const pfcModelDescriptor& descriptor, VisitedModelPaths& visited) {
  visited.append(origin);
  visited.appendComponent(descriptor);
}

// The size a component's model adds when its origin is not yet counted. A local
// file is read by its origin's text: the walk meets thousands of them, and
// building a path costs more than reading the size.
double childSize(const pfcBaseSession_ptr& session, const pfcModel_ptr& child, const std::string& origin,
                 const pfcModelDescriptor& descriptor, const std::optional<fs::path>& stagingDirectory,
                 VisitedModelPaths& visited) {
  if (!isWindchillOrigin(origin)) {
    const std::optional<std::uintmax_t> bytes = regularFileSize(origin);
    if (!bytes) {
      logWarning("Failed to read model file size.");
      return 0;
    }
    listCounted(origin, descriptor, visited);
    return sizeWithComponents(*bytes, child, stagingDirectory, visited);
  }

  const std::string childName = fromXstring(child->GetFileName());
  if (!stagingDirectory) {
    logDebug("Skipping file size for Windchill child component (no temp dir): " + childName);
    return 0;
  }
  logDebug("ModelMetadataResolver: Windchill child raw GetFileName()=" + childName + ", GetOrigin()=" + origin);
  std::optional<fs::path> copy;
  try {
    copy = copyWindchillModelIfNeeded(session, origin, childName, *stagingDirectory);
  } catch (const std::exception& error) {
    logError(std::string("ModelMetadataResolver: ") + error.what());
  }
  if (!copy) {
    logError("Failed to copy Windchill child for size calculation: " + childName);
    return 0;
  }
  listCounted(origin, descriptor, visited);
  return sizeOfFile(*copy, child, stagingDirectory, visited);
}

// The size one component adds: nothing when it was counted before, is
// suppressed or cannot be reached.
double componentSize(const pfcBaseSession_ptr& session, const pfcFeature_ptr& feature, ProMdl assembly,
                     const std::string& assemblyName, const std::optional<fs::path>& stagingDirectory,
                     VisitedModelPaths& visited) {
  pfcComponentFeat_ptr component = pfcComponentFeat::cast(feature);
  if (!component) {
    logError("ModelMetadataResolver: Unable to cast child feature to component");
    return 0;
  }
  const pfcFeatureStatus status = component->GetStatus();
  pfcModelDescriptor_ptr descriptor = component->GetModelDescr();
  if (isSuppressed(status)) {
    logSuppressedComponent(kSizePrefix, descriptor, assemblyName);
    return 0;
  }
  if (isEmbedded(assembly, component)) {
    logError("Current child is an embedded component in " + assemblyName + ". Unsupported assembly - aborting upload");
    throw std::runtime_error(kEmbeddedComponentMessage);
  }
  if (descriptor && visited.containsComponent(*descriptor)) return 0;
  pfcModel_ptr child = descriptor ? componentModel(session, descriptor, kSizePrefix) : nullptr;
  if (!child) {
    logError("ModelMetadataResolver: Unable to retrieve child model from descriptor");
    return 0;
  }
  const std::string origin = fromXstring(child->GetOrigin());
  if (!visited.contains(origin)) return childSize(session, child, origin, *descriptor, stagingDirectory, visited);
  visited.appendComponent(*descriptor);  // another name for a file counted already
  return 0;
}

// The file's own size, already read and listed, with the sizes its components add.
double sizeWithComponents(std::uintmax_t bytes, const pfcModel_ptr& model,
                          const std::optional<fs::path>& stagingDirectory, VisitedModelPaths& visited) {
  double size = static_cast<double>(bytes) / 1048576.0;
  wfcWAssembly_ptr assembly;
  pfcFeatures_ptr features;
  std::string assemblyName;
  const auto listingError = catchToolkitError([&] {
    if (model && model->GetType() == pfcMDL_ASSEMBLY && (assembly = wfcWAssembly::cast(model))) {
      assemblyName = fromXstring(model->GetFileName());
      features = assembly->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT);
    }
  });
  if (listingError) {
    logError(std::string(kSizePrefix) + " - Creo toolkit error listing assembly components: " +
             listingError->description());
  }
  if (features && features->getarraysize() > 0) {
    pfcBaseSession_ptr session;
    catchToolkitError([&] { session = pfcGetCurrentSessionWithCompatibility(pfcC4Compatible); });
    if (!session) {
      logError("ModelMetadataResolver: Creo session unavailable; component sizes are not counted.");
      return roundToHundredths(size);
    }
    const ProMdl owner = assemblyHandle(model);
    for (xint i = 0; i < features->getarraysize(); ++i) {
      const auto error = catchToolkitError(
          [&] { size += componentSize(session, features->get(i), owner, assemblyName, stagingDirectory, visited); });
      if (error) {
        logError(std::string(kSizePrefix) + " - Creo toolkit error reading assembly component: " +
                 error->description());
      }
    }
  }
  return roundToHundredths(size);
}

double sizeOfFile(const fs::path& path, const pfcModel_ptr& model, const std::optional<fs::path>& stagingDirectory,
                  VisitedModelPaths& visited) {
  std::error_code error;
  const std::uintmax_t bytes = fs::file_size(path, error);
  if (error) {
    logWarning("Failed to read model file size.");
    return 0;
  }
  visited.append(pathToUtf8(path));
  return sizeWithComponents(bytes, model, stagingDirectory, visited);
}

}  // namespace

double ModelMetadataResolver::resolveFileSize(const std::optional<fs::path>& path, const pfcModel_ptr& model,
                                              const std::optional<fs::path>& stagingDirectory) {
  if (!path) {
    logWarning("Skipping file size resolution (no path).");
    return 0;
  }
  VisitedModelPaths visited;
  return sizeOfFile(*path, model, stagingDirectory, visited);
}
