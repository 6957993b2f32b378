// The model's unique identifier, read from the text header of its file.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string_view>

#include "core/ascii_case.h"
#include "core/log.h"
#include "core/text_encoding.h"
#include "model/model_metadata.h"

namespace {

// Far more than any model's text header: a file without one (or a stray huge
// line) is not read to its end.
constexpr size_t kLongestHeader = 1 << 20;
// A header is a few kilobytes: it is read in steps of this size, not a whole
// MiB up front, as an export reads the header of every file it stages.
constexpr size_t kReadStep = 16 * 1024;

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string stripped(std::string_view line) {
  auto first = std::find_if_not(line.begin(), line.end(), [](char c) { return isSpace(c); });
  auto last = std::find_if_not(line.rbegin(), line.rend(), [](char c) { return isSpace(c); }).base();
  return first < last ? std::string(first, last) : std::string();
}

// What one header line says.
enum class HeaderLine { Other, Identifier, End };

HeaderLine examine(std::string_view line, std::string& identifier) {
  const std::string text = stripped(line);
  const std::string upper = asciiUppered(text);
  if (upper.find("END_OF_UGC_HEADER") != std::string::npos) return HeaderLine::End;
  if (upper.find("UOBJ_ID") == std::string::npos) return HeaderLine::Other;
  std::istringstream words(text);
  std::string word[5];
  for (std::string& each : word) words >> each;
  if (word[1] != "UOBJ_ID" || word[2].empty() || word[3].empty() || word[4].empty()) return HeaderLine::Other;
  identifier = word[2] + " " + word[3] + " " + word[4];
  return HeaderLine::Identifier;
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
  std::string header;
  size_t lineStart = 0;
  bool atEnd = false;
  while (!atEnd) {
    const size_t wanted = std::min(kReadStep, kLongestHeader - header.size());
    const size_t before = header.size();
    header.resize(before + wanted);
    file.read(header.data() + before, static_cast<std::streamsize>(wanted));
    header.resize(before + static_cast<size_t>(file.gcount()));
    atEnd = header.size() == before || header.size() == kLongestHeader;
    // Complete lines, and at the end what is left of the last one.
    for (size_t lineEnd; lineStart < header.size(); lineStart = lineEnd + 1) {
      lineEnd = header.find('\n', lineStart);
      if (lineEnd == std::string::npos) {
        if (!atEnd) break;
        lineEnd = header.size();
      }
      std::string identifier;
      switch (examine(std::string_view(header).substr(lineStart, lineEnd - lineStart), identifier)) {
        case HeaderLine::End:
          logError("Unique ID not found in model header: " + pathToUtf8(*path));
          return {};
        case HeaderLine::Identifier:
          logDebug("Unique ID extracted from model file: " + pathToUtf8(path->filename()));
          return identifier;
        case HeaderLine::Other: break;
      }
    }
  }
  logError("End of model header not found during unique ID extraction: " + pathToUtf8(*path));
  return {};
}
