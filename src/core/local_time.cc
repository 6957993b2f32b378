#include "core/local_time.h"

#ifdef _WIN32

std::tm localTimeOf(std::time_t when) {
  std::tm fields{};
  localtime_s(&fields, &when);
  return fields;
}

std::tm utcTimeOf(std::time_t when) {
  std::tm fields{};
  gmtime_s(&fields, &when);
  return fields;
}

#else

std::tm localTimeOf(std::time_t when) {
  std::tm fields{};
  localtime_r(&when, &fields);
  return fields;
}

std::tm utcTimeOf(std::time_t when) {
  std::tm fields{};
  gmtime_r(&when, &fields);
  return fields;
}

#endif
