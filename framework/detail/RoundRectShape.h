#pragma once

// Framework-internal: the pixels of a filled rounded rectangle, the same on
// screen and in pictures.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kivra::framework::detail {

// How many pixels row j (0 at the top) of a width x height rounded rectangle
// leaves out at each end: a pixel is filled when its centre lies inside the
// outline. Needs width, height, ovalWidth and ovalHeight all above 0.
inline std::int64_t RoundRectInset(std::int64_t j, std::int64_t width, std::int64_t height, std::int64_t ovalWidth,
                                   std::int64_t ovalHeight) {
    const double rx = static_cast<double>(std::min(ovalWidth, width)) / 2.0;
    const double ry = static_cast<double>(std::min(ovalHeight, height)) / 2.0;
    const double yc = static_cast<double>(j) + 0.5;
    double t = 0.0;
    if (yc < ry)
        t = (ry - yc) / ry;
    else if (yc > static_cast<double>(height) - ry)
        t = (yc - (static_cast<double>(height) - ry)) / ry;
    const double inset = rx * (1.0 - std::sqrt(std::max(0.0, 1.0 - t * t)));
    return static_cast<std::int64_t>(std::ceil(inset - 0.5));
}

}  // namespace kivra::framework::detail
