#pragma once

#include <cstdint>

namespace kivra::framework {

using Int32 = std::int32_t;

// The one conversion from Double to Int32 used everywhere: nearest, halves away
// from zero, saturating at the Int32 limits, NaN giving 0.
Int32 ToInt32(double value);

}  // namespace kivra::framework
