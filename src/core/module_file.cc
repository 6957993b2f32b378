#include "core/module_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

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

std::filesystem::path moduleFileName() {
#ifdef _WIN32
  HMODULE module = nullptr;
  // Any address inside this module names it; this function's own will do.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&moduleFileName), &module))
    throw std::runtime_error("Failed to locate tavix-creo module handle");
  return readModuleNameGrowingBuffer([module](wchar_t* buffer, uint32_t size) {
    return static_cast<uint32_t>(GetModuleFileNameW(module, buffer, size));
  });
#else
  Dl_info info{};
  // Any address inside this module names it; this function's own will do.
  if (dladdr(reinterpret_cast<void*>(&moduleFileName), &info) == 0)
    throw std::runtime_error("Failed to locate tavix-creo module handle");
  if (info.dli_fname == nullptr || *info.dli_fname == '\0')
    throw std::runtime_error("Failed to read tavix-creo module path");
  return info.dli_fname;
#endif
}
