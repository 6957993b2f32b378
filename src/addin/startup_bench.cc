// Start-up time with 1,000 directories left by earlier sessions under the base
// temporary directory, against an empty base and against the floor measured in
// the same run: rm -rf of the same 1,000 directories.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/testing/test_environment.h"
#include "creo_simulator.h"
#include "host/creo_host.h"

namespace fs = std::filesystem;

namespace {

constexpr int kStaleDirectories = 1000;
constexpr int kRounds = 7;

void leaveStaleDirectories(const fs::path& base) {
  char name[32];
  for (int i = 0; i < kStaleDirectories; ++i) {
    std::snprintf(name, sizeof name, "tavix-%016x", i + 1);
    fs::create_directory(base / name);
    fs::permissions(base / name, fs::perms::owner_all);  // as the add-in makes them
    std::ofstream(base / name / "model.prt.1") << "staged model";
  }
}

// Milliseconds of one user_initialize in a fresh simulated Creo.
double timeStartUp(const fs::path& textDirectory) {
  creosim::SimulatorOptions options;
  options.textDirectory = textDirectory;
  creosim::CreoSimulator simulator(options);
  setCreoHost(&simulator);
  const auto start = std::chrono::steady_clock::now();
  const int result = user_initialize(0, nullptr, nullptr, nullptr, nullptr);
  const auto end = std::chrono::steady_clock::now();
  simulator.ribbon().releaseCommands();
  setCreoHost(nullptr);
  if (result != 0) std::fprintf(stderr, "start-up failed; see tavix-integration.log\n");
  return std::chrono::duration<double, std::milli>(end - start).count();
}

// Milliseconds of rm -rf over the same directories, moved into a folder of their own.
double timeRemovalFloor(const fs::path& base, const fs::path& folder) {
  leaveStaleDirectories(base);
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(base)) fs::rename(entry.path(), folder / entry.path().filename());
  const std::string command = "rm -rf '" + folder.string() + "'";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "rm -rf failed\n");
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  std::random_device random;
  const fs::path root = fs::temp_directory_path() / ("tvx-startup-bench-" + std::to_string(random()));
  const fs::path base = root / "base";
  fs::create_directories(base);
  fs::create_directories(root / "work");
  fs::current_path(root / "work");
  for (const char* name : {"TMPDIR", "TMP", "TEMP"}) setEnvironmentVariable(name, base.string().c_str());
  const fs::path textDirectory = fs::path(TAVIX_SOURCE_DIR) / "text";

  std::vector<double> stale, empty, floor;
  for (int round = 0; round < kRounds; ++round) {
    leaveStaleDirectories(base);
    stale.push_back(timeStartUp(textDirectory));
    empty.push_back(timeStartUp(textDirectory));
    floor.push_back(timeRemovalFloor(base, root / "floor"));
  }
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(root);

  std::printf("start-up, empty base:                 %8.2f ms (median of %d)\n", median(empty), kRounds);
  std::printf("start-up, %d stale directories:     %8.2f ms (median of %d)\n", kStaleDirectories, median(stale),
              kRounds);
  std::printf("floor, rm -rf of the same directories: %8.2f ms (median of %d)\n", median(floor), kRounds);
  std::printf("per stale directory:                  %8.1f us\n",
              (median(stale) - median(empty)) * 1000.0 / kStaleDirectories);
  return 0;
}
