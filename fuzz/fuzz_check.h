#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A broken invariant: say which, and stop the fuzzer with a crash it keeps the input of.
inline void FuzzCheck(bool holds, const std::string& what) {
    if (!holds) {
        std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
        std::abort();
    }
}
