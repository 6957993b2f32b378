#include "core/module_file.h"

#include <algorithm>
#include <stdexcept>

namespace {
constexpr uint32_t kFirstModuleNameBuffer = 260;
constexpr uint32_t kLargestModuleNameBuffer = 32768;
}  // namespace

std::wstring readModuleNameGrowingBuffer(const ModuleNameReader& read) {
  std::wstring name(kFirstModuleNameBuffer, L'\0');
  for (;;) {
    const auto size = static_cast<uint32_t>(name.size());
    const uint32_t length = read(name.data(), size);
    if (length == 0) throw std::runtime_error("Failed to read tavix-creo module path");
    if (length < size) {
      name.resize(length);
      return name;
    }
    if (size == kLargestModuleNameBuffer)
      throw std::runtime_error("tavix-creo module path exceeded maximum supported length");
    name.resize(std::min(size * 2, kLargestModuleNameBuffer));
  }
}
