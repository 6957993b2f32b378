// Loading the cloud client library from the add-in's own directory, by full
// path, before any of its functions is used. On Windows the add-in imports it
// with delayed loading and clientLibraryLoadHook hands the delayed-load
// mechanism the module loaded here.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// "norvane.dll" (libnorvane.so on Linux), packaged beside the add-in.
extern const char* const kClientLibraryFileName;

// The library's module handle, or null. `errorCode` (when given) receives 0 on
// success, otherwise the system's error for the load.
void* tryLoadClientLibrary(uint32_t* errorCode = nullptr);
// Returns when the library is loaded; otherwise logs the failure and throws
// std::runtime_error with the same text.
void ensureClientLibraryLoaded();

// "Failed to load norvane.dll from "<path>": <system text> (Win32 error N)."
std::string clientLibraryLoadFailureMessage(const std::filesystem::path& path, uint32_t errorCode);
