// A broken promise of a parser is a finding just as a crash is: the check
// aborts, so libFuzzer keeps the input and the corpus replay fails on it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define ORBA_FUZZ_CHECK(condition)                                                     \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, \
                         #condition);                                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (false)
