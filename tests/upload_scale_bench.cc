// The whole journey for generated assemblies of growing size (1,000, 10,000
// and 100,000 component occurrences, with the generator's sub-assemblies and
// family-table instances): from the button to "Upload Complete!" through the
// simulator, the add-in, the client library and the local service. For each
// size: the time to open the upload dialog, the export, the transfer, the whole
// journey (the two one-second pauses left out), the peak memory of this (the
// Creo) process, and in the same run the floors: cp of the same files into the
// temporary folder and the client library's own upload of them, which the
// journey's transfer is also set against on its own. Then the growth from each
// size to the next, and a check that every file the upload sent is stored
// once, with the bytes of the user's file where it still exists.
//
// Usage: upload_scale_bench [--part-kib K] [--models DIR] [occurrences...]
// The staged files go into the temporary folder, the models into DIR (by
// default beside them): a DIR on another volume (/dev/shm) makes the export
// copy every file instead of linking it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "assembly_generator.h"
#include "crypto.h"
#include "upload/upload_operation_dialog.h"
#include "upload_journey.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

long peakResidentMib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6)) / 1024;
  return -1;
}

std::string sha256Of(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return tavixservice::sha256Hex(bytes.str());
}

struct Figures {
  int occurrences = 0;
  int distinctFiles = 0;
  double megabytes = 0;
  double dialog = 0;    // button to the upload dialog waiting for the user
  double export_ = 0;   // Upload pressed to the transfer's start (checks, metadata, export, payload)
  double transfer = 0;  // the client library's upload
  double journey = 0;   // button to "Upload Complete!"
  long peakMib = 0;
  double copyFloor = 0;
  double libraryFloor = 0;
  size_t stored = 0;
  size_t compared = 0;
};

