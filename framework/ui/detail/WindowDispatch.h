#pragma once

// Framework-internal: delivers mouse input to a window's handlers, from the
// platform and from the test seams alike. Positions in window pixels.

#include <QPoint>

#include "framework/values/Types.h"

namespace kivra::framework {
class Window;
class MenuItem;
}  // namespace kivra::framework

namespace kivra::framework::detail {

struct WindowDispatch {
    static void Press(Window& window, Int32 x, Int32 y, bool contextual, QPoint global);
    static void Move(Window& window, Int32 x, Int32 y);
    static void Release(Window& window, Int32 x, Int32 y);
    static bool Wheel(Window& window, Int32 x, Int32 y, Int32 deltaX, Int32 deltaY);
    static void ContextMenu(Window& window, Int32 x, Int32 y, QPoint global);
    static bool Pressed(const Window& window);
    // The server reports a place or size that the program did not ask for.
    static void Moved(Window& window, Int32 left, Int32 top);
    static void Resized(Window& window, Int32 width, Int32 height);
    // Screens came, went or changed their size.
    static void ScreensChanged(Window& window);
};

}  // namespace kivra::framework::detail
