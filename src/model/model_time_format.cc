#include "model/model_time_format.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};

std::string monthName(const std::tm& time) { return kMonths[(time.tm_mon % 12 + 12) % 12]; }

int hour12(const std::tm& time) { return time.tm_hour % 12 == 0 ? 12 : time.tm_hour % 12; }
const char* meridiem(const std::tm& time) { return time.tm_hour < 12 ? "AM" : "PM"; }

}  // namespace

std::string formatLongDate(const std::tm& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %02d, %04d - %02d:%02d %s", monthName(time).c_str(), time.tm_mday,
                time.tm_year + 1900, hour12(time), time.tm_min, meridiem(time));
  return text;
}

std::string formatShortDateTime(const std::tm& time) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3s %2d, %02d:%02d %s", monthName(time).c_str(), time.tm_mday, hour12(time),
                time.tm_min, meridiem(time));
  return text;
}

std::string formatIsoUtc(const std::tm& time, int milliseconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", time.tm_year + 1900, time.tm_mon + 1,
                time.tm_mday, time.tm_hour, time.tm_min, time.tm_sec, milliseconds);
  return text;
}

std::optional<std::chrono::system_clock::time_point> lastWriteTime(const std::filesystem::path& path) {
#ifdef _WIN32
  // mingw's file-system library keeps whole seconds; the system keeps 100 ns.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  ULARGE_INTEGER ticks;
  ticks.LowPart = data.ftLastWriteTime.dwLowDateTime;
  ticks.HighPart = data.ftLastWriteTime.dwHighDateTime;
  constexpr long long kUnixEpochTicks = 116444736000000000LL;  // 1970-01-01 in ticks since 1601-01-01
  const std::chrono::duration<long long, std::ratio<1, 10000000>> sinceEpoch(
      static_cast<long long>(ticks.QuadPart) - kUnixEpochTicks);
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceEpoch));
#else
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return std::nullopt;
  return std::chrono::system_clock::from_time_t(status.st_mtim.tv_sec) +
         std::chrono::duration_cast<std::chrono::system_clock::duration>(
             std::chrono::nanoseconds(status.st_mtim.tv_nsec));
#endif
}
