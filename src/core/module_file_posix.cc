#include "core/module_file.h"

#include <dlfcn.h>

#include <stdexcept>

std::filesystem::path moduleFileName() {
  Dl_info info{};
  // Any address inside this module names it; this function's own will do.
  if (dladdr(reinterpret_cast<void*>(&moduleFileName), &info) == 0)
    throw std::runtime_error("Failed to locate tavix-creo module handle");
  if (info.dli_fname == nullptr || *info.dli_fname == '\0')
    throw std::runtime_error("Failed to read tavix-creo module path");
  return info.dli_fname;
}
