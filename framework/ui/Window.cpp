#include "framework/ui/Window.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QRegion>
#include <QScreen>

#include <algorithm>
#include <cmath>

#include "framework/app/MenuItem.h"
#include "framework/app/Runtime.h"
#include "framework/app/detail/MenuBarInstaller.h"
#include "framework/app/detail/RuntimeState.h"
#include "framework/drawing/Graphics.h"
#include "framework/testing/detail/TestSeams.h"
#include "framework/ui/detail/WindowName.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/PropertyTable.h"
#include "framework/values/RuntimeException.h"

namespace kivra::framework {

namespace {

QRect Desktop() {
    QRect desk;
    for (QScreen* screen : QGuiApplication::screens()) desk = desk.united(screen->geometry());
    if (desk.isEmpty()) desk = QRect(0, 0, 1024, 768);
    return desk;
}

long long AreaOf(const QRegion& region) {
    long long area = 0;
    for (const QRect& r : region) area += static_cast<long long>(r.width()) * r.height();
    return area;
}

Int32 Clamp64(long long v, long long lo, long long hi) { return static_cast<Int32>(std::clamp(v, lo, hi)); }

// A size that does not fit the box is scaled down as a whole: the side that is
// furthest over comes to the box's, the other keeps the proportion.
QSize FitWithin(long long width, long long height, QSize box) {
    if (width <= box.width() && height <= box.height()) return QSize(static_cast<int>(width), static_cast<int>(height));
    const double f = std::min(static_cast<double>(box.width()) / static_cast<double>(width),
                              static_cast<double>(box.height()) / static_cast<double>(height));
    auto scaled = [f](long long side, int limit) {
        return Clamp64(std::llround(static_cast<double>(side) * f), 1, limit);
    };
    return QSize(scaled(width, box.width()), scaled(height, box.height()));
}

}  // namespace

Window::Window() : mWidget(std::make_unique<detail::WindowWidget>(*this)) {}

Window::~Window() {
    // Controls' widgets are children of mWidget; drop the controls first so none
    // outlives the widget it draws in. One still held elsewhere no longer has
    // a window to draw in.
    for (const auto& control : mControls) control->LeaveWindow();
    mControlsByName.clear();
    mControls.clear();
}

void Window::Constructor(const std::string& qualifiedName) {
    mQualifiedName = qualifiedName;
    Layout();
    detail::AttachMenuBar(*this);
    mClientTop = detail::MenuBarHeight(*this);
    mWidget->RequestResize(QSize(mWidth, mHeight + mClientTop), !mResizeable);
    CreateControls();
    auto& state = detail::State();
    state.windows.emplace_back(qualifiedName, shared_from_this());
    mOpen = true;
    // Controls open before their window, so the window's Open finds them settled.
    for (const auto& control : std::vector<Ref<Control>>(mControls)) control->Event_Open();
    Event_Open();
    // A modal dialog shows when the program asks for it.
    if (mVisibleAtOpen && mOpen && !mClosing && mFrame != 1) Show();
}

void Window::SetProperties(const PropertySet& properties) {
    for (const auto& [name, value] : properties) SetProperty(name, value);
}

const PropertyTable<Window>& Window::Properties() {
    using W = Window;
    static const PropertyTable<Window> table =
        PropertyTable<Window>()
            .TakesInt32("Width", [](W& w, Int32 v) { w.Width(v); })
            .TakesInt32("Height", [](W& w, Int32 v) { w.Height(v); })
            .TakesInt32("MinWidth", [](W& w, Int32 v) { w.mMinWidth = v; })
            .TakesInt32("MinHeight", [](W& w, Int32 v) { w.mMinHeight = v; })
            .TakesInt32("MaxWidth", [](W& w, Int32 v) { w.mMaxWidth = std::max<Int32>(1, v); })
            .TakesInt32("MaxHeight", [](W& w, Int32 v) { w.mMaxHeight = std::max<Int32>(1, v); })
            .TakesInt32("Frame",
                        [](W& w, Int32 v) {
                            w.mFrame = v;
                            w.ApplyFlags();
                        })
            .TakesInt32("Placement", [](W& w, Int32 v) { w.mPlacement = v; })
            .TakesBoolean("HasBackColor",
                          [](W& w, bool v) {
                              w.mHasBackColor = v;
                              w.mWidget->update();
                          })
            .TakesColor("BackColor",
                        [](W& w, Color v) {
                            w.mBackColor = v;
                            w.mWidget->update();
                        })
            .TakesString("Title", [](W& w, const std::string& v) { w.Title(v); })
            .TakesBoolean("Visible", [](W& w, bool v) { w.mVisibleAtOpen = v; })
            .TakesBoolean("CloseButton",
                          [](W& w, bool v) {
                              w.mCloseButton = v;
                              w.ApplyFlags();
                          })
            .TakesBoolean("MinimizeButton",
                          [](W& w, bool v) {
                              w.mMinimizeButton = v;
                              w.ApplyFlags();
                          })
            .TakesBoolean("MaximizeButton",
                          [](W& w, bool v) {
                              w.mMaximizeButton = v;
                              w.ApplyFlags();
                          })
            .TakesBoolean("Resizeable",
                          [](W& w, bool v) {
                              w.mResizeable = v;
                              w.mWidget->FixSize(!v);
                              w.ApplyFlags();
                          })
            .DropsBoolean({"Composite", "FullScreen", "MenuBarVisible", "LiveResize"})
            .DropsInt32({"MacProcID"});
    return table;
}

void Window::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value)) throw PropertyError("Window has no property " + name);
}

