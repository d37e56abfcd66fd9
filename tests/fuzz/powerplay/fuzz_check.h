#pragma once
// Invariants the fuzz targets hold the readers to; a broken one stops the run like a crash.

#include <cstdio>
#include <cstdlib>

#define TW_FUZZ_CHECK(condition)                                                   \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)
