// The model's unique identifier, read from the text header of its file.
#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/ascii_case.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "model/model_metadata.h"

namespace {

// Far more than any model's text header: a file without one (or a stray huge
// line) is not read to its end.
constexpr std::streamsize kLongestHeader = 1 << 20;

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string stripped(const std::string& line) {
  auto first = std::find_if_not(line.begin(), line.end(), [](char c) { return isSpace(c); });
  auto last = std::find_if_not(line.rbegin(), line.rend(), [](char c) { return isSpace(c); }).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

std::string ModelMetadataResolver::resolveUniqueId(const std::optional<std::filesystem::path>& path) {
  if (!path) {
    logWarning("No model path available; cannot extract unique ID.");
    return {};
  }
  std::ifstream file(*path);
  if (!file) {
    logError("Failed to open model file for unique ID extraction: " + pathToUtf8(*path));
    return {};
  }
  std::string header(static_cast<size_t>(kLongestHeader), '\0');
  file.read(header.data(), kLongestHeader);
  header.resize(static_cast<size_t>(file.gcount()));
  std::istringstream lines(header);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string text = stripped(line);
    const std::string upper = asciiUppered(text);
    if (upper.find("END_OF_UGC_HEADER") != std::string::npos) {
      logError("Unique ID not found in model header: " + pathToUtf8(*path));
      return {};
    }
    if (upper.find("UOBJ_ID") == std::string::npos) continue;
    std::istringstream words(text);
    std::string word[5];
    for (std::string& each : word) words >> each;
    if (word[1] == "UOBJ_ID" && !word[2].empty() && !word[3].empty() && !word[4].empty()) {
      logDebug("Unique ID extracted from model file: " + pathToUtf8(path->filename()));
      return word[2] + " " + word[3] + " " + word[4];
    }
  }
  logError("End of model header not found during unique ID extraction: " + pathToUtf8(*path));
  return {};
}
