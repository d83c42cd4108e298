#pragma once
// What every harness asserts with: a broken promise aborts, which libFuzzer
// reports as a crash and keeps the input of.

// std
#include <cstdlib>

namespace tarnwick::fuzz {

inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

} // namespace tarnwick::fuzz
