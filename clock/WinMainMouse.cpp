#include "clock/WinMain.h"

#include "framework/ui/Keyboard.h"
#include "framework/ui/MouseCursor.h"

namespace kivra {

using framework::Int32;
using framework::ToInt32;

bool WinMain::Event_MouseDown(Int32 X, Int32 Y) {
    // Declined, so the framework goes on to the context menu.
    if (framework::IsContextualClick()) return false;
    MouseX = Add(X, Left());
    MouseY = Add(Y, Top());
    mLeft = Left();
    mTop = Top();
    mResizing = IsInLowerRightCorner(X, Y);
    return true;
}

void WinMain::Event_MouseDrag(Int32 X, Int32 Y) {
    // Screen positions stay put while the window moves under a still mouse.
    const Int32 sx = Add(X, Left());
    const Int32 sy = Add(Y, Top());
    if (sx == MouseX && sy == MouseY) return;
    const Int32 dx = Subtract(sx, MouseX);
    const Int32 dy = Subtract(sy, MouseY);
    if (mResizing) {
        ResizeWindow(dx, dy);
    } else {
        const Int32 targetLeft = Add(mLeft, dx);
        const Int32 targetTop = Add(mTop, dy);
        if (Left() != targetLeft) Left(targetLeft);
        if (Top() != targetTop) Top(targetTop);
    }
    MouseX = sx;
    MouseY = sy;
    mLeft = Left();
    mTop = Top();
}

void WinMain::Event_MouseMove(Int32 X, Int32 Y) {
    if (IsInLowerRightCorner(X, Y))
        MouseCursor(framework::System::Cursors::ArrowNorthwestSoutheast);
    else
        MouseCursor(framework::ArrowCursor);
}

bool WinMain::Event_MouseWheel(Int32, Int32, Int32, Int32 deltaY) {
    if (!framework::Keyboard::AsyncAltKey()) return false;
    const double f = 1.1;
    double factor = 0.0;
    if (deltaY < 0)
        factor = f - 1.0;
    else if (deltaY > 0)
        factor = 1.0 / f - 1.0;
    else
        return true;
    const Int32 dw = ToInt32(static_cast<double>(Width()) * factor);
    const Int32 dh = ToInt32(static_cast<double>(Height()) * factor);
    ResizeWindow(dw, dh);
    CorrectRatio();
    return true;
}

void WinMain::Event_MouseUp(Int32, Int32) { CorrectRatio(); }

}  // namespace kivra
