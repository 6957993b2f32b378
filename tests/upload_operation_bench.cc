// The whole upload operation for a large assembly (1,000 occurrences of 200
// distinct 1 MiB parts): export into the temporary directory and transfer to
// the local service, against a floor measured in the same run: cp of the same
// files plus the client library's upload of them. Also the UI thread's
// processor time while the transfer runs, which the polling must keep small.
// Usage: upload_operation_bench [distinct parts] [occurrences]
#include <pthread.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "cloud/client_provider.h"
#include "signin/auth_browser_opener.h"
#include "ui/ui_facade.h"
#include "upload/upload_operation_dialog.h"
#include "upload_journey.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double threadCpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  const int distinct = argc > 1 ? std::atoi(argv[1]) : 200;
  const int occurrences = argc > 2 ? std::atoi(argv[2]) : 1000;
  constexpr std::uintmax_t kMiB = 1024 * 1024;

  UploadJourney journey;
  std::vector<std::string> components;
  std::vector<fs::path> partFiles;
  for (int i = 0; i < distinct; ++i) {
    const std::string name = "part_" + std::to_string(i) + ".prt";
    partFiles.push_back(journey.writeModel(name + ".1", kMiB));
    creosim::SimModelDefinition part;
    part.name = name;
    part.file = partFiles.back();
    journey.creo().models().addModel(part);
  }
  for (int i = 0; i < occurrences; ++i) components.push_back("part_" + std::to_string(i % distinct) + ".prt");
  creosim::SimModelDefinition top;
  top.name = "top.asm";
  top.file = journey.writeModel("top.asm.1", 64 * 1024);
  for (const std::string& component : components) top.components.push_back({component});
  journey.addCurrentModel(top);

  // The floor: the same bytes copied by cp, then sent by the client library alone.
  const fs::path copies = journey.models() / "copies";
  fs::create_directories(copies);
  std::string command = "cp";
  for (const fs::path& file : partFiles) command += " '" + file.string() + "'";
  command += " '" + copies.string() + "'";
  Clock::time_point start = Clock::now();
  if (std::system(command.c_str()) != 0) return 1;
  const double copySeconds = secondsSince(start);

  NorvaneUploadPayload payload;
  payload.targetDirectories[2] = 102;  // the root directory of "Gearbox"
  payload.sourceRevisionVersion = "1";
  for (const fs::path& file : partFiles) {
    norvane::NorvaneUploadFile entry;
    entry.name = file.filename().string();
    entry.path = (copies / file.filename()).string();
    entry.revisionKey = "bench";
    payload.files.push_back(entry);
  }
  start = Clock::now();
  const NorvaneUploadResult direct =
      getNorvaneClient()->upload(getSessionManager().getAccessToken(), payload, false);
  const double libraryUploadSeconds = secondsSince(start);
  if (!direct.errors.empty()) return 1;

  // The operation, with the UI thread's processor time sampled from the upload
  // thread at the start and the end of the transfer.
  clockid_t uiClock;
  pthread_getcpuclockid(pthread_self(), &uiClock);
  Clock::time_point transferStart;
  double uiCpuAtStart = 0;
  double transferWall = 0;
  double uiCpuDuringTransfer = 0;
  setUploadPausesForTesting(UploadPauses{[&] {
                                           transferStart = Clock::now();
                                           uiCpuAtStart = threadCpuSeconds(uiClock);
                                         },
                                         [&] {
                                           transferWall = secondsSince(transferStart);
                                           uiCpuDuringTransfer = threadCpuSeconds(uiClock) - uiCpuAtStart;
                                         }});
  journey.user().press("Upload", "CloseButton");
  CreoAuthBrowserOpener browser;
  start = Clock::now();
  const int code = UploadOperationDialog(uiFacade(), getSessionManager(), browser, uploadPauses())
                       .showDialog(NorvaneWorkspace{1, "Bracket Team", "bracket-team"});
  const double operationSeconds = secondsSince(start);
  const size_t stored = journey.service().storedFiles().size();
  if (code != kUploadEnded || stored != static_cast<size_t>(2 * distinct + 1)) {
    std::cerr << "the upload did not complete: code " << code << ", " << stored << " files stored\n"
              << journey.logText();
    return 1;
  }

  const double floorSeconds = copySeconds + libraryUploadSeconds;
  std::printf("assembly: %d occurrences of %d distinct files of 1 MiB\n", occurrences, distinct);
  std::printf("floor: cp %.3f s + library upload %.3f s = %.3f s\n", copySeconds, libraryUploadSeconds,
              floorSeconds);
  std::printf("upload operation (export and transfer, without the two pauses): %.3f s\n", operationSeconds);
  std::printf("ratio: %.2fx (target <= 1.2x)\n", operationSeconds / floorSeconds);
  std::printf("UI thread while the transfer ran: %.3f s processor time over %.3f s (%.1f%%)\n", uiCpuDuringTransfer,
              transferWall, transferWall > 0 ? 100 * uiCpuDuringTransfer / transferWall : 0.0);
  return 0;
}
