// Times the export of generated assemblies against `cp` of the same distinct
// files into an empty folder, measured in the same run on the same disk.
// Usage: model_export_bench [repetitions [part-bytes [occurrences...]]]
// (default 4 repetitions, 1 MiB parts, 1000 and 10000 occurrences)
#include <sys/resource.h>

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

// Wall time, and processor time (user and system, of this process and of the
// programs it ran: `cp` runs in processes of its own), which other programs
// on a loaded machine disturb less.
struct Turn {
  double wall = 0;
  double processor = 0;
};

double processorMilliseconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage{};
    getrusage(who, &usage);
    for (const timeval& t : {usage.ru_utime, usage.ru_stime}) total += t.tv_sec * 1e3 + t.tv_usec / 1e3;
  }
  return total;
}

Turn measureTurn(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  const double processorStart = processorMilliseconds();
  work();
  return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
          processorMilliseconds() - processorStart};
}

void syncDisk() {
  if (std::system("sync") != 0) std::fprintf(stderr, "sync failed\n");
}

// Frees a folder's data but keeps its files, so that no inode is freed.
void emptyFiles(const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) fs::resize_file(entry.path(), 0);
}

struct Figures {
  int occurrences = 0;
  int files = 0;
  double megabytes = 0;
  size_t staged = 0;
  Turn cp{1e300, 1e300};
  Turn exported{1e300, 1e300};
};

void keepBest(Turn& best, const Turn& turn) {
  best.wall = std::min(best.wall, turn.wall);
  best.processor = std::min(best.processor, turn.processor);
}

// `written` gathers the folders a measurement leaves, to be removed after all of them.
Figures measure(int occurrences, std::uintmax_t partBytes, const fs::path& directory, int repetitions,
                std::vector<fs::path>& written) {
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
  // Each turn writes into folders of its own beside the session temporary
  // directory, and what a turn wrote is emptied but kept until the end: ext4
  // without a journal passes over every inode freed in the last minute each
  // time it creates a file, so a turn that removed the previous turn's files
  // would slow the next writer by as many files as it removed.
  const fs::path base = resolveBaseTempDirectory();
  const std::string prefix = directory.parent_path().filename().string() + "-" + std::to_string(occurrences);
  fs::path cpTarget;
  const std::function<void()> copyAll = [&] {
    const std::string command = "xargs -d '\\n' -a '" + list.string() + "' cp -t '" + cpTarget.string() + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "cp failed for %d\n", occurrences);
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

  // Taken in turns, best of each; the one that goes first alternates. Before
  // each turn the disk is synced, so that no turn waits for another's
  // writeback, and then what the previous turn wrote is emptied: in a virtual
  // machine that hands free memory back to its host, memory freed a moment
  // ago is much faster to fill than memory that has been free for a while,
  // and each turn starts with as much of it as the turn before left.
  fs::path previous;
  for (int i = 0; i < repetitions; ++i) {
    const bool cpFirst = i % 2 == 0;
    for (bool cpTurn : {cpFirst, !cpFirst}) {
      syncDisk();
      if (!previous.empty()) emptyFiles(previous);
      const fs::path target = base / (prefix + (cpTurn ? "-cp-" : "-export-") + std::to_string(i));
      if (cpTurn) {
        cpTarget = target;
        fs::create_directories(cpTarget);
      }
      const Turn turn = measureTurn(cpTurn ? copyAll : exportAll);
      std::fprintf(stderr, "%d occurrences, run %d: %s %.0f ms\n", occurrences, i + 1, cpTurn ? "cp" : "export",
                   turn.wall);
      keepBest(cpTurn ? figures.cp : figures.exported, turn);
      if (!cpTurn) {
        fs::rename(getSessionTempDirectory("bench"), target);
        cleanupSessionTempDirectory();
      }
      written.push_back(previous = target);
    }
  }
  emptyFiles(previous);
  setCreoHost(nullptr);
  return figures;
}

}  // namespace

int main(int argc, char* argv[]) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
  const std::uintmax_t partBytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1048576;
  const BenchDirectory base("export-bench");
  std::vector<Figures> runs;
  std::vector<fs::path> written;
  for (int occurrences : occurrenceCounts(argc, argv, 3))
    runs.push_back(measure(occurrences, partBytes, base.path() / std::to_string(occurrences), repetitions, written));
  for (const fs::path& folder : written) fs::remove_all(folder);

  std::printf("best of %d runs, parts of %ju bytes; cp and export take turns, each after sync, into new folders\n"
              "beside the session temporary directory; each turn empties what the one before wrote, and no\n"
              "file is removed until all runs are done\n",
              repetitions, partBytes);
  std::printf("%-12s %6s %8s %6s | %-29s | %-29s\n", "", "", "", "", "wall time", "processor time");
  std::printf("%-12s %6s %8s %6s | %9s %9s %9s | %9s %9s %9s\n", "occurrences", "files", "MiB", "staged", "cp",
              "export", "ratio", "cp", "export", "ratio");
  for (const Figures& f : runs)
    std::printf("%-12d %6d %8.1f %6zu | %6.0f ms %6.0f ms %8.2fx | %6.0f ms %6.0f ms %8.2fx\n", f.occurrences, f.files,
                f.megabytes, f.staged, f.cp.wall, f.exported.wall, f.exported.wall / f.cp.wall, f.cp.processor,
                f.exported.processor, f.exported.processor / f.cp.processor);
  if (runs.size() == 2)
    std::printf("growth %d -> %d occurrences (%.1fx): wall cp %.2fx, export %.2fx; processor cp %.2fx, export %.2fx\n",
                runs[0].occurrences, runs[1].occurrences,
                static_cast<double>(runs[1].occurrences) / runs[0].occurrences, runs[1].cp.wall / runs[0].cp.wall,
                runs[1].exported.wall / runs[0].exported.wall, runs[1].cp.processor / runs[0].cp.processor,
                runs[1].exported.processor / runs[0].exported.processor);
  return 0;
}
