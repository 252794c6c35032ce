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
    else
        return 0;  // between the rounded ends, where most rows are
    const double inset = rx * (1.0 - std::sqrt(std::max(0.0, 1.0 - t * t)));
    return static_cast<std::int64_t>(std::ceil(inset - 0.5));
}

// Calls fill(inset, first row, row count) for each run of the rows from
// firstRow up to lastRow (not included) that leave out the same number of
// pixels at each end, skipping runs with nothing to fill: most of a square's
// rows lie between its rounded ends, and a run is filled at once. Needs the
// same sizes as RoundRectInset.
template <class Fill>
void ForEachRoundRectRun(std::int64_t width, std::int64_t height, std::int64_t ovalWidth, std::int64_t ovalHeight,
                         std::int64_t firstRow, std::int64_t lastRow, Fill fill) {
    std::int64_t runStart = firstRow, runInset = -1;
    for (std::int64_t j = firstRow; j <= lastRow; ++j) {
        const std::int64_t inset = j < lastRow ? RoundRectInset(j, width, height, ovalWidth, ovalHeight) : -1;
        if (inset == runInset) continue;
        if (runInset >= 0 && width - 2 * runInset > 0) fill(runInset, runStart, j - runStart);
        runStart = j;
        runInset = inset;
    }
}

}  // namespace kivra::framework::detail
