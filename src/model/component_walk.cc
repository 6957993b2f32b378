#include "model/component_walk.h"

#include <iterator>
#include <string>

#include <pfcFeature.h>
#include <pfcComponentFeat.h>
#include <pfcSolid.h>

#include "core/log.h"
#include "core/toolkit_text.h"
#include "model/assembly_components.h"
#include "model/export_texts.h"

namespace {

pfcFeatures_ptr componentFeatures(const pfcModel_ptr& model) {
  pfcSolid_ptr solid = pfcSolid::cast(model);
  pfcFeatures_ptr features = solid ? solid->ListFeaturesByType(true, pfcFEATTYPE_COMPONENT) : nullptr;
  return features ? features : pfcFeatures::create();
}

}  // namespace

void exportComponents(const ComponentWalk& walk, const pfcModel_ptr& assembly, const ComponentTexts& texts,
                      ExportRecord& record, std::vector<ExportedFile>& result) {
  const std::string assemblyName = fromXstring(assembly->GetFileName());
  const pfcFeatures_ptr features = componentFeatures(assembly);
  for (xint i = 0; i < features->getarraysize() && !record.failed(); ++i) {
    if (walk.progress) walk.progress();
    pfcComponentFeat_ptr component = pfcComponentFeat::cast(features->get(i));
    if (!component) {
      logError(texts.castFailedLog);
      record.failWith(kMissingPartsText, texts.castFailedDetail);
      return;
    }
    const pfcFeatureStatus status = component->GetStatus();
    pfcModelDescriptor_ptr descriptor = component->GetModelDescr();
    if (isSuppressed(status)) {
      logSuppressedComponent(texts.logPrefix, descriptor, assemblyName);
      continue;
    }
    pfcModel_ptr child = descriptor ? componentModel(walk.session, descriptor, texts.logPrefix) : nullptr;
    if (!child) {
      logError(texts.noModelLog);
      record.failWith(kMissingPartsText, texts.noModelDetail);
      return;
    }
    std::vector<ExportedFile> files = walk.exportChild(child);
    if (record.failed()) return;
    result.insert(result.end(), std::make_move_iterator(files.begin()), std::make_move_iterator(files.end()));
  }
}
