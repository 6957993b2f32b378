// Which file a module loaded in this process came from: for support, "which
// norvane is the add-in using?".
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace creosim {

// The full path of the loaded module named `name` (e.g. "norvane.dll"), or nothing.
std::optional<std::filesystem::path> loadedModulePath(const std::string& name);

}  // namespace creosim
