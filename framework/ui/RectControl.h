#pragma once

#include <string>

#include "framework/ui/Control.h"
#include "framework/values/Ref.h"

namespace kivra::framework {

class DragItem;

namespace detail {
class ControlWidget;
}

// A control with a place and size in its window.
class RectControl : public Control {
public:
    ~RectControl() override;

    // Runs once the control's own fields are set; the place for a subclass's set-up.
    void Constructor() {}

    Int32 Left() const { return mLeft; }
    void Left(Int32 v);
    Int32 Top() const { return mTop; }
    void Top(Int32 v);
    Int32 Width() const { return mWidth; }
    void Width(Int32 v);
    Int32 Height() const { return mHeight; }
    void Height(Int32 v);
    bool Visible() const { return mVisible; }
    void Visible(bool v);
    bool Enabled() const { return mEnabled; }
    void Enabled(bool v);
    // The window is the active (focused) one.
    bool Active() const;
    // The control this one stands in; Nil when it stands on the window itself.
    Ref<Control> Parent() const { return Ref<Control>(); }
    std::string HelpTag() const { return mHelpTag; }

    void AcceptTextDrop();
    bool AcceptsTextDrop() const { return mAcceptTextDrop; }
    // A drag of a rectangle in window coordinates.
    Ref<DragItem> NewDragItem(Int32 left, Int32 top, Int32 width, Int32 height);

    void Refresh();
    void SetProperty(const std::string& name, const PropertyValue& value) override;

    // Mouse events in control coordinates. By default they raise the bindable
    // events below; a control class overrides them to handle its own.
    virtual bool Event_MouseDown(Int32 X, Int32 Y) { return MouseDown.Raise(X, Y); }
    virtual void Event_MouseDrag(Int32 X, Int32 Y) { MouseDrag.Raise(X, Y); }
    virtual void Event_MouseUp(Int32 X, Int32 Y) { MouseUp.Raise(X, Y); }
    virtual void Event_DropObject(DragItem& item, Int32 action);

    Event<bool(Int32, Int32)> MouseDown;
    Event<void(Int32, Int32)> MouseDrag;
    Event<void(Int32, Int32)> MouseUp;

    detail::ControlWidget* Widget() const { return mWidget; }
    // Keeps the locked edges at their distance from the window's edges.
    void FollowWindowResize(Int32 dw, Int32 dh) override;

protected:
    RectControl() = default;
    // Makes the native widget of the control inside the window's widget, or
    // none for a control that its window draws (it then has no tooltip and
    // takes no mouse or drop of its own).
    virtual detail::ControlWidget* CreateWidget(Window& window) = 0;

private:
    friend class detail::ControlWidget;
    static const PropertyTable<RectControl>& Properties();
    void AttachTo(Window& window) override;
    void ApplyGeometry();
    // Asks for the control to be drawn again: by its widget, or by its window
    // over the control's area.
    void UpdateArea() const;

    detail::ControlWidget* mWidget = nullptr;  // owned by the window's widget
    Int32 mLeft = 0, mTop = 0, mWidth = 0, mHeight = 0;
    bool mVisible = true, mEnabled = true, mAcceptTextDrop = false;
    bool mLockLeft = false, mLockTop = false, mLockRight = false, mLockBottom = false;
    std::string mHelpTag;
};

}  // namespace kivra::framework
