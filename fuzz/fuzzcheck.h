#pragma once

#include <cstdio>
#include <cstdlib>

// An invariant of a fuzz target. A broken one names itself before the run stops, so a report cut
// short still says which promise failed.
#define FUZZ_CHECK(holds) ::fuzzCheck((holds), #holds, __FILE__, __LINE__)

inline void fuzzCheck(bool holds, const char *what, const char *file, int line)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n", file, line, what);
        std::abort();
    }
}
