#include <windows.h>

#include <vector>

#include "loaded_module.h"

namespace creosim {

std::optional<std::filesystem::path> loadedModulePath(const std::string& name) {
  HMODULE module = GetModuleHandleW(std::filesystem::path(name).c_str());
  if (!module) return std::nullopt;
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0) return std::nullopt;
  return std::filesystem::path(std::wstring(buffer.data(), length));
}

}  // namespace creosim
