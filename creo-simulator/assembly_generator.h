// Writes large synthetic assemblies to disk: a root assembly over shared
// sub-assemblies, parts, family-table generics with instances (half of them with
// their accelerator file) and suppressed components, with the session
// description that loads them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "session_description.h"

namespace creosim {

struct AssemblyGeneratorOptions {
  // Component features over all distinct assemblies (each sub-assembly is used twice by the root).
  int componentOccurrences = 1000;
  // About one distinct model file per this many occurrences.
  int occurrencesPerFile = 5;
  std::uintmax_t partBytes = 8 * 1024;
};

struct GeneratedAssembly {
  SessionDescription description;  // the root assembly is current
  int componentOccurrences = 0;
  int distinctFiles = 0;
};

GeneratedAssembly generateAssembly(const AssemblyGeneratorOptions& options, const std::filesystem::path& directory);

}  // namespace creosim
