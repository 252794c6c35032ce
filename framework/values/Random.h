#pragma once

#include <cstdint>
#include <random>

#include "framework/values/Types.h"

namespace kivra::framework {

// Seeded by the framework (from the test seam when one is set).
class Random {
public:
    Random();
    // An Int32 from lo to hi, both included; lo when hi < lo.
    Int32 InRange(Int32 lo, Int32 hi);

private:
    std::mt19937_64 mEngine;
};

}  // namespace kivra::framework
