// The file the add-in's own code was loaded from (tavix-creo.dll / libtavix-creo.so).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

// Throws std::runtime_error when the system cannot name the module.
std::filesystem::path moduleFileName();

// Reads a module name into a buffer of 260 characters, doubling it (capped at
// 32768) while the name fills it. `read` has GetModuleFileNameW's contract: it
// returns the number of characters copied, 0 on failure, and a truncated name
// fills the whole buffer.
using ModuleNameReader = std::function<uint32_t(wchar_t* buffer, uint32_t size)>;
std::wstring readModuleNameGrowingBuffer(const ModuleNameReader& read);
