#pragma once

#include "framework/values/Types.h"

namespace kivra {

// The face's measurements: 51 by 15 face units upright (15 by 51 turned a
// quarter), squares of 3 units on a pitch of 4 with a margin of 2. All pixel
// values go through the framework's one Double-to-Int32 conversion. A rotation
// outside 0 to 3 counts as vertical and is placed as a quarter turn
// counter-clockwise.
class FaceGeometry {
public:
    struct Place {
        framework::Int32 left = 0;
        framework::Int32 top = 0;
    };

    static bool IsHorizontal(framework::Int32 dir);
    // Pixels per face unit at which the whole face fits width x height.
    static double BaseUnit(framework::Int32 width, framework::Int32 height, framework::Int32 dir);
    static framework::Int32 SquareSide(double u);
    static framework::Int32 SquareOval(double u);
    // Where the square of grid cell (row, column) stands in a window of that size.
    static Place SquarePlace(framework::Int32 width, framework::Int32 height, framework::Int32 dir, double u,
                             framework::Int32 row, framework::Int32 column);
    // Side of the resize grip in the lower-right corner: two units, at least 10 pixels.
    static double GripSide(double u);
    // More than 5 per cent off the face's 51 : 15.
    static bool IsOffProportion(framework::Int32 width, framework::Int32 height, framework::Int32 dir);
};

}  // namespace kivra
