#include "model/model_kind.h"

#include <pfcModel.h>

std::optional<ModelKind> modelKindOf(int modelType, const ModelMetadata& metadata) {
  switch (modelType) {
    case pfcMDL_PART:
      return metadata.isFamilyTableInstance  ? ModelKind::FamilyTableInstancePart
             : metadata.isFamilyTableGeneric ? ModelKind::FamilyTableGenericPart
                                             : ModelKind::Part;
    case pfcMDL_ASSEMBLY:
      return metadata.isFamilyTableInstance  ? ModelKind::FamilyTableInstanceAssembly
             : metadata.isFamilyTableGeneric ? ModelKind::FamilyTableGenericAssembly
                                             : ModelKind::Assembly;
    case pfcMDL_DRAWING: return ModelKind::Drawing;
    default: return std::nullopt;
  }
}

bool isFamilyTableInstance(ModelKind kind) {
  return kind == ModelKind::FamilyTableInstancePart || kind == ModelKind::FamilyTableInstanceAssembly;
}

bool isAssembly(ModelKind kind) {
  return kind == ModelKind::Assembly || kind == ModelKind::FamilyTableInstanceAssembly ||
         kind == ModelKind::FamilyTableGenericAssembly;
}

std::string modelKindName(int type) {
  switch (type) {
    case 0: return "assembly";
    case 1: return "part";
    case 2: return "drawing";
    default: return "other";
  }
}
