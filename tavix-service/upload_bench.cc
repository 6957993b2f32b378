// Uploads files of several sizes to a running service and prints the receiving
// throughput and the service's peak memory, which must not follow the file size.
// Usage: tavix-service-upload-bench [total MiB per size, default 256]
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "local_service.h"

namespace {

long peakResidentKiB(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t totalMiB = argc > 1 ? std::stoul(argv[1]) : 256;
  tavixtest::LocalTavixService service;
  httplib::Client client("127.0.0.1", service.port());
  client.set_bearer_token_auth(service.issueTokens()["access_token"].get<std::string>().c_str());
  client.set_read_timeout(600);
  client.set_write_timeout(600);

  std::string chunk(1 << 20, '\0');
  for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 2654435761u >> 13);

  std::printf("%-10s %6s %10s %10s %14s\n", "file size", "files", "MiB", "MiB/s", "service peak");
  for (size_t fileMiB : {1, 16, 256}) {
    size_t count = std::max<size_t>(1, totalMiB / fileMiB);
    size_t fileSize = fileMiB << 20;
    nlohmann::json announcement = {{"targetDirectories", {{"1", 101}}}, {"files", nlohmann::json::array()}};
    for (size_t i = 0; i < count; ++i)
      announcement["files"].push_back({{"name", "bench-" + std::to_string(fileMiB) + "-" + std::to_string(i)},
                                       {"size", fileSize}});
    auto created = client.Post("/api/v1/uploads", announcement.dump(), "application/json");
    std::string base = "/api/v1/uploads/" + nlohmann::json::parse(created->body)["uploadId"].get<std::string>();

    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < count; ++i) {
      auto stored = client.Put((base + "/files/" + std::to_string(i)).c_str(), fileSize,
                               [&](size_t offset, size_t length, httplib::DataSink& sink) {
                                 size_t at = offset % chunk.size();
                                 sink.write(chunk.data() + at, std::min(length, chunk.size() - at));
                                 return true;
                               },
                               "application/octet-stream");
      if (!stored || stored->status != 200) {
        std::fprintf(stderr, "upload failed: %s\n", stored ? stored->body.c_str() : "no answer");
        return 1;
      }
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    client.Post((base + "/complete").c_str(), "", "application/json");
    std::printf("%7zu MiB %6zu %10zu %10.1f %10ld KiB\n", fileMiB, count, count * fileMiB,
                static_cast<double>(count * fileMiB) / seconds, peakResidentKiB(service.pid()));
  }
}
