#include "clock/WinMain.h"

#include <algorithm>

#include "clock/FaceGeometry.h"

namespace kivra {

using framework::Int32;
using framework::ToInt32;

double WinMain::GetBaseUnit() { return FaceGeometry::BaseUnit(Width(), Height(), mDir); }

void WinMain::ResizeDots() {
    const double u = GetBaseUnit();
    const Int32 side = FaceGeometry::SquareSide(u);
    const Int32 oval = FaceGeometry::SquareOval(u);
    // Quarter turns write Left first, the others Top first.
    const bool leftFirst = !FaceGeometry::IsHorizontal(mDir);
    for (Int32 column = 0; column < 12; ++column) {
        for (Int32 row = 0; row < 3; ++row) {
            const Square& q = s[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
            if (!q) continue;
            q->Width(side);
            q->Height(side);
            q->OvalWidth(oval);
            q->OvalHeight(oval);
            const FaceGeometry::Place place = FaceGeometry::SquarePlace(Width(), Height(), mDir, u, row, column);
            if (leftFirst) {
                q->Left(place.left);
                q->Top(place.top);
            } else {
                q->Top(place.top);
                q->Left(place.left);
            }
        }
    }
}

bool WinMain::IsInLowerRightCorner(Int32 X, Int32 Y) {
    const double g = FaceGeometry::GripSide(GetBaseUnit());
    if (!(Width() - g <= X)) return false;
    return Height() - g <= Y;
}

void WinMain::ResizeWindow(Int32 dx, Int32 dy) {
    double leastWidth = 0.0, leastHeight = 0.0;
    if (mDir == 0 || mDir == 2) {
        leastWidth = 51.0;
        leastHeight = 15.0;
    } else if (mDir == 1 || mDir == 3) {
        leastWidth = 15.0;
        leastHeight = 51.0;
    } else {
        return;
    }
    const Int32 newW = Add(Width(), dx);
    const Int32 newH = Add(Height(), dy);
    if (Width() != newW) Width(ToInt32(std::max(leastWidth, static_cast<double>(newW))));
    if (Height() != newH) Height(ToInt32(std::max(leastHeight, static_cast<double>(newH))));
}

void WinMain::CorrectRatio() {
    const double u = GetBaseUnit();
    if (FaceGeometry::IsOffProportion(Width(), Height(), mDir)) {
        if (FaceGeometry::IsHorizontal(mDir)) {
            Width(ToInt32(51.0 * u));
            Height(ToInt32(15.0 * u));
        } else {
            Width(ToInt32(15.0 * u));
            Height(ToInt32(51.0 * u));
        }
    }
    ResizeDots();
}

}  // namespace kivra
