#pragma once

#include <limits>
#include <memory>
#include <string>

#include "framework/ui/Event.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class Graphics;
class Window;

namespace detail {
class WindowPainter;
}

// Anything a window holds by name: a timer or a visible control.
class Control : public std::enable_shared_from_this<Control> {
public:
    static constexpr Int32 kNoIndex = std::numeric_limits<Int32>::min();

    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::string Name() const { return mName; }
    Int32 Index() const { return mIndex; }
    void Index(Int32 index) { mIndex = index; }
    // The window that holds the control; nullptr before it was placed in one
    // and once that window is gone.
    Window* OwnerWindow() const { return mWindow; }

    void SetProperties(const PropertySet& properties);
    // Raises PropertyError for a name the control does not know.
    virtual void SetProperty(const std::string& name, const PropertyValue& value);

    // The control's own Open handling; by default raises Open.
    virtual void Event_Open() { Open.Raise(); }
    Event<void()> Open;

    // What its window asks of the control; each kind does its own part.
    // A control its window draws paints itself with the window's painter.
    virtual void PaintInWindow(detail::WindowPainter& /*painter*/) const {}
    // Draws what the control shows into a picture of the window whose
    // top-left corner stands at (x, y).
    virtual void DrawIntoPicture(Graphics& /*g*/, Int32 /*x*/, Int32 /*y*/) const {}
    // The window's size changed by (dw, dh).
    virtual void FollowWindowResize(Int32 /*dw*/, Int32 /*dh*/) {}
    // The window is closing; nothing of the control's may run after it.
    virtual void WindowClosing() {}

protected:
    Control() = default;
    // Called by the window when the control is created in it.
    virtual void AttachTo(Window& window) { mWindow = &window; }

private:
    friend class Window;
    static const PropertyTable<Control>& Properties();
    void NameInWindow(const std::string& name) { mName = name; }
    void LeaveWindow() { mWindow = nullptr; }

    Window* mWindow = nullptr;
    std::string mName;
    Int32 mIndex = kNoIndex;
};

}  // namespace kivra::framework
