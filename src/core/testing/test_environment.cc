#include "core/testing/test_environment.h"

#include <stdlib.h>
#include <time.h>

void setEnvironmentVariable(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}

void rereadTimeZone() {
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
}
