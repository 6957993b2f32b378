// The model files already counted while one model's size is resolved, in the
// order they were met. Membership is a hash lookup on the path's UTF-8 text, so
// that assemblies of many thousand components stay linear and a component's
// origin can be tested before a path is built from it.
#pragma once

#include <filesystem>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/text_encoding.h"

class VisitedModelPaths {
 public:
  void append(const std::filesystem::path& path) {
    if (members_.insert(pathToUtf8(path)).second) order_.push_back(path);
  }
  bool contains(const std::string& utf8Path) const { return members_.count(utf8Path) != 0; }
  void clear() {
    order_.clear();
    members_.clear();
  }
  const std::vector<std::filesystem::path>& paths() const { return order_; }

 private:
  std::vector<std::filesystem::path> order_;
  std::unordered_set<std::string> members_;
};

// The process-wide list; used on Creo's user-interface thread only and empty
// between two resolutions.
VisitedModelPaths& visitedModelPaths();
