#include "config_pro_line.h"

#include <string_view>

namespace tavixsetup {

namespace {

struct LineSpan {
  size_t begin = std::string::npos;
  size_t end = 0;  // past the line's own line end, if it has one
};

// The last line of `text` that equals `line` (a trailing CR is part of the line end).
LineSpan lastLine(const std::string& text, const std::string& line) {
  LineSpan found;
  for (size_t begin = 0; begin < text.size();) {
    const size_t newline = text.find('\n', begin);
    const size_t next = newline == std::string::npos ? text.size() : newline + 1;
    std::string_view content(text.data() + begin, (newline == std::string::npos ? text.size() : newline) - begin);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    if (content == line) found = {begin, next};
    begin = next;
  }
  return found;
}

std::string lineEndOf(const std::string& text) {
  const size_t newline = text.find('\n');
  return newline != std::string::npos && (newline == 0 || text[newline - 1] != '\r') ? "\n" : "\r\n";
}

}  // namespace

std::string withConfigLine(const std::string& config, const std::string& line) {
  if (lastLine(config, line).begin != std::string::npos) return config;
  const std::string lineEnd = lineEndOf(config);
  if (config.empty() || config.back() == '\n') return config + line + lineEnd;
  return config + lineEnd + line;
}

std::string withoutConfigLine(const std::string& config, const std::string& line) {
  const LineSpan span = lastLine(config, line);
  if (span.begin == std::string::npos) return config;
  const bool hasLineEnd = span.end > span.begin && config[span.end - 1] == '\n';
  if (hasLineEnd || span.begin == 0) return config.substr(0, span.begin) + config.substr(span.end);
  size_t before = span.begin - 1;  // the '\n' that ends the line before
  if (before > 0 && config[before - 1] == '\r') --before;
  return config.substr(0, before);
}

std::string registryFileLine(const std::string& registrationFileUtf8) {
  return "toolkit_registry_file \"" + registrationFileUtf8 + "\"";
}

}  // namespace tavixsetup
