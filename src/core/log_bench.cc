// Cost of one log line (format, open, append, close) against appending the same
// bytes with a bare open/write/close.
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/log.h"

namespace {

constexpr int kLines = 20000;
const std::string kMessage = "UploadOperation: exported file=bracket_assembly.asm.3, size=482113, revision=7";

template <typename Write>
double microsecondsPerLine(Write write) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kLines; ++i) write();
  const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
  return elapsed.count() / kLines;
}

}  // namespace

int main() {
  const auto previous = std::filesystem::current_path();
  const auto directory = std::filesystem::temp_directory_path() / "tavixtest-log-bench";
  std::filesystem::remove_all(directory);
  std::filesystem::create_directory(directory);
  std::filesystem::current_path(directory);

  const double logLine = microsecondsPerLine([] { logInfo(kMessage); });
  // The same bytes a log line holds: timestamp, level, tag, message, line end.
  const std::string bytes = "[2026-12-06 07:50:47 +0000] [INFO] [Tavix] " + kMessage + "\r\n";
  const double rawAppend = microsecondsPerLine([&bytes] {
    const int file = open("raw.log", O_WRONLY | O_APPEND | O_CREAT, 0644);
    [[maybe_unused]] const auto written = write(file, bytes.data(), bytes.size());
    close(file);
  });
  const double suppressed = microsecondsPerLine([] { logDebug(kMessage); });

  std::printf("lines per run:            %d (%zu bytes each)\n", kLines, bytes.size());
  std::printf("log line (logInfo):       %8.3f us/line\n", logLine);
  std::printf("raw open/write/close:     %8.3f us/line\n", rawAppend);
  std::printf("ratio log/raw:            %8.2f\n", logLine / rawAppend);
  std::printf("suppressed line (DEBUG):  %8.3f us/line\n", suppressed);

  std::filesystem::current_path(previous);
  std::filesystem::remove_all(directory);
  return 0;
}
