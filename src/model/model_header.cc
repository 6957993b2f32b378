#include "model/model_header.h"

#include <algorithm>
#include <optional>
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

bool containsFolded(std::string_view text, std::string_view upperWord) {
  return std::search(text.begin(), text.end(), upperWord.begin(), upperWord.end(),
                     [](char c, char wanted) { return asciiUppered(c) == wanted; }) != text.end();
}

// The next blank-separated word from `at`, which moves past it; empty at the end.
std::string_view nextWord(std::string_view line, size_t& at) {
  while (at < line.size() && isSpace(line[at])) ++at;
  const size_t start = at;
  while (at < line.size() && !isSpace(line[at])) ++at;
  return line.substr(start, at - start);
}

// What one header line says; nullopt for a line that decides nothing. Every
// line of every staged file's header passes here: nothing is allocated for a
// line that decides nothing.
std::optional<ModelHeaderScan> examine(std::string_view line) {
  if (containsFolded(line, "END_OF_UGC_HEADER")) return ModelHeaderScan{ModelHeaderScan::Outcome::EndWithoutIdentifier, {}};
  if (!containsFolded(line, "UOBJ_ID")) return std::nullopt;
  std::string_view word[5];
  size_t at = 0;
  for (std::string_view& each : word) each = nextWord(line, at);
  if (word[1] != "UOBJ_ID" || word[4].empty()) return std::nullopt;
  return ModelHeaderScan{ModelHeaderScan::Outcome::Identifier,
                         std::string(word[2]) + " " + std::string(word[3]) + " " + std::string(word[4])};
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
