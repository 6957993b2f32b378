// Loaded models told apart by what their descriptors name: type, instance and
// generic. Model names are unique in a Creo session, so a component's
// descriptor tells whether its model was met before without asking the
// session for the model: large assemblies use the same part hundreds of times.
#pragma once

#include <string>

#include <pfcModel.h>

#include "core/text_set.h"

class DescriptorKeySet {
 public:
  // False when a descriptor naming the same model was inserted before.
  bool insert(const pfcModelDescriptor& descriptor) { return keys_.insert(keyOf(descriptor)); }
  bool contains(const pfcModelDescriptor& descriptor) { return keys_.contains(keyOf(descriptor)); }

 private:
  // The names joined into one text in a buffer kept between calls, so that
  // looking a descriptor up allocates nothing.
  const std::string& keyOf(const pfcModelDescriptor& descriptor);

  TextSet keys_;
  std::string key_;
};
