#include "core/local_time.h"

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
