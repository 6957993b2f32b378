// Uploads 1 GiB in files of several sizes to the local service, once through
// the library and once with curl to the same endpoint, and prints both
// throughputs, their ratio and the peak memory of each uploading process.
// Usage: norvane_upload_bench [total MiB, default 1024]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include <httplib.h>

#include "local_service.h"
#include "norvane/norvane.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint64_t kMiB = 1024 * 1024;

struct SizeClass {
  uint64_t fileSize;
  double share;  // of the total
};

// Half the bytes in one large file, the rest spread over ever smaller ones.
const SizeClass kClasses[] = {{512 * kMiB, 0.5}, {64 * kMiB, 0.25}, {4 * kMiB, 0.125}, {256 * 1024, 0.0625},
                              {64 * 1024, 0.0625}};

long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// Written a megabyte at a time so making the files does not raise the peak.
void writeFile(const std::filesystem::path& path, uint64_t size, std::mt19937_64& random) {
  std::ofstream out(path, std::ios::binary);
  std::vector<uint64_t> chunk(kMiB / sizeof(uint64_t));
  for (uint64_t written = 0; written < size;) {
    for (auto& word : chunk) word = random();
    const uint64_t now = std::min<uint64_t>(size - written, kMiB);
    out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(now));
    written += now;
  }
}

struct Batch {
  std::vector<std::filesystem::path> files;
  uint64_t fileSize = 0;
  uint64_t bytes() const { return files.size() * fileSize; }
};

std::string createUpload(httplib::Client& http, const std::string& token, int64_t workspace, int64_t directory,
                         const Batch& batch, const std::string& prefix) {
  nlohmann::json request = {{"targetDirectories", {{std::to_string(workspace), directory}}},
                            {"sourceRevisionId", prefix}, {"revisionId", prefix}, {"sourceRevisionVersion", "1"},
                            {"lastModified", "2026-12-06T00:00:00Z"}, {"files", nlohmann::json::array()}};
  for (const auto& file : batch.files) {
    request["files"].push_back({{"name", prefix + file.filename().string()}, {"revisionKey", prefix + file.filename().string()},
                                {"version", "1"}, {"size", batch.fileSize}, {"properties", nlohmann::json::object()}});
  }
  const auto created = http.Post("/api/v1/uploads", {{"Authorization", "Bearer " + token}}, request.dump(),
                                 "application/json");
  if (!created || created->status != 201) throw std::runtime_error("cannot create an upload for curl");
  return nlohmann::json::parse(created->body).at("uploadId").get<std::string>();
}

// One curl process for the whole batch (it reuses its connection), as a user would script it.
double curlSeconds(const std::string& baseUrl, const std::string& token, const std::string& uploadId,
                   const Batch& batch, const std::filesystem::path& folder, long& peakKiB) {
  const auto config = folder / "curl.config";
  {
    std::ofstream out(config);
    out << "silent\nshow-error\nfail\nheader = \"Authorization: Bearer " << token
        << "\"\nheader = \"Expect:\"\n";
    for (size_t i = 0; i < batch.files.size(); ++i) {
      out << "upload-file = \"" << batch.files[i].string() << "\"\nurl = \"" << baseUrl << "api/v1/uploads/"
          << uploadId << "/files/" << i << "\"\noutput = \"/dev/null\"\n";
    }
  }
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execlp("curl", "curl", "-K", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error("curl failed");
  peakKiB = usage.ru_maxrss;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) try {
  const uint64_t totalMiB = argc > 1 ? std::stoull(argv[1]) : 1024;
  const auto folder = std::filesystem::temp_directory_path() / ("norvane-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::mt19937_64 random(42);
  std::vector<Batch> batches;
  for (const auto& sizeClass : kClasses) {
    Batch batch;
    batch.fileSize = std::min<uint64_t>(sizeClass.fileSize, totalMiB * kMiB);
    const uint64_t count = std::max<uint64_t>(1, static_cast<uint64_t>(totalMiB * kMiB * sizeClass.share) / batch.fileSize);
    for (uint64_t i = 0; i < count; ++i) {
      batch.files.push_back(folder / ("file-" + std::to_string(batch.fileSize) + "-" + std::to_string(i) + ".bin"));
      writeFile(batch.files.back(), batch.fileSize, random);
    }
    batches.push_back(std::move(batch));
  }

  tavixtest::LocalTavixService service;
  const std::string token = service.issueTokens().at("access_token").get<std::string>();
  norvane::NorvaneClient client(std::make_shared<norvane::DynamicNorvaneBridge>(""), nullptr);
  norvane::NorvaneInitializeOptions options;
  options.environmentConfig = {{"LoginURL", service.baseUrl()}, {"ServerURL", service.baseUrl()},
                               {"ClientID", tavixtest::kLocalClientId}, {"Audience", "bench"}};
  client.initialize(options);
  const auto workspace = client.listWorkspaces(token, "").at(0);
  const auto root = client.getRootDirectory(token, workspace.id);
  httplib::Client http("127.0.0.1", service.port());

  const long peakBefore = peakResidentKiB();
  std::printf("%-12s %7s %10s %14s %14s %7s\n", "file size", "files", "MiB", "library MiB/s", "curl MiB/s", "ratio");
  double libraryTotal = 0, curlTotal = 0;
  uint64_t bytesTotal = 0;
  long curlPeak = 0;
  for (const auto& batch : batches) {
    norvane::NorvaneUploadPayload payload;
    payload.targetDirectories[workspace.id] = root.id;
    payload.sourceRevisionId = payload.revisionId = "lib";
    for (const auto& file : batch.files) {
      payload.files.push_back({"lib-" + file.filename().string(), file.string(), "lib-" + file.filename().string(), "1", {}});
    }
    auto start = Clock::now();
    client.upload(token, payload, false);
    const double librarySeconds = std::chrono::duration<double>(Clock::now() - start).count();

    start = Clock::now();
    const std::string uploadId = createUpload(http, token, workspace.id, root.id, batch, "curl-");
    long peak = 0;
    curlSeconds(service.baseUrl(), token, uploadId, batch, folder, peak);
    http.Post("/api/v1/uploads/" + uploadId + "/complete", {{"Authorization", "Bearer " + token}}, "{}",
              "application/json");
    const double curlSecondsTotal = std::chrono::duration<double>(Clock::now() - start).count();
    curlPeak = std::max(curlPeak, peak);

    const double mib = static_cast<double>(batch.bytes()) / kMiB;
    std::printf("%-12s %7zu %10.1f %14.1f %14.1f %7.2f\n",
                (std::to_string(batch.fileSize / 1024) + " KiB").c_str(), batch.files.size(), mib,
                mib / librarySeconds, mib / curlSecondsTotal, curlSecondsTotal / librarySeconds);
    libraryTotal += librarySeconds;
    curlTotal += curlSecondsTotal;
    bytesTotal += batch.bytes();
  }
  const double mib = static_cast<double>(bytesTotal) / kMiB;
  std::printf("%-12s %7s %10.1f %14.1f %14.1f %7.2f\n", "all", "", mib, mib / libraryTotal, mib / curlTotal,
              curlTotal / libraryTotal);
  std::printf("ratio = library throughput / curl throughput\n");
  std::printf("peak memory (VmHWM) of the library's process: %ld KiB before uploading, %ld KiB after\n", peakBefore,
              peakResidentKiB());
  std::printf("peak memory (maxrss) of curl: %ld KiB\n", curlPeak);
  std::filesystem::remove_all(folder);
  return 0;
} catch (const std::exception& error) {
  std::cerr << "norvane_upload_bench: " << error.what() << "\n";
  return 1;
}
