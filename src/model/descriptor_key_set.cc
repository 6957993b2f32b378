#include "model/descriptor_key_set.h"
#include "core/toolkit_text.h"

#include <cstdint>

// Toolkit names never hold a NUL, so it keeps instance and generic apart.
const std::string& DescriptorKeySet::keyOf(const pfcModelDescriptor& descriptor) {
  const auto type = static_cast<int32_t>(descriptor.GetType());
  key_.assign(reinterpret_cast<const char*>(&type), sizeof type);
  key_.append(fromXstring(descriptor.GetInstanceName()));
  key_.push_back('\0');
  key_.append(fromXstring(descriptor.GetGenericName()));
  return key_;
}
