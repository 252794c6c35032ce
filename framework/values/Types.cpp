#include "framework/values/Types.h"

#include <cmath>
#include <limits>

namespace kivra::framework {

Int32 ToInt32(double value) {
    if (std::isnan(value)) return 0;
    // Compare before casting: a double outside the Int32 range (infinities too)
    // has no defined conversion.
    const double rounded = std::round(value);
    if (rounded >= static_cast<double>(std::numeric_limits<Int32>::max())) return std::numeric_limits<Int32>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<Int32>::min())) return std::numeric_limits<Int32>::min();
    return static_cast<Int32>(rounded);
}

}  // namespace kivra::framework
