// Loaded models told apart by what their descriptors name: type, instance and
// generic. Model names are unique in a Creo session, so a component's
// descriptor tells whether its model was met before without asking the
// session for the model: large assemblies use the same part hundreds of times.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "host/pfc_model.h"

class DescriptorKeySet {
 public:
  // False when a descriptor naming the same model was inserted before.
  bool insert(const pfcModelDescriptor& descriptor);
  bool contains(const pfcModelDescriptor& descriptor) const;
  void clear() { keys_.clear(); }

 private:
  // Looked up without copying the names out of the descriptor.
  struct View {
    pfcModelType type;
    std::string_view instance;
    std::string_view generic;
  };
  struct Key {
    pfcModelType type;
    std::string instance;
    std::string generic;
  };
  struct Hash {
    using is_transparent = void;
    size_t operator()(const View& view) const;
    size_t operator()(const Key& key) const { return (*this)(View{key.type, key.instance, key.generic}); }
  };
  struct Equal {
    using is_transparent = void;
    template <class Left, class Right>
    bool operator()(const Left& left, const Right& right) const {
      return left.type == right.type && std::string_view(left.instance) == std::string_view(right.instance) &&
             std::string_view(left.generic) == std::string_view(right.generic);
    }
  };
  static View viewOf(const pfcModelDescriptor& descriptor) {
    return {descriptor.GetType(), descriptor.GetInstanceName(), descriptor.GetGenericName()};
  }

  std::unordered_set<Key, Hash, Equal> keys_;
};
