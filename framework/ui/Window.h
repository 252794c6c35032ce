#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/ui/Control.h"
#include "framework/ui/MouseCursor.h"
#include "framework/values/Color.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Ref.h"
#include "framework/values/Types.h"

namespace kivra::framework {

class Graphics;
class MenuItem;

namespace detail {
class WindowWidget;
struct WindowDispatch;
}  // namespace detail

// A window of the program. A subclass is built with Constructor: Layout,
// CreateControls, registration under its qualified class name, Open. It stays
// registered (and alive) until its Close handling has finished.
class Window : public std::enable_shared_from_this<Window> {
public:
    Window();
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void Constructor(const std::string& qualifiedName);
    virtual void Layout() {}
    virtual void CreateControls() {}

    void SetProperties(const PropertySet& properties);
    // Raises PropertyError for a name the window does not know.
    virtual void SetProperty(const std::string& name, const PropertyValue& value);

    // Screen position and size in pixels: where the window really is, also
    // after the window manager moved or sized it. A size change raises
    // Resized, once per real change, at once when the program sets it. Sizes
    // stay within MaxWidth/MaxHeight and within the desktop's width and
    // height; a size that does not fit is scaled down as a whole, so it keeps
    // its proportions. A height set after a width that had to be cut is taken
    // together with that width as it was asked for.
    // A window the program places stays at least partly on a screen. One that
    // a change of the screens hides, wholly or in part, or leaves larger than
    // the desktop, is cut to fit and comes back as at its first show.
    Int32 Left() const { return mLeft; }
    void Left(Int32 v);
    Int32 Top() const { return mTop; }
    void Top(Int32 v);
    Int32 Width() const { return mWidth; }
    void Width(Int32 v);
    Int32 Height() const { return mHeight; }
    void Height(Int32 v);
    Int32 MinWidth() const { return mMinWidth; }
    Int32 MinHeight() const { return mMinHeight; }
    Int32 MaxWidth() const { return mMaxWidth; }
    Int32 MaxHeight() const { return mMaxHeight; }

    Color BackColor() const { return mBackColor; }
    void BackColor(Color c);
    bool HasBackColor() const { return mHasBackColor; }
    std::string Title() const { return mTitle; }
    void Title(const std::string& t);
    Int32 Frame() const { return mFrame; }
    bool Visible() const;
    bool IsOpen() const { return mOpen; }
    // The window is the active (focused) one.
    bool Active() const;

    void Show();
    // Shows the window modally and returns when it has closed.
    void ShowModal();
    void Close();
    // Repaints the whole window at once.
    void Refresh(bool eraseBackground = true);
    void MouseCursor(framework::MouseCursor cursor);
    // Draws the window's background and controls into g with its top-left corner at (x, y).
    void DrawInto(Graphics& g, Int32 x, Int32 y, bool drawFrame = false);

    // Controls. New creates a control in the window and keeps it there, named
    // or not: the window lets go of every control it made as it goes, so no
    // control can point at a window that is gone.
    template <typename T, typename... Args>
    Ref<T> New(Args&&... args) {
        auto control = std::make_shared<T>(std::forward<Args>(args)...);
        Adopt(control);
        return Ref<T>(control);
    }
    // Names a control of the window, taking it in first if it was made
    // elsewhere; several under one name form a control array. A control of
    // another window, or one named already, raises RuntimeException.
    void AddControl(const Ref<Control>& control, const std::string& name);
    Ref<Control> ControlByName(const std::string& name) const;
    Ref<Control> ControlByNameIndex(const std::string& name, Int32 index) const;
    const std::vector<Ref<Control>>& Controls() const { return mControls; }

    // The window's events; positions in window pixels.
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    virtual void Event_Resized() {}
    virtual bool Event_MouseDown(Int32 X, Int32 Y);
    virtual void Event_MouseDrag(Int32 X, Int32 Y);
    virtual void Event_MouseUp(Int32 X, Int32 Y);
    virtual void Event_MouseMove(Int32 X, Int32 Y);
    virtual bool Event_MouseWheel(Int32 X, Int32 Y, Int32 deltaX, Int32 deltaY);
    virtual bool Event_ConstructContextualMenu(MenuItem& menu, Int32 X, Int32 Y);
    virtual bool Event_ContextualMenuAction(MenuItem& hitItem);

    detail::WindowWidget& Widget() const { return *mWidget; }
    // The pixels above the client area taken by a menu bar the window shows itself.
    Int32 ClientTop() const { return mClientTop; }

private:
    friend struct detail::WindowDispatch;
    static const PropertyTable<Window>& Properties();
    void Adopt(const std::shared_ptr<Control>& control);
    void ApplyFlags();
    void ApplyPosition();
    // A width set alone is cut to the desktop on its own, not in proportion.
    void SetSize(Int32 width, Int32 height, bool widthAlone = false);
    void FollowSize(Int32 width, Int32 height);
    void TakeSize(Int32 width, Int32 height);
    void ClampPosition();
    void ComeIntoView();
    void ScreensChanged();

    std::unique_ptr<detail::WindowWidget> mWidget;
    std::vector<Ref<Control>> mControls;
    std::multimap<std::string, Control*> mControlsByName;
    std::string mQualifiedName;
    Int32 mLeft = 0, mTop = 0, mWidth = 100, mHeight = 100;
    Int32 mMinWidth = 64, mMinHeight = 64, mMaxWidth = 32000, mMaxHeight = 32000;
    Int32 mFrame = 0, mPlacement = 0;
    Color mBackColor{0xFFFFFF};
    bool mHasBackColor = false;
    bool mCloseButton = true;
    bool mMinimizeButton = false;
    bool mMaximizeButton = true;
    bool mResizeable = true;
    bool mVisibleAtOpen = true;
    bool mOpen = false;  // registered, between Open and the end of Close
    bool mClosing = false;
    bool mShown = false;
    std::string mTitle;
    std::function<void()> mEndModal;
    bool mMousePressed = false;
    Int32 mClientTop = 0;
    Int32 mDesignWidth = 100, mDesignHeight = 100;
    // A width the desktop has cut, as the program asked for it, until the
    // next height is set.
    std::optional<Int32> mCutWidth;
};

// The open window registered under a qualified class name, or Nil.
Ref<Window> GetImplicitWindow(const std::string& qualifiedName);
// Every open window, in the order they were opened.
std::vector<Ref<Window>> OpenWindows();

}  // namespace kivra::framework
