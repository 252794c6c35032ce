#pragma once

// Framework-internal: delivers mouse and drop input to a control, from the
// platform and from the test seams alike. Positions in control pixels.

#include <string>

#include "framework/values/Types.h"

namespace kivra::framework {
class RectControl;
}

namespace kivra::framework::detail {

struct ControlDispatch {
    // False when the control declined the press.
    static bool Press(RectControl& control, Int32 x, Int32 y, bool contextual);
    static void Move(RectControl& control, Int32 x, Int32 y);
    static void Release(RectControl& control, Int32 x, Int32 y);
    static void DropText(RectControl& control, const std::string& text);
};

}  // namespace kivra::framework::detail
