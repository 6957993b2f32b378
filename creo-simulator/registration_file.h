// The registration file (protk.dat) with which Creo finds an add-in: lines of
// "keyword value", ended by "end". Relative paths are taken from the file's folder.
#pragma once

#include <filesystem>
#include <string>

namespace creosim {

struct Registration {
  std::string name;
  std::filesystem::path library;        // exec_file
  std::filesystem::path textDirectory;  // text_dir
};

// Throws std::runtime_error naming what is missing.
Registration readRegistrationFile(const std::filesystem::path& file);

}  // namespace creosim
