// What every harness checks beyond "no crash": a property that must hold for
// each input. A violation aborts, so that libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                          \
  do {                                                                                                 \
    if (!(condition)) {                                                                                \
      std::fprintf(stderr, "%s:%d: property does not hold: %s\n", __FILE__, __LINE__, #condition);     \
      std::abort();                                                                                    \
    }                                                                                                  \
  } while (false)