Figures measure(int occurrences, std::uintmax_t partBytes, const fs::path& modelsFolder) {
  UploadJourney journey;
  Figures figures;
  const fs::path models =
      (modelsFolder.empty() ? journey.models() : modelsFolder) / ("assembly-" + std::to_string(occurrences));
  creosim::AssemblyGeneratorOptions options;
  options.componentOccurrences = occurrences;
  options.partBytes = partBytes;
  const creosim::GeneratedAssembly generated = creosim::generateAssembly(options, models);
  journey.creo().models().load(generated.description);
  figures.occurrences = generated.componentOccurrences;
  figures.distinctFiles = generated.distinctFiles;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(models)) {
    if (entry.path().filename() == "session.json") continue;
    files.push_back(entry.path());
    figures.megabytes += static_cast<double>(entry.file_size()) / 1048576.0;
  }

  // The floor, first: the same files copied by cp where the add-in stages, then sent by the library alone.
  const fs::path copies = fs::temp_directory_path() / ("scale-bench-copies-" + std::to_string(occurrences));
  fs::remove_all(copies);
  fs::create_directories(copies);
  const std::string command = "cp -R '" + models.string() + "/.' '" + copies.string() + "'";
  Clock::time_point start = Clock::now();
  if (std::system(command.c_str()) != 0) throw std::runtime_error("cp failed");
  figures.copyFloor = secondsBetween(start, Clock::now());
  std::vector<fs::path> copied;
  for (const fs::path& file : files) copied.push_back(copies / file.filename());
  // The service keeps equal content once and creates no file for content it
  // holds: the journey meets a service holding these files, so the floor is
  // timed on its second upload, which meets the same. The copies stay until the
  // journey has ended, as removing thousands of files makes creating the next
  // thousands slower on ext4 for a while.
  uploadWithTheLibraryAlone(copied);
  start = Clock::now();
  uploadWithTheLibraryAlone(copied);
  figures.libraryFloor = secondsBetween(start, Clock::now());

  // The journey, the pauses replaced by the moments they mark.
  Clock::time_point dialogShown, transferStart, transferEnd, complete;
  journey.setPauses(UploadPauses{[&] { transferStart = Clock::now(); }, [&] { transferEnd = Clock::now(); }});
  journey.user().check("StartFileUpload", [&](const creosim::DialogView&) { dialogShown = Clock::now(); });
  journey.chooseWorkspace("Bracket Team");
  journey.user().check("Upload", [&](const creosim::DialogView&) { complete = Clock::now(); });
  journey.user().press("Upload", "CloseButton");
  start = Clock::now();
  journey.pressTavixButton();
  if (journey.user().lastSeen("Upload").text("PrimaryStatusLabel") != "Upload Complete!")
    throw std::runtime_error("the upload did not complete:\n" + journey.user().transcript() + journey.logText());
  figures.dialog = secondsBetween(start, dialogShown);
  figures.export_ = secondsBetween(dialogShown, transferStart);
  figures.transfer = secondsBetween(transferStart, transferEnd);
  figures.journey = secondsBetween(start, complete);
  figures.peakMib = peakResidentMib();
  fs::remove_all(copies);

  // Every file once, with the user's bytes where the user's file is still there
  // (an accelerator Creo wrote for the upload has been taken back).
  std::map<std::string, std::string> stored;
  for (const nlohmann::json& file : journey.service().storedFiles()) {
    if (file["workspaceId"] != 1) continue;
    if (!stored.emplace(file["name"].get<std::string>(), file["sha256"].get<std::string>()).second)
      throw std::runtime_error("stored twice: " + file["name"].get<std::string>());
  }
  figures.stored = stored.size();
  for (const auto& [name, sha] : stored) {
    for (const fs::path& source : {models / (name + ".1"), models / name}) {
      if (!fs::is_regular_file(source)) continue;
      if (sha256Of(source) != sha) throw std::runtime_error("stored bytes differ: " + name);
      ++figures.compared;
      break;
    }
  }
  journey.stop();
  fs::remove_all(models);
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  std::uintmax_t partBytes = 8 * 1024;
  fs::path modelsFolder;
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--part-kib" && i + 1 < argc) partBytes = std::strtoull(argv[++i], nullptr, 10) * 1024;
    else if (argument == "--models" && i + 1 < argc) modelsFolder = fs::absolute(argv[++i]);
    else sizes.push_back(std::atoi(argument.c_str()));
  }
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  std::sort(sizes.begin(), sizes.end());

  std::vector<Figures> all;
  try {
    for (int size : sizes) all.push_back(measure(size, partBytes, modelsFolder));
  } catch (const std::exception& error) {
    std::cerr << "upload_scale_bench: " << error.what() << "\n";
    return 1;
  }
  std::printf("temporary folder: %s; models: %s; parts of %ju KiB; peak memory is the process's so far (sizes run "
              "smallest first)\n",
              fs::temp_directory_path().string().c_str(),
              modelsFolder.empty() ? "beside it" : modelsFolder.string().c_str(), partBytes / 1024);
  std::printf("%11s %7s %9s %8s %8s %9s %9s %8s %8s %9s %7s %9s %9s %9s %9s\n", "occurrences", "files", "MiB",
              "dialog s", "export s", "transfer", "journey s", "peak MiB", "cp s", "library s", "floor s", "export/cp",
              "xfer/lib", "journey/fl", "stored");
  for (const Figures& f : all) {
    const double floor = f.copyFloor + f.libraryFloor;
    std::printf("%11d %7d %9.1f %8.3f %8.3f %9.3f %9.3f %8ld %8.3f %9.3f %7.3f %9.2f %9.2f %9.2f %5zu/%zu\n",
                f.occurrences, f.distinctFiles, f.megabytes, f.dialog, f.export_, f.transfer, f.journey, f.peakMib,
                f.copyFloor, f.libraryFloor, floor, f.export_ / f.copyFloor, f.transfer / f.libraryFloor,
                f.journey / floor, f.compared, f.stored);
  }
  for (size_t i = 1; i < all.size(); ++i) {
    const Figures& a = all[i - 1];
    const Figures& b = all[i];
    std::printf("growth %d -> %d occurrences (%.1fx): dialog %.1fx, export %.1fx, transfer %.1fx, journey %.1fx\n",
                a.occurrences, b.occurrences, static_cast<double>(b.occurrences) / a.occurrences, b.dialog / a.dialog,
                b.export_ / a.export_, b.transfer / a.transfer, b.journey / a.journey);
  }
  return 0;
}
