#include "model/export_record.h"

std::vector<ExportedFile> ExportRecord::failWith(const std::string& userText, const std::string& detailText) {
  if (userMessage_.empty()) {
    userMessage_ = userText;
    detailMessage_ = detailText;
  }
  return {};
}
