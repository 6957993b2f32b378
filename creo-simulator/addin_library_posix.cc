#include <dlfcn.h>

#include <stdexcept>

#include "addin_library.h"

namespace creosim {

void* AddinLibrary::open(const std::filesystem::path& file) {
  void* handle = dlopen(std::filesystem::absolute(file).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* error = dlerror();
    throw std::runtime_error("Cannot load add-in " + file.string() + ": " + (error ? error : "unknown error"));
  }
  return handle;
}

void* AddinLibrary::symbol(const char* name) { return dlsym(handle_, name); }

void AddinLibrary::close() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace creosim
