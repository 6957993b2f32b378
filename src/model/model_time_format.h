// The time texts the upload workflow shows and sends, formatted the same way
// whatever the process locale: English month names, 12-hour clock.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

// "%B %d, %Y - %I:%M %p", e.g. "March 05, 2024 - 02:07 PM".
std::string formatLongDate(const std::tm& time);
// "%b %e, %I:%M %p", e.g. "Mar  5, 02:07 PM".
std::string formatShortDateTime(const std::tm& time);
// "%Y-%m-%dT%H:%M:%S.mmmZ", e.g. "2024-03-05T14:07:09.042Z"; `time` is in UTC.
std::string formatIsoUtc(const std::tm& time, int milliseconds);

// The file's last-write time as wall-clock time; nothing when it cannot be read.
std::optional<std::chrono::system_clock::time_point> lastWriteTime(const std::filesystem::path& path);
