// The export in progress: what it has staged so far and its first failure.
// Every branch of the export reads and adds to the one record.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "core/text_set.h"
#include "model/exported_file.h"
#include "model/staged_source_list.h"

class ExportRecord {
 public:
  // Keeps the first failure only, as a user text and a detail; returns no files,
  // which a failing branch hands back.
  std::vector<ExportedFile> failWith(const std::string& userText, const std::string& detailText);
  bool failed() const { return !userMessage_.empty(); }
  const std::string& userMessage() const { return userMessage_; }
  const std::string& detailMessage() const { return detailMessage_; }

  // Local files staged, by source path.
  StagedSourceList stagedSources;
  // Windchill files staged, by origin and file name.
  std::unordered_set<std::string> stagedWindchillModels;
  // Models exported whole, by origin and file name.
  TextSet exportedModels;

 private:
  std::string userMessage_;
  std::string detailMessage_;
};
