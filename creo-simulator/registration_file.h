// The registration file (protk.dat, creotk.dat) with which Creo finds an add-in:
// one "keyword value" line each, ended by "end". The simulator hosts Object
// TOOLKIT C++ applications started as a DLL: "name", "startup dll",
// "toolkit object", "exec_file" and "text_dir" are required, the two paths as
// full paths; "fail_tol" says whether Creo carries on when the application
// fails to start.
#pragma once

#include <filesystem>
#include <string>

namespace creosim {

struct Registration {
  std::string name;
  std::filesystem::path library;        // exec_file
  std::filesystem::path textDirectory;  // text_dir
  bool failTolerant = false;            // fail_tol TRUE
};

// Throws std::runtime_error naming the file, the line and what is wrong.
Registration readRegistrationFile(const std::filesystem::path& file);

}  // namespace creosim
