#include "model/descriptor_key_set.h"

#include <functional>

size_t DescriptorKeySet::Hash::operator()(const View& view) const {
  const std::hash<std::string_view> hash;
  size_t combined = hash(view.instance);
  combined ^= hash(view.generic) + 0x9e3779b97f4a7c15ULL + (combined << 6) + (combined >> 2);
  return combined ^ static_cast<size_t>(view.type);
}

bool DescriptorKeySet::insert(const pfcModelDescriptor& descriptor) {
  return keys_.insert(Key{descriptor.GetType(), descriptor.GetInstanceName(), descriptor.GetGenericName()}).second;
}

bool DescriptorKeySet::contains(const pfcModelDescriptor& descriptor) const {
  return keys_.find(viewOf(descriptor)) != keys_.end();
}
