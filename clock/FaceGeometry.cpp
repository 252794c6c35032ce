#include "clock/FaceGeometry.h"

#include <algorithm>
#include <cmath>

namespace kivra {

using framework::Int32;
using framework::ToInt32;

bool FaceGeometry::IsHorizontal(Int32 dir) { return dir == 0 || dir == 2; }

double FaceGeometry::BaseUnit(Int32 width, Int32 height, Int32 dir) {
    const double w = width, h = height;
    if (IsHorizontal(dir)) return std::min(w / 51.0, h / 15.0);
    return std::min(w / 15.0, h / 51.0);
}

Int32 FaceGeometry::SquareSide(double u) { return ToInt32(3.0 * u); }

Int32 FaceGeometry::SquareOval(double u) { return ToInt32((3.0 * u) / 5.0); }

FaceGeometry::Place FaceGeometry::SquarePlace(Int32 width, Int32 height, Int32 dir, double u, Int32 row, Int32 column) {
    // The cell offsets are whole units; the half-turned faces are measured from
    // the lower-right corner, offset first and the square's side after it.
    const double alongRow = 4 * column + 2;
    const double acrossRows = 4 * row + 2;
    const double acrossTurned = 4 * (2 - row) + 2;
    const double w = width, h = height;
    switch (dir) {
        case 0:
            return {ToInt32(u * alongRow), ToInt32(u * acrossRows)};
        case 1:
            return {ToInt32(u * acrossTurned), ToInt32(u * alongRow)};
        case 2:
            return {ToInt32((w - u * alongRow) - 3.0 * u), ToInt32((h - u * acrossRows) - 3.0 * u)};
        default:
            return {ToInt32((w - u * acrossTurned) - 3.0 * u), ToInt32((h - u * alongRow) - 3.0 * u)};
    }
}

double FaceGeometry::GripSide(double u) { return std::max(2.0 * u, 10.0); }

bool FaceGeometry::IsOffProportion(Int32 width, Int32 height, Int32 dir) {
    const double w = width, h = height;
    const double ratio = IsHorizontal(dir) ? w / h : h / w;
    return std::abs(ratio / 3.4 - 1.0) > 0.05;
}

}  // namespace kivra
