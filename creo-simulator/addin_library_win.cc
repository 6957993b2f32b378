#include <windows.h>

#include <stdexcept>
#include <string>

#include "addin_library.h"

namespace creosim {

void* AddinLibrary::open(const std::filesystem::path& file) {
  HMODULE module = LoadLibraryW(std::filesystem::absolute(file).c_str());
  if (!module) {
    throw std::runtime_error("Cannot load add-in " + file.string() + " (Win32 error " +
                             std::to_string(GetLastError()) + ")");
  }
  return module;
}

void* AddinLibrary::symbol(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void AddinLibrary::close() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace creosim
