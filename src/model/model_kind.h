// What a model is to the export and the upload: its type and its place in a
// family table; and the name of a model type as log lines show it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/model_metadata.h"

enum class ModelKind : uint32_t {
  Part = 0,
  Assembly = 1,
  Drawing = 2,
  FamilyTableInstancePart = 3,
  FamilyTableGenericPart = 4,
  FamilyTableInstanceAssembly = 5,
  FamilyTableGenericAssembly = 6,
};

// None for a model type that is not uploaded. The metadata marks a model an
// instance or a generic, not both; were both marked, the instance would win:
// taken for its generic, an instance would be sent as the generic's file.
std::optional<ModelKind> modelKindOf(int modelType, const ModelMetadata& metadata);

bool isFamilyTableInstance(ModelKind kind);
bool isAssembly(ModelKind kind);

// "assembly" for 0, "part" for 1, "drawing" for 2, "other" for anything else.
std::string modelKindName(int type);
