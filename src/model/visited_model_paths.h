// The model files already counted while one model's size is resolved: a list
// that only ever grows, asked whether it holds a path. One walk holds one.
// Paths are held as UTF-8 text and membership is a hash lookup, so that
// assemblies of many thousand components stay linear and a component's origin,
// as the toolkit gives it, is tested and listed without building a path.
#pragma once

#include <string>

#include "model/descriptor_key_set.h"
#include "core/text_set.h"

class VisitedModelPaths {
 public:
  void append(const std::string& utf8Path) { members_.insert(utf8Path); }
  bool contains(const std::string& utf8Path) const { return members_.contains(utf8Path); }

  // Component models, by what their descriptors name, whose file is in the list.
  void appendComponent(const pfcModelDescriptor& descriptor) { components_.insert(descriptor); }
  bool containsComponent(const pfcModelDescriptor& descriptor) { return components_.contains(descriptor); }

 private:
  TextSet members_;
  DescriptorKeySet components_;
};