void Window::ApplyFlags() {
    Qt::WindowFlags flags;
    switch (mFrame) {
        case 4:  // plain box: no title bar, no frame, nothing of the system's
            flags = Qt::Window | Qt::FramelessWindowHint;
            break;
        case 1:  // movable modal dialog
            flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
            break;
        default:  // document window
            flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
            break;
    }
    if (mFrame != 4) {
        if (mCloseButton) flags |= Qt::WindowCloseButtonHint;
        if (mMinimizeButton) flags |= Qt::WindowMinimizeButtonHint;
        if (mMaximizeButton && mResizeable) flags |= Qt::WindowMaximizeButtonHint;
    }
    const bool wasVisible = mWidget->isVisible();
    mWidget->setWindowFlags(flags);
    mWidget->Functions({.frameless = mFrame == 4,
                        .close = mCloseButton,
                        .minimize = mMinimizeButton,
                        .maximize = mMaximizeButton,
                        .resize = mResizeable});
    if (wasVisible) mWidget->show();
}

void Window::Left(Int32 v) {
    mLeft = v;
    ClampPosition();
    ApplyPosition();
}

void Window::Top(Int32 v) {
    mTop = v;
    ClampPosition();
    ApplyPosition();
}

void Window::Width(Int32 v) {
    mCutWidth.reset();
    SetSize(v, mHeight, true);
    if (mWidth < v) mCutWidth = v;
}

void Window::Height(Int32 v) {
    // A size is set as a width and then a height (a design size, a size read
    // from settings, a zoom step). Scaled down against the height the window
    // had, a width past the desktop would lose the proportion asked for, so it
    // is only cut to the desktop until the height comes; the height is then
    // set together with the width as it was asked for, and the two are scaled
    // down as one size.
    const Int32 width = mCutWidth.value_or(mWidth);
    mCutWidth.reset();
    SetSize(width, v);
}

void Window::SetSize(Int32 width, Int32 height, bool widthAlone) {
    if (!mOpen) {
        // What Layout sets is the design size.
        mDesignWidth = width;
        mDesignHeight = height;
    }
    // The program's own sizes may go below MinWidth/MinHeight (a turned face is
    // 15 wide), but never above the maximum. No settings file or zoom may make
    // a window, and so a picture of it, larger than the desktop, nor hide its
    // lower right corner beyond the desktop's edge.
    const QRect desk = Desktop();
    const QSize box(std::min<int>(mMaxWidth, desk.width()), std::min<int>(mMaxHeight, desk.height()));
    const long long asked = widthAlone ? std::min<long long>(width, box.width()) : width;
    const QSize fit = FitWithin(std::max<long long>(asked, 1), std::max<long long>(height, 1), box);
    const Int32 w = fit.width(), h = fit.height();
    if (w == mWidth && h == mHeight) return;
    mWidget->RequestResize(QSize(w, h + mClientTop), !mResizeable);
    TakeSize(w, h);
    const Int32 oldLeft = mLeft, oldTop = mTop;
    ClampPosition();
    if (w < width || h < height) {
        // Cut to the desktop, the window belongs wholly on it: its lower right
        // corner, where it is resized, stays in reach.
        mLeft = Clamp64(mLeft, desk.left(), std::max<long long>(desk.left(), desk.left() + desk.width() - w));
        mTop = Clamp64(mTop, desk.top(), std::max<long long>(desk.top(), desk.top() + desk.height() - h));
    }
    if (oldLeft != mLeft || oldTop != mTop) ApplyPosition();
    if (mOpen) Event_Resized();
}

