#include "core/log_line.h"

#include <cstdio>

#include "core/local_time.h"

namespace {

constexpr std::string_view kTimestampFormat = "%Y-%m-%d %H:%M:%S %z";
constexpr std::string_view kClientLibraryTag = "[norvane]";
constexpr std::string_view kAddInTag = "[Tavix] ";

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long daysFromCivil(long long year, unsigned month, unsigned day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const auto yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

long long secondsOf(const std::tm& fields) {
  return daysFromCivil(fields.tm_year + 1900LL, fields.tm_mon + 1, fields.tm_mday) * 86400 + fields.tm_hour * 3600 +
         fields.tm_min * 60 + fields.tm_sec;
}

// "+hhmm"/"-hhmm", worked out here because the Windows C runtime's "%z"
// prints the zone's name rather than its offset.
std::string utcOffsetText(const std::tm& local, std::time_t when) {
  const long long offset = secondsOf(local) - secondsOf(utcTimeOf(when));
  const long long minutes = (offset < 0 ? -offset : offset) / 60;
  char text[32];
  std::snprintf(text, sizeof text, "%c%02lld%02lld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
  return text;
}

std::string formatTimestamp(std::time_t when) {
  const std::tm local = localTimeOf(when);
  std::string format(kTimestampFormat);
  format.replace(format.find("%z"), 2, utcOffsetText(local, when));
  char text[64];
  const size_t length = std::strftime(text, sizeof text, format.c_str(), &local);
  return std::string(text, length);
}

bool isControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7f; }

// The code point of a line or paragraph separator (U+0085, U+2028, U+2029) or a
// bidirectional control (U+061C, U+200E, U+200F, U+202A to U+202E, U+2066 to
// U+2069) encoded at the start of `text`, or 0: viewers break lines at the
// first and reorder text at the second.
char32_t separatorOrDirectionMarkAt(std::string_view text) {
  const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
  if (byte(0) == 0xC2 && byte(1) == 0x85) return 0x85;
  if (byte(0) == 0xD8 && byte(1) == 0x9C) return 0x61C;
  if (byte(0) != 0xE2 || (byte(1) != 0x80 && byte(1) != 0x81) || (byte(2) & 0xC0) != 0x80) return 0;
  const char32_t codePoint = 0x2000 | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
  const bool separator = codePoint == 0x2028 || codePoint == 0x2029;
  const bool directionMark = codePoint == 0x200E || codePoint == 0x200F || (codePoint >= 0x202A && codePoint <= 0x202E) ||
                             (codePoint >= 0x2066 && codePoint <= 0x2069);
  return separator || directionMark ? codePoint : 0;
}

// Text from outside (a server's message, a file address, a workspace name, a
// toolkit exception) may hold line breaks that would forge lines or direction
// marks that would show it reversed: control characters are written out as
// \r, \n, \t or \xHH, as the client library does with its own texts, and
// separators and direction marks as \uHHHH.
void appendEscaped(std::string& line, std::string_view message) {
  static const char* const hex = "0123456789ABCDEF";
  for (size_t i = 0; i < message.size(); ++i) {
    const auto c = static_cast<unsigned char>(message[i]);
    if (c >= 0x80) {
      const char32_t mark = separatorOrDirectionMarkAt(message.substr(i));
      if (mark == 0) {
        line += message[i];
        continue;
      }
      line += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) line += hex[(mark >> shift) & 15];
      i += mark < 0x800 ? 1 : 2;
    } else if (!isControlCharacter(c)) {
      line += message[i];
    } else if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\t') {
      line += "\\t";
    } else {
      line += "\\x";
      line += hex[c >> 4];
      line += hex[c & 15];
    }
  }
}

}  // namespace

std::string formatLogLine(std::string_view levelName, std::string_view message, std::time_t when) {
  std::string line;
  line.reserve(48 + message.size());
  line += '[';
  line += formatTimestamp(when);
  line += "] [";
  line += levelName;
  line += "] ";
  if (message.compare(0, kClientLibraryTag.size(), kClientLibraryTag) != 0) line += kAddInTag;
  appendEscaped(line, message);
  return line;
}
