// creo-sim-generate: writes a synthetic assembly and its session description.
// Usage: creo-sim-generate <directory> [component occurrences]
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "assembly_generator.h"

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <directory> [component occurrences]\n", argv[0]);
    return 2;
  }
  try {
    creosim::AssemblyGeneratorOptions options;
    if (argc > 2) options.componentOccurrences = std::atoi(argv[2]);
    std::filesystem::path directory = argv[1];
    creosim::GeneratedAssembly generated = creosim::generateAssembly(options, directory);
    creosim::writeSessionDescription(generated.description, directory / "session.json");
    std::printf("%d component occurrences over %d model files; session in %s\n", generated.componentOccurrences,
                generated.distinctFiles, (directory / "session.json").string().c_str());
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "creo-sim-generate: %s\n", error.what());
    return 1;
  }
}
