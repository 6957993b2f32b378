#include <dlfcn.h>
#include <link.h>

#include "loaded_module.h"

namespace creosim {

std::optional<std::filesystem::path> loadedModulePath(const std::string& name) {
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!handle) return std::nullopt;
  link_map* map = nullptr;
  std::optional<std::filesystem::path> path;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name) path = std::filesystem::path(map->l_name);
  dlclose(handle);
  return path;
}

}  // namespace creosim
