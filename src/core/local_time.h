// Broken-down times, thread-safe on every platform.
#pragma once

#include <ctime>

std::tm localTimeOf(std::time_t when);
std::tm utcTimeOf(std::time_t when);
