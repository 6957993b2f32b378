#include "core/environment.h"

#ifdef _WIN32

#include <errno.h>
#include <stdlib.h>

// The C runtime's environment, copied out with getenv_s: msvcrt.dll, which this
// build links against, does not export _dupenv_s.
std::optional<std::string> environmentVariable(const char* name) {
  size_t required = 0;
  // Asking with no buffer gives the size, terminator included (some runtimes
  // also answer ERANGE); 0 means the variable is not set.
  getenv_s(&required, nullptr, 0, name);
  std::string value;
  while (required > 0) {
    value.resize(required);
    // Another thread may have grown the value in between; ask again at its new size.
    if (getenv_s(&required, value.data(), value.size(), name) != ERANGE) break;
  }
  if (required == 0) return std::nullopt;
  value.resize(required - 1);
  return value;
}

#else

#include <cstdlib>

std::optional<std::string> environmentVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

#endif
