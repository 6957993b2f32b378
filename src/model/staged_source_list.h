// The source files an export has staged, asked for each
// component whether its file was staged before: a large assembly asks tens of
// thousands of times, so membership is a hash lookup on the path's UTF-8 text.
#pragma once

#include <filesystem>

#include "core/text_set.h"

class StagedSourceList {
 public:
  void append(const std::filesystem::path& source);
  bool contains(const std::filesystem::path& source) const;

 private:
  TextSet members_;
};
