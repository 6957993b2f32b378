#include "model/model_header.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <string_view>

#include "core/ascii_case.h"

namespace {

// Far more than any model's text header: a file without one (or a stray huge
// line) is not read to its end.
constexpr size_t kLongestHeader = 1 << 20;
// A header is a few kilobytes: it is read in steps of this size, not a whole
// MiB up front, as an export reads the header of every file it stages; a
// small step also keeps the buffer that is cleared for each read small.
constexpr size_t kReadStep = 4 * 1024;

bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string stripped(std::string_view line) {
  auto first = std::find_if_not(line.begin(), line.end(), [](char c) { return isSpace(c); });
  auto last = std::find_if_not(line.rbegin(), line.rend(), [](char c) { return isSpace(c); }).base();
  return first < last ? std::string(first, last) : std::string();
}

// What one header line says; nullopt for a line that decides nothing.
std::optional<ModelHeaderScan> examine(std::string_view line) {
  const std::string text = stripped(line);
  const std::string upper = asciiUppered(text);
  if (upper.find("END_OF_UGC_HEADER") != std::string::npos)
    return ModelHeaderScan{ModelHeaderScan::Outcome::EndWithoutIdentifier, {}};
  if (upper.find("UOBJ_ID") == std::string::npos) return std::nullopt;
  std::istringstream words(text);
  std::string word[5];
  for (std::string& each : word) words >> each;
  if (word[1] != "UOBJ_ID" || word[2].empty() || word[3].empty() || word[4].empty()) return std::nullopt;
  return ModelHeaderScan{ModelHeaderScan::Outcome::Identifier, word[2] + " " + word[3] + " " + word[4]};
}

}  // namespace

ModelHeaderScan scanModelHeader(std::istream& file) {
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
      if (std::optional<ModelHeaderScan> decided = examine(std::string_view(header).substr(lineStart, lineEnd - lineStart)))
        return *decided;
    }
  }
  return {};
}