void Window::FollowSize(Int32 width, Int32 height) {
    // A manager that ignores the size hints (a tiling one) has the last word:
    // the window lays itself out for the size it was given.
    mCutWidth.reset();
    if (width == mWidth && height == mHeight) return;
    TakeSize(width, height);
    mWidget->FixSize(!mResizeable);
    if (mOpen) Event_Resized();
}

void Window::TakeSize(Int32 width, Int32 height) {
    const Int32 dw = width - mWidth, dh = height - mHeight;
    mWidth = width;
    mHeight = height;
    for (const auto& control : mControls) control->FollowWindowResize(dw, dh);
}

void Window::ClampPosition() {
    // Keep a grip's worth of the window on the desktop, so it can always be found.
    const QRect desk = Desktop();
    const long long keepX = std::min<Int32>(mWidth, 16), keepY = std::min<Int32>(mHeight, 16);
    mLeft = Clamp64(mLeft, static_cast<long long>(desk.left()) - mWidth + keepX,
                    static_cast<long long>(desk.right()) + 1 - keepX);
    mTop = Clamp64(mTop, static_cast<long long>(desk.top()) - mHeight + keepY,
                   static_cast<long long>(desk.bottom()) + 1 - keepY);
}

void Window::ComeIntoView() {
    // A place and size from an old or edited settings file must not hide the
    // window: one too small to hold anything takes its design size, and one
    // that no screen shows whole is moved onto the screen that shows most of it.
    const Int32 least = std::min(mMinWidth, mMinHeight);
    if (mWidth < least || mHeight < least) SetSize(mDesignWidth, mDesignHeight);
    const QRect frame(mLeft, mTop, mWidth, mHeight);
    QScreen* best = QGuiApplication::primaryScreen();
    long long bestArea = -1;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->geometry();
        if (r.contains(frame)) return;
        const QRect common = r.intersected(frame);
        const long long area = common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = screen;
        }
    }
    if (!best) return;
    const QRect r = best->geometry();
    mLeft = Clamp64(mLeft, r.left(), std::max<long long>(r.left(), static_cast<long long>(r.right()) + 1 - mWidth));
    mTop = Clamp64(mTop, r.top(), std::max<long long>(r.top(), static_cast<long long>(r.bottom()) + 1 - mHeight));
}

void Window::ScreensChanged() {
    // A monitor unplugged or a lower resolution may hide a window, wholly or
    // in part, or leave it larger than the desktop; a manager may make room
    // for it first, or not, and without one nothing does. Such a window is cut
    // to fit and brought back as at its first show, which sees to a window
    // not yet shown. A window that the change hid nothing of stays where its
    // user put it, also partly off the screens.
    const QRegion now = detail::WindowWidget::ScreenRegion();
    const QRegion before = mWidget->SeenScreens(now);
    if (!mOpen || !mShown) return;
    mCutWidth.reset();
    const QRect frame(mLeft, mTop, mWidth, mHeight);
    const long long shown = AreaOf(now.intersected(frame));
    const bool hidden = shown == 0 || shown < AreaOf(before.intersected(frame));
    SetSize(mWidth, mHeight);
    const bool cut = mWidth != frame.width() || mHeight != frame.height();
    if (!hidden && !cut) return;
    ComeIntoView();
    ApplyPosition();
}

void Window::ApplyPosition() { mWidget->RequestMove(QPoint(mLeft, mTop)); }

void Window::BackColor(Color c) {
    detail::Count(&detail::TestSeams::backColorWrites, this);
    if (c == mBackColor) return;  // nothing on screen would change
    mBackColor = c;
    mWidget->update();
}

void Window::Title(const std::string& t) {
    mTitle = t;
    mWidget->setWindowTitle(QString::fromStdString(t));
    detail::WriteEmptyName(*mWidget);
}

bool Window::Visible() const { return mWidget->isVisible(); }

bool Window::Active() const { return mWidget->isActiveWindow(); }

