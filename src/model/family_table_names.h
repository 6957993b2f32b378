// Names of the staged files of family-table instances.
#pragma once

#include <filesystem>
#include <string>

#include <pfcModel.h>

// The stem of `fileName`, "_", the decimal FNV-1a hash of the generic's origin,
// then the extension: instances of one name from different generics stay apart.
std::string makeStagedFileName(const std::string& fileName, const std::string& genericOrigin);
// ".xpr" becomes ".prt" and ".xas" becomes ".asm" (any letter case); other paths are unchanged.
std::filesystem::path toNativeExtension(const std::filesystem::path& path);
// ".xpr" for a part, ".xas" for an assembly.
std::string acceleratorExtension(pfcModelType type);
// ".prt" for a part, ".asm" for an assembly.
std::string nativeExtension(pfcModelType type);
