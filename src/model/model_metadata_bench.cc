// Times the metadata resolution and the unsaved-change scan of generated
// assemblies against a plain walk that reads the size of each distinct file once.
// Usage: model_metadata_bench [repetitions [occurrences...]] (default 5, 1000 and 10000)
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "assembly_generator.h"
#include "creo_simulator.h"
#include "model/model_metadata.h"
#include "model/testing/bench_directory.h"
#include "model/unsaved_change_scan.h"

namespace fs = std::filesystem;

namespace {

// Processor time, not wall time: on a machine shared with builds a run longer
// than a time slice would otherwise be charged for other processes' turns.
double bestMilliseconds(int repetitions, const std::function<void()>& work) {
  double best = 1e300;
  for (int i = 0; i < repetitions; ++i) {
    const std::clock_t start = std::clock();
    work();
    best = std::min(best, 1000.0 * static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
  }
  return best;
}

struct Figures {
  int occurrences = 0;
  int files = 0;
  double plainWalk = 0;
  double metadata = 0;
  double unsavedScan = 0;
};

Figures measure(int occurrences, const fs::path& directory, int repetitions) {
  creosim::GeneratedAssembly generated = creosim::generateAssembly({.componentOccurrences = occurrences}, directory);
  creosim::CreoSimulator simulator(creosim::SimulatorOptions{});
  simulator.models().load(generated.description);
  setCreoHost(&simulator);

  std::vector<fs::path> files;
  for (const creosim::SimModelDefinition& model : generated.description.models)
    if (!model.file.empty()) files.push_back(model.file);
  pfcModel_ptr root = simulator.models().currentModel();

  Figures figures{generated.componentOccurrences, static_cast<int>(files.size())};
  std::uintmax_t total = 0;
  figures.plainWalk = bestMilliseconds(repetitions, [&] {
    for (const fs::path& file : files) total += fs::file_size(file);
  });
  double megabytes = 0;
  figures.metadata = bestMilliseconds(repetitions, [&] { megabytes = ModelMetadataResolver().getModelMetadata(root).fileSizeMb; });
  bool unsaved = true;
  figures.unsavedScan = bestMilliseconds(repetitions, [&] { unsaved = hasUnsavedChangesInSession(); });
  setCreoHost(nullptr);
  if (unsaved || megabytes <= 0 || total == 0) std::fprintf(stderr, "unexpected result for %d\n", occurrences);
  return figures;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const BenchDirectory base("model-bench");
  std::vector<Figures> runs;
  for (int occurrences : occurrenceCounts(argc, argv, 2))
    runs.push_back(measure(occurrences, base.path() / std::to_string(occurrences), repetitions));

  std::printf("processor time, best of %d runs\n", repetitions);
  std::printf("%-12s %8s %12s %14s %8s %14s %8s\n", "occurrences", "files", "plain walk", "metadata", "ratio",
              "unsaved scan", "ratio");
  for (const Figures& f : runs)
    std::printf("%-12d %8d %10.3f ms %11.3f ms %7.2fx %11.3f ms %7.2fx\n", f.occurrences, f.files, f.plainWalk,
                f.metadata, f.metadata / f.plainWalk, f.unsavedScan, f.unsavedScan / f.plainWalk);
  if (runs.size() == 2)
    std::printf("growth %d -> %d: plain walk %.2fx, metadata %.2fx, unsaved scan %.2fx\n",
              runs[0].occurrences, runs[1].occurrences, runs[1].plainWalk / runs[0].plainWalk, runs[1].metadata / runs[0].metadata,
              runs[1].unsavedScan / runs[0].unsavedScan);
  return 0;
}
