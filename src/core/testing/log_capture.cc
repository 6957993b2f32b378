#include "core/testing/log_capture.h"

#include <fstream>
#include <random>
#include <sstream>

#include "core/log_file.h"

namespace {

std::filesystem::path createFreshDirectory() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate = base / ("tavixtest-log-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) return candidate;
  }
}

}  // namespace

LogCapture::LogCapture() : previousDirectory_(std::filesystem::current_path()), directory_(createFreshDirectory()) {
  std::filesystem::current_path(directory_);
}

LogCapture::~LogCapture() {
  std::error_code ignored;
  std::filesystem::current_path(previousDirectory_, ignored);
  std::filesystem::permissions(directory_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(directory_, ignored);
}

std::string LogCapture::text() const {
  std::ifstream file(directory_ / kLogFileName, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::vector<std::string> LogCapture::lines() const {
  std::vector<std::string> result;
  const std::string all = text();
  size_t start = 0;
  for (size_t end; (end = all.find("\r\n", start)) != std::string::npos; start = end + 2)
    result.push_back(all.substr(start, end - start));
  if (start < all.size()) result.push_back(all.substr(start));
  return result;
}

std::vector<std::string> LogCapture::messages() const {
  std::vector<std::string> result;
  for (const std::string& line : lines()) {
    const size_t afterTimestamp = line.find("] ");
    result.push_back(afterTimestamp == std::string::npos ? line : line.substr(afterTimestamp + 2));
  }
  return result;
}
