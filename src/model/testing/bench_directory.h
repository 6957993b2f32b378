// What the model benchmarks share: a fresh folder under the system's temporary
// directory to work in (the log goes to the working directory), removed at the
// end, and the assembly sizes asked for on the command line.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

class BenchDirectory {
 public:
  explicit BenchDirectory(const std::string& name) {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("tavixtest-" + name + "-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
    std::filesystem::current_path(path_);
  }
  ~BenchDirectory() {
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  BenchDirectory(const BenchDirectory&) = delete;
  BenchDirectory& operator=(const BenchDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// The component occurrence counts from argv[first] on; 1,000 and 10,000 without any.
inline std::vector<int> occurrenceCounts(int argc, char* argv[], int first) {
  std::vector<int> sizes;
  for (int i = first; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {1000, 10000};
  return sizes;
}
