#pragma once

#include "framework/ui/RoundRectangle.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Types.h"

namespace kivra {

// One of the clock face's 27 squares, the control array "sq" of the clock window.
// A square has no mouse handling of its own: presses reach the window.
class sq : public framework::RoundRectangle {
public:
    struct Cell {
        framework::Int32 row = 0;
        framework::Int32 column = 0;
    };

    static constexpr framework::Int32 kCount = 27;

    void Constructor(framework::Int32 index);
    // A square made at run time stands in for square 0; it must already be in its window.
    void Constructor();

    // The grid cell of the square with that index (0 to 26).
    static Cell GridCell(framework::Int32 index);
    // The design-time property set of the square with that index (0 to 26).
    static framework::PropertySet DesignProperties(framework::Int32 index);
};

}  // namespace kivra
