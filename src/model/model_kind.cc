#include "model/model_kind.h"

std::string modelKindName(int type) {
  switch (type) {
    case 0: return "assembly";
    case 1: return "part";
    case 2: return "drawing";
    default: return "other";
  }
}
