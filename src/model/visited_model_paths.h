// The model files already counted while one model's size is resolved, in the
// order they were met. Membership is a hash lookup, so that assemblies of many
// thousand components stay linear.
#pragma once

#include <filesystem>
#include <unordered_set>
#include <vector>

class VisitedModelPaths {
 public:
  void append(const std::filesystem::path& path) {
    if (members_.insert(path).second) order_.push_back(path);
  }
  bool contains(const std::filesystem::path& path) const { return members_.count(path) != 0; }
  void clear() {
    order_.clear();
    members_.clear();
  }
  const std::vector<std::filesystem::path>& paths() const { return order_; }

 private:
  struct PathHash {
    size_t operator()(const std::filesystem::path& path) const { return std::filesystem::hash_value(path); }
  };
  std::vector<std::filesystem::path> order_;
  std::unordered_set<std::filesystem::path, PathHash> members_;
};

// The process-wide list; used on Creo's user-interface thread only and empty
// between two resolutions.
VisitedModelPaths& visitedModelPaths();
