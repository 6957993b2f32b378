// Times the export of generated assemblies against `cp` of the same distinct
// files into an empty folder, measured in the same run on the same disk.
// Usage: model_export_bench [repetitions [part-bytes [occurrences...]]]
// (default 4 repetitions, 1 MiB parts, 1000 and 10000 occurrences)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "assembly_generator.h"
#include "core/session_temp_directory.h"
#include "creo_simulator.h"
#include "model/model_exporter.h"
#include "model/testing/bench_directory.h"

namespace fs = std::filesystem;

namespace {

// Wall time: copying is the disk's and the kernel's work as much as ours, and
// `cp` runs in a process of its own.
double milliseconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct Figures {
  int occurrences = 0;
  int files = 0;
  double megabytes = 0;
  size_t staged = 0;
  double cp = 0;
  double exported = 0;
};

Figures measure(int occurrences, std::uintmax_t partBytes, const fs::path& directory, int repetitions) {
  const fs::path models = directory / "models";
  creosim::GeneratedAssembly generated =
      creosim::generateAssembly({.componentOccurrences = occurrences, .partBytes = partBytes}, models);
  Figures figures{generated.componentOccurrences};

  // What cp copies: every file the generator wrote, model files and accelerators.
  const fs::path list = directory / "files.txt";
  {
    std::ofstream out(list);
    for (const fs::directory_entry& entry : fs::directory_iterator(models)) {
      out << entry.path().string() << '\n';
      ++figures.files;
      figures.megabytes += static_cast<double>(entry.file_size()) / 1048576.0;
    }
  }
  // Beside the session temporary directory the export writes to: a file system
  // creates files at a speed that depends on the folder's neighbourhood.
  const fs::path cpTarget = resolveBaseTempDirectory() / (directory.parent_path().filename().string() + "-cp");
  const std::string command = "xargs -d '\\n' -a '" + list.string() + "' cp -t '" + cpTarget.string() + "'";
  const std::function<void()> copyAll = [&] {
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed for %d\n", occurrences);
  };
  auto emptyTarget = [&] {
    fs::remove_all(cpTarget);
    fs::create_directories(cpTarget);
  };

  creosim::CreoSimulator simulator(creosim::SimulatorOptions{});
  simulator.models().load(generated.description);
  setCreoHost(&simulator);
  pfcModel_ptr root = simulator.models().currentModel();
  const std::function<void()> exportAll = [&] {
    ModelExporter exporter(pfcGetCurrentSessionWithCompatibility(pfcC4Compatible), "bench", {}, {});
    figures.staged = exporter.exportToTempDirectory(root, true).size();
    if (!exporter.userMessage().empty()) std::fprintf(stderr, "export failed: %s\n", exporter.detailMessage().c_str());
    exporter.finalizeExport();
  };

  // Taken in turns, best of each, so that both meet the same disk: what the
  // previous turn wrote is removed and written back first, and the one that
  // goes first alternates (a file system creates files more slowly right
  // after many were deleted).
  figures.cp = figures.exported = 1e300;
  for (int i = 0; i < repetitions; ++i) {
    emptyTarget();
    cleanupSessionTempDirectory();
    if (std::system("sync") != 0) std::fprintf(stderr, "sync failed\n");
    const double first = milliseconds(i % 2 ? exportAll : copyAll);
    const double second = milliseconds(i % 2 ? copyAll : exportAll);
    figures.cp = std::min(figures.cp, i % 2 ? second : first);
    figures.exported = std::min(figures.exported, i % 2 ? first : second);
  }
  fs::remove_all(cpTarget);
  cleanupSessionTempDirectory();
  setCreoHost(nullptr);
  fs::remove_all(models);
  return figures;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
  const std::uintmax_t partBytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1048576;
  const BenchDirectory base("export-bench");
  std::vector<Figures> runs;
  for (int occurrences : occurrenceCounts(argc, argv, 3))
    runs.push_back(measure(occurrences, partBytes, base.path() / std::to_string(occurrences), repetitions));

  std::printf("wall time, best of %d runs, parts of %ju bytes\n", repetitions, partBytes);
  std::printf("%-12s %8s %10s %8s %12s %12s %8s\n", "occurrences", "files", "MiB", "staged", "cp", "export", "ratio");
  for (const Figures& f : runs)
    std::printf("%-12d %8d %10.1f %8zu %9.1f ms %9.1f ms %7.2fx\n", f.occurrences, f.files, f.megabytes, f.staged, f.cp,
                f.exported, f.exported / f.cp);
  if (runs.size() == 2)
    std::printf("growth %d -> %d occurrences (%.1fx): cp %.2fx, export %.2fx\n", runs[0].occurrences,
                runs[1].occurrences, static_cast<double>(runs[1].occurrences) / runs[0].occurrences,
                runs[1].cp / runs[0].cp, runs[1].exported / runs[0].exported);
  return 0;
}
