#include "core/module_file.h"

#include <windows.h>

#include <stdexcept>

std::filesystem::path moduleFileName() {
  HMODULE module = nullptr;
  // Any address inside this module names it; this function's own will do.
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&moduleFileName), &module))
    throw std::runtime_error("Failed to locate tavix-creo module handle");
  return readModuleNameGrowingBuffer([module](wchar_t* buffer, uint32_t size) {
    return static_cast<uint32_t>(GetModuleFileNameW(module, buffer, size));
  });
}
