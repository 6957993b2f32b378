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

// Text from outside (a server's message, a file address, a toolkit exception)
// may hold line breaks that would forge lines: control characters are written
// out as \r, \n, \t or \xHH, as the client library does with its own texts.
void appendEscaped(std::string& line, std::string_view message) {
  static const char* const hex = "0123456789ABCDEF";
  for (const char each : message) {
    const auto c = static_cast<unsigned char>(each);
    if (!isControlCharacter(c)) {
      line += each;
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
