#include <dlfcn.h>

#include <cerrno>
#include <string>

#include "cloud/client_library_loader.h"
#include "core/module_directory.h"
#include "core/text_encoding.h"

// The add-in links the client library with RUNPATH $ORIGIN (a shared library
// cannot be delay-loaded here), so normally it is already loaded; the full-path
// load checks that the packaged copy is the one in use or can be loaded.
const char* const kClientLibraryFileName = "libnorvane.so";

namespace {
thread_local std::string t_lastLoadError;
}

std::string clientLibraryLoadFailureMessage(const std::filesystem::path& path, uint32_t errorCode) {
  const std::string text = t_lastLoadError.empty() ? "unknown error" : t_lastLoadError;
  return std::string("Failed to load ") + kClientLibraryFileName + " from \"" + pathToUtf8(path) + "\": " + text +
         " (error " + std::to_string(errorCode) + ").";
}

void* tryLoadClientLibrary(uint32_t* errorCode) {
  if (void* loaded = dlopen(kClientLibraryFileName, RTLD_NOW | RTLD_NOLOAD)) {
    // Like GetModuleHandleW: a look-up, not a reference the caller must drop.
    dlclose(loaded);
    if (errorCode) *errorCode = 0;
    return loaded;
  }
  const std::filesystem::path path = moduleRelativePath(kClientLibraryFileName);
  errno = 0;
  void* module = dlopen(path.c_str(), RTLD_NOW);
  if (!module) {
    const int error = errno != 0 ? errno : ENOEXEC;
    const char* text = dlerror();
    t_lastLoadError = text ? text : "";
    if (errorCode) *errorCode = static_cast<uint32_t>(error);
  } else if (errorCode) {
    *errorCode = 0;
  }
  return module;
}
