#include "framework/ui/RectControl.h"

#include "framework/app/Runtime.h"
#include "framework/app/detail/RuntimeState.h"
#include "framework/testing/detail/TestSeams.h"
#include "framework/ui/DragItem.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlDispatch.h"
#include "framework/ui/detail/ControlWidget.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

RectControl::~RectControl() {
    // The window's widget owns the native widget; a control dropped on its own
    // takes its widget with it.
    delete mWidget;
}

void RectControl::AttachTo(Window& window) {
    Control::AttachTo(window);
    mWidget = CreateWidget(window);
    if (!mWidget) {
        UpdateArea();
        return;
    }
    ApplyGeometry();
    mWidget->setVisible(mVisible);
}

void RectControl::ApplyGeometry() {
    if (!mWidget) {
        UpdateArea();
        return;
    }
    const Int32 clientTop = OwnerWindow() ? OwnerWindow()->ClientTop() : 0;
    mWidget->setGeometry(mLeft, mTop + clientTop, std::max<Int32>(mWidth, 0), std::max<Int32>(mHeight, 0));
}

void RectControl::Left(Int32 v) {
    if (!mWidget) UpdateArea();  // where it was
    mLeft = v;
    ApplyGeometry();
}
void RectControl::Top(Int32 v) {
    if (!mWidget) UpdateArea();  // where it was
    mTop = v;
    ApplyGeometry();
}
void RectControl::Width(Int32 v) {
    if (!mWidget) UpdateArea();  // where it was
    mWidth = v;
    ApplyGeometry();
}
void RectControl::Height(Int32 v) {
    if (!mWidget) UpdateArea();  // where it was
    mHeight = v;
    ApplyGeometry();
}

void RectControl::Visible(bool v) {
    if (v == mVisible) return;
    mVisible = v;
    if (mWidget)
        mWidget->setVisible(v);
    else
        UpdateArea();
}

void RectControl::Enabled(bool v) {
    mEnabled = v;
    if (mWidget) mWidget->setEnabled(v);
    Refresh();
}

bool RectControl::Active() const {
    Window* window = OwnerWindow();
    return window && window->Active();
}

void RectControl::AcceptTextDrop() {
    mAcceptTextDrop = true;
    if (mWidget) mWidget->setAcceptDrops(true);
}

Ref<DragItem> RectControl::NewDragItem(Int32 left, Int32 top, Int32 width, Int32 height) {
    return Ref<DragItem>(std::make_shared<DragItem>(this, left, top, width, height));
}

void RectControl::Refresh() {
    detail::Count(&detail::TestSeams::redraws, this);
    UpdateArea();
}

void RectControl::UpdateArea() const {
    if (mWidget) {
        mWidget->update();
        return;
    }
    Window* window = OwnerWindow();
    if (window && mWidth > 0 && mHeight > 0)
        window->Widget().update(mLeft, mTop + window->ClientTop(), mWidth, mHeight);
}

void RectControl::Event_DropObject(DragItem&, Int32) {}

void RectControl::FollowWindowResize(Int32 dw, Int32 dh) {
    if (!mWidget && (mLockRight || mLockBottom)) UpdateArea();  // where it was
    if (mLockRight) {
        if (mLockLeft)
            mWidth += dw;
        else
            mLeft += dw;
    }
    if (mLockBottom) {
        if (mLockTop)
            mHeight += dh;
        else
            mTop += dh;
    }
    if (mLockRight || mLockBottom) ApplyGeometry();
}

const PropertyTable<RectControl>& RectControl::Properties() {
    using C = RectControl;
    static const PropertyTable<RectControl> table =
        PropertyTable<RectControl>()
            .TakesInt32("Left", [](C& c, Int32 v) { c.Left(v); })
            .TakesInt32("Top", [](C& c, Int32 v) { c.Top(v); })
            .TakesInt32("Width", [](C& c, Int32 v) { c.Width(v); })
            .TakesInt32("Height", [](C& c, Int32 v) { c.Height(v); })
            .TakesBoolean("Visible", [](C& c, bool v) { c.Visible(v); })
            .TakesBoolean("Enabled", [](C& c, bool v) { c.Enabled(v); })
            .TakesBoolean("LockLeft", [](C& c, bool v) { c.mLockLeft = v; })
            .TakesBoolean("LockTop", [](C& c, bool v) { c.mLockTop = v; })
            .TakesBoolean("LockRight", [](C& c, bool v) { c.mLockRight = v; })
            .TakesBoolean("LockBottom", [](C& c, bool v) { c.mLockBottom = v; })
            .TakesString("HelpTag",
                         [](C& c, const std::string& v) {
                             c.mHelpTag = v;
                             if (c.mWidget) c.mWidget->setToolTip(QString::fromStdString(v));
                         })
            // Every control of the program stands on its window itself.
            .TakesString("InitialParent",
                         [](C&, const std::string& v) {
                             if (!v.empty()) throw PropertyError("controls inside controls are not supported");
                         })
            .DropsInt32({"TabIndex", "TabPanelIndex"})
            .DropsBoolean({"AutoDeactivate", "TabStop", "UseFocusRing", "AcceptFocus", "AcceptTabs", "EraseBackground"})
            .DropsString({"DataSource", "DataField"});
    return table;
}

void RectControl::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value)) Control::SetProperty(name, value);
}

namespace detail {

bool ControlDispatch::Press(RectControl& control, Int32 x, Int32 y, bool contextual) {
    auto keepAlive = control.shared_from_this();
    auto& state = State();
    bool claimed = false;
    state.contextualClick = contextual;
    Guarded([&] { claimed = control.Event_MouseDown(x, y); });
    state.contextualClick = false;
    return claimed;
}

void ControlDispatch::Move(RectControl& control, Int32 x, Int32 y) {
    auto keepAlive = control.shared_from_this();
    Guarded([&] { control.Event_MouseDrag(x, y); });
}

void ControlDispatch::Release(RectControl& control, Int32 x, Int32 y) {
    auto keepAlive = control.shared_from_this();
    Guarded([&] { control.Event_MouseUp(x, y); });
}

void ControlDispatch::DropText(RectControl& control, const std::string& text) {
    auto keepAlive = control.shared_from_this();
    DragItem item(nullptr, 0, 0, 0, 0);
    item.Text(text);
    Guarded([&] { control.Event_DropObject(item, 0); });
}

}  // namespace detail

}  // namespace kivra::framework
