#include <windows.h>
// After windows.h, which it relies on.
#include <delayimp.h>

#include <string>

#include "cloud/client_library_loader.h"
#include "core/ascii_case.h"
#include "core/log.h"
#include "core/module_directory.h"
#include "core/module_file.h"
#include "core/text_encoding.h"

const char* const kClientLibraryFileName = "norvane.dll";

namespace {

const wchar_t* const kClientLibraryWideName = L"norvane.dll";

// The system's wording for a Win32 error, without its trailing line break.
std::string systemErrorText(uint32_t errorCode) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string text;
  if (length > 0 && buffer) text.assign(reinterpret_cast<const char16_t*>(buffer), length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' || text.back() == u' ')) text.pop_back();
  return text.empty() ? "unknown error" : utf16ToUtf8(text);
}

bool namesClientLibrary(const char* name) {
  if (!name) return false;
  const std::string wanted = kClientLibraryFileName;
  size_t i = 0;
  for (; name[i] && i < wanted.size(); ++i) {
    if (asciiLowered(name[i]) != wanted[i]) return false;
  }
  return i == wanted.size() && name[i] == '\0';
}

bool isBesideTheAddIn(HMODULE module) {
  const std::filesystem::path name = canonicalModuleName(readModuleNameGrowingBuffer(
      [module](wchar_t* buffer, uint32_t size) { return GetModuleFileNameW(module, buffer, size); }));
  std::error_code error;
  return std::filesystem::equivalent(parentDirectoryOf(name), moduleDirectory(), error);
}

}  // namespace

std::string clientLibraryLoadFailureMessage(const std::filesystem::path& path, uint32_t errorCode) {
  return std::string("Failed to load ") + kClientLibraryFileName + " from \"" + pathToUtf8(path) +
         "\": " + systemErrorText(errorCode) + " (Win32 error " + std::to_string(errorCode) + ").";
}

void* tryLoadClientLibrary(uint32_t* errorCode) {
  const std::filesystem::path path = moduleRelativePath(kClientLibraryWideName);
  // Another component's norvane.dll from elsewhere is not ours: the add-in's
  // own is loaded beside it, by full path.
  if (HMODULE loaded = GetModuleHandleW(kClientLibraryWideName); loaded && isBesideTheAddIn(loaded)) {
    if (errorCode) *errorCode = 0;
    return loaded;
  }
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (errorCode) *errorCode = module ? 0 : GetLastError();
  return module;
}

// Installed below as both delayed-load hooks; never called directly. It must not
// throw: the delayed-load helper is C code.
FARPROC WINAPI clientLibraryLoadHook(unsigned notification, PDelayLoadInfo info) {
  try {
    if (!info || !namesClientLibrary(info->szDll)) return nullptr;
    if (notification == dliNotePreLoadLibrary) return reinterpret_cast<FARPROC>(tryLoadClientLibrary());
    if (notification == dliFailLoadLib) {
      uint32_t errorCode = 0;
      if (void* module = tryLoadClientLibrary(&errorCode)) return reinterpret_cast<FARPROC>(module);
      logError(clientLibraryLoadFailureMessage(moduleRelativePath(kClientLibraryWideName), errorCode));
    }
  } catch (...) {
    // The module directory could not be determined: the mechanism's own handling applies.
  }
  return nullptr;
}

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = clientLibraryLoadHook;
PfnDliHook __pfnDliFailureHook2 = clientLibraryLoadHook;
}
