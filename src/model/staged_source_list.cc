#include "model/staged_source_list.h"

#include "core/text_encoding.h"

void StagedSourceList::append(const std::filesystem::path& source) {
  members_.insert(pathToUtf8(source));
}

bool StagedSourceList::contains(const std::filesystem::path& source) const {
  return members_.contains(pathToUtf8(source));
}
