#include "core/local_time.h"

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
