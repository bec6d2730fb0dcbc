// What every fuzz target uses to report a property that does not hold.
#pragma once

#include <cstdlib>

// Ends the run as a crash, so libFuzzer keeps the input.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