void Window::Show() {
    if (!mOpen) return;
    if (!mShown && (mPlacement == 2 || mFrame == 1)) {
        // Placement 2, and every dialog: centred on the main screen.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        mLeft = screen.left() + (screen.width() - mWidth) / 2;
        mTop = screen.top() + (screen.height() - mHeight) / 3;
        ClampPosition();
    }
    if (!mShown) ComeIntoView();
    mShown = true;
    mWidget->RequestResize(QSize(mWidth, mHeight + mClientTop), !mResizeable);
    mWidget->RequestMove(QPoint(mLeft, mTop));
    mWidget->show();
    mWidget->raise();
    mWidget->activateWindow();
}

void Window::ShowModal() {
    if (!mOpen) return;
    mWidget->setWindowModality(Qt::ApplicationModal);
    Show();
    // Under the test seams the dialog stays open and the caller goes on, so a
    // test can work the dialog.
    if (detail::Seams().dialogsScripted) return;
    auto keepAlive = shared_from_this();
    QEventLoop loop;
    mEndModal = [&loop] { loop.quit(); };
    loop.exec();
    mEndModal = nullptr;
}

void Window::Close() {
    if (!mOpen || mClosing) return;
    mClosing = true;
    auto keepAlive = shared_from_this();
    Event_Close();
    for (const auto& control : mControls) control->WindowClosing();
    // With the display gone, a widget call would touch a dead connection.
    if (!detail::State().displayLost) mWidget->hide();
    mOpen = false;
    auto& state = detail::State();
    auto it = std::find_if(state.windows.begin(), state.windows.end(),
                           [this](const auto& entry) { return entry.second.get() == this; });
    if (it != state.windows.end()) {
        state.closed.push_back(it->second);
        state.windows.erase(it);
        detail::ScheduleRelease();
    }
    if (mEndModal) mEndModal();
}

void Window::Refresh(bool /*eraseBackground*/) { mWidget->update(); }

void Window::MouseCursor(framework::MouseCursor cursor) {
    const Qt::CursorShape shape =
        cursor == framework::MouseCursor::ArrowNorthwestSoutheast ? Qt::SizeFDiagCursor : Qt::ArrowCursor;
    if (mWidget->cursor().shape() != shape) mWidget->setCursor(shape);
}

void Window::DrawInto(Graphics& g, Int32 x, Int32 y, bool /*drawFrame*/) {
    g.ForeColor(mHasBackColor ? mBackColor : Color(0xEFEFEF));
    g.FillRect(x, y, mWidth, mHeight);
    for (const auto& control : mControls) control->DrawIntoPicture(g, x, y);
}

void Window::Adopt(const std::shared_ptr<Control>& control) {
    mControls.push_back(control);
    control->AttachTo(*this);
}

void Window::AddControl(const Ref<Control>& control, const std::string& name) {
    Control& added = *control;
    if (added.OwnerWindow() == nullptr) {
        Adopt(control.shared());
    } else if (added.OwnerWindow() != this) {
        throw RuntimeException("control " + name + " belongs to another window");
    }
    for (const auto& [known, named] : mControlsByName) {
        if (named == &added) throw RuntimeException("control " + name + " is already named " + known);
    }
    added.NameInWindow(name);
    mControlsByName.emplace(name, &added);
}

Ref<Control> Window::ControlByName(const std::string& name) const {
    auto it = mControlsByName.find(name);
    if (it == mControlsByName.end()) return nullptr;
    return Ref<Control>(it->second->shared_from_this());
}

Ref<Control> Window::ControlByNameIndex(const std::string& name, Int32 index) const {
    auto [first, last] = mControlsByName.equal_range(name);
    for (auto it = first; it != last; ++it) {
        if (it->second->Index() == index) return Ref<Control>(it->second->shared_from_this());
    }
    return nullptr;
}

bool Window::Event_MouseDown(Int32, Int32) { return false; }
void Window::Event_MouseDrag(Int32, Int32) {}
void Window::Event_MouseUp(Int32, Int32) {}
void Window::Event_MouseMove(Int32, Int32) {}
bool Window::Event_MouseWheel(Int32, Int32, Int32, Int32) { return false; }
bool Window::Event_ConstructContextualMenu(MenuItem&, Int32, Int32) { return false; }
bool Window::Event_ContextualMenuAction(MenuItem&) { return false; }

Ref<Window> GetImplicitWindow(const std::string& qualifiedName) {
    for (const auto& [name, window] : detail::State().windows) {
        if (name == qualifiedName) return Ref<Window>(window);
    }
    return nullptr;
}

std::vector<Ref<Window>> OpenWindows() {
    std::vector<Ref<Window>> result;
    for (const auto& entry : detail::State().windows) result.emplace_back(entry.second);
    return result;
}

}  // namespace kivra::framework
