#include "assembly_generator.h"

#include <algorithm>

#include "sim_model_file.h"

namespace fs = std::filesystem;

namespace creosim {
namespace {

std::string uniqueIdFor(int serial) {
  return std::to_string(1000 + serial) + " " + std::to_string(20000 + serial * 7) + " " +
         std::to_string(60000 + serial * 13);
}

}  // namespace

GeneratedAssembly generateAssembly(const AssemblyGeneratorOptions& options, const fs::path& where) {
  const fs::path directory = fs::absolute(where);
  fs::create_directories(directory);
  GeneratedAssembly result;
  SessionDescription& session = result.description;

  const int distinct = std::max(4, options.componentOccurrences / std::max(1, options.occurrencesPerFile));
  const int subAssemblies = std::max(1, distinct / 25);
  const int generics = std::max(1, distinct / 50);
  const int parts = std::max(1, distinct - 1 - subAssemblies - generics);
  int serial = 0;

  auto addFile = [&](SimModelDefinition model, std::uintmax_t bytes) {
    model.file = directory / (model.name + ".1");
    model.versionStamp = "vs-" + std::to_string(serial);
    writeModelFile(model.file, uniqueIdFor(serial), bytes, static_cast<std::uint64_t>(serial) + 1);
    ++serial;
    ++result.distinctFiles;
    session.models.push_back(std::move(model));
  };

  // The pool components are drawn from: plain parts and family-table instances.
  std::vector<std::string> pool;
  for (int i = 0; i < parts; ++i) {
    SimModelDefinition part;
    part.name = "part_" + std::to_string(i) + ".prt";
    pool.push_back(part.name);
    addFile(std::move(part), options.partBytes + static_cast<std::uintmax_t>(i % 17) * 512);
  }
  for (int g = 0; g < generics; ++g) {
    SimModelDefinition generic;
    generic.name = "gen_" + std::to_string(g) + ".prt";
    std::string stem = "GEN_" + std::to_string(g);
    generic.familyRows = {stem + "_A", stem + "_B"};
    for (const char* row : {"_a", "_b"}) {
      SimModelDefinition instance;
      instance.name = "gen_" + std::to_string(g) + row + ".prt";
      instance.generic = generic.name;
      pool.push_back(instance.name);
      session.models.push_back(std::move(instance));
    }
    // Creo saved the first instance's accelerator beside the generic; the second has none yet.
    writeModelFile(directory / (generic.familyRows.front() + ".xpr"), "", 1024, static_cast<std::uint64_t>(g) + 1);
    addFile(std::move(generic), options.partBytes);
  }

  SimModelDefinition root;
  root.name = "root.asm";
  const int rootFeatures = 2 * subAssemblies;
  const int perSubAssembly = std::max(1, (options.componentOccurrences - rootFeatures) / subAssemblies);
  size_t next = 0;
  for (int s = 0; s < subAssemblies; ++s) {
    SimModelDefinition sub;
    sub.name = "sub_" + std::to_string(s) + ".asm";
    for (int j = 0; j < perSubAssembly; ++j, ++result.componentOccurrences) {
      SimComponentDefinition component;
      component.model = pool[next++ % pool.size()];
      if (j % 40 == 39) component.status = pfcFEAT_SUPPRESSED;
      if (j % 97 == 96) component.status = pfcFEAT_FAMILY_TABLE_SUPPRESSED;
      sub.components.push_back(std::move(component));
    }
    root.components.push_back({sub.name});
    root.components.push_back({sub.name});
    result.componentOccurrences += 2;
    addFile(std::move(sub), 16 * 1024);
  }
  addFile(std::move(root), 32 * 1024);
  session.currentModel = "root.asm";
  return result;
}

}  // namespace creosim
