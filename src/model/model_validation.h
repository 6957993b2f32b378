// Whether the current model may be uploaded at all. Each verdict is empty when
// the model is accepted, else the message shown to the user.
#pragma once

#include <filesystem>
#include <string>

// Only PRT, ASM and DRW files (a version suffix is ignored), and no active
// simplified representation.
std::string validateFileType(const std::string& modelFileName, bool hasSimplifiedRep);
// The saved file of a model outside Windchill must still be reachable.
std::string validateSavedFile(const std::filesystem::path& originPath);
