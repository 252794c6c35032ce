#include "framework/ui/detail/WindowWidget.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QWheelEvent>

#include <cmath>
#include <utility>

#include "framework/app/Runtime.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowDispatch.h"
#include "framework/ui/detail/WindowName.h"
#include "framework/ui/detail/WindowPainter.h"

namespace kivra::framework::detail {

WindowWidget::WindowWidget(Window& owner) : QWidget(nullptr), mOwner(owner) {
    setMouseTracking(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
    mScreens = ScreenRegion();
    auto watch = [this](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, &WindowWidget::ScreensChanged);
    };
    for (QScreen* screen : QGuiApplication::screens()) watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this, watch](QScreen* screen) {
        watch(screen);
        ScreensChanged();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, &WindowWidget::ScreensChanged);
}

QRegion WindowWidget::ScreenRegion() {
    QRegion region;
    for (QScreen* screen : QGuiApplication::screens()) region += screen->geometry();
    return region;
}

QRegion WindowWidget::SeenScreens(const QRegion& now) { return std::exchange(mScreens, now); }

void WindowWidget::ScreensChanged() {
    // One change of the screens comes as several reports, and the list of
    // screens may not have caught up with a removal yet: the window looks at
    // them once, after the last.
    if (mScreensChanged) return;
    mScreensChanged = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mScreensChanged = false;
            WindowDispatch::ScreensChanged(mOwner);
        },
        Qt::QueuedConnection);
}

void WindowWidget::RequestMove(QPoint topLeft) {
    if (pos() == topLeft) return;
    mMoves.Expect(topLeft);
    mRequesting = true;
    move(topLeft);
    mRequesting = false;
}

void WindowWidget::RequestResize(QSize size, bool fixed) {
    if (this->size() == size) {
        FixSize(fixed);
        return;
    }
    mSizes.Expect(size);
    mRequesting = true;
    ResizeWithin(size, fixed);
    mRequesting = false;
}

void WindowWidget::ResizeWithin(QSize size, bool fixed) {
    if (!fixed) {
        resize(size);
        return;
    }
    // Qt resizes a widget whose least or largest size passes its own, so the
    // bounds open to take both sizes first and close on the new one after:
    // the window changes size once, straight to the new one.
    const QSize old = this->size();
    setMinimumSize(old.boundedTo(size));
    setMaximumSize(old.expandedTo(size));
    resize(size);
    setMinimumSize(size);
    setMaximumSize(size);
}

void WindowWidget::FixSize(bool fixed) {
    if (fixed) {
        if (minimumSize() == size() && maximumSize() == size()) return;
        ResizeWithin(size(), true);
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

QPoint WindowWidget::ToWindow(QPointF global) const {
    // The program moves the window under the mouse while it drags; the platform
    // may not have caught up with the last move yet, so measure from where the
    // program put the window.
    return QPoint(static_cast<int>(std::floor(global.x())) - mOwner.Left(),
                  static_cast<int>(std::floor(global.y())) - mOwner.Top() - mOwner.ClientTop());
}

void WindowWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QColor back =
        mOwner.HasBackColor() ? QColor::fromRgb(mOwner.BackColor().Integer()) : palette().color(QPalette::Window);
    painter.fillRect(event->rect(), back);
    WindowPainter windowPainter(painter, event->region(), mOwner.ClientTop());
    for (const auto& control : mOwner.Controls()) control->PaintInWindow(windowPainter);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    if (WindowDispatch::Pressed(mOwner)) return;
    const QPoint p = ToWindow(event->globalPosition());
    WindowDispatch::Press(mOwner, p.x(), p.y(), event->button() == Qt::RightButton, event->globalPosition().toPoint());
}

void WindowWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ToWindow(event->globalPosition());
    WindowDispatch::Move(mOwner, p.x(), p.y());
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) return;  // another button is still held
    const QPoint p = ToWindow(event->globalPosition());
    WindowDispatch::Release(mOwner, p.x(), p.y());
}

void WindowWidget::wheelEvent(QWheelEvent* event) {
    // With Alt held, Qt on X11 swaps the two axes of every wheel event (a turn
    // comes as x, a sideways scroll as y); the event's own modifiers are what
    // it went by.
    const QPoint angle = event->angleDelta();
    int vertical = angle.y();
    int horizontal = angle.x();
    if (event->modifiers().testFlag(Qt::AltModifier)) std::swap(vertical, horizontal);
    // Away from the user is a negative delta, as the program counts it.
    auto steps = [](int eighths) {
        return eighths == 0 ? 0 : (eighths > 0 ? -std::max(1, eighths / 120) : std::max(1, -eighths / 120));
    };
    const QPoint p = ToWindow(event->globalPosition());
    if (!WindowDispatch::Wheel(mOwner, p.x(), p.y(), steps(horizontal), steps(vertical))) event->ignore();
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The window's Close handling decides; Qt only hides what it is told to.
    event->ignore();
    Guarded([this] { mOwner.Close(); });
}

void WindowWidget::Functions(const WindowFunctions& functions) {
    mFunctions = functions;
    WriteMotifHints(*this, mFunctions);
}

void WindowWidget::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The X window may have been made just now, with Qt's hints: before it is
    // mapped, where the manager reads them.
    WriteMotifHints(*this, mFunctions);
    WriteEmptyName(*this);
}

void WindowWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // pos(), not the event's: that is the window's own area, while the
    // program places the frame.
    if (mRequesting || mMoves.IsEcho(pos())) return;
    WindowDispatch::Moved(mOwner, pos().x(), pos().y());
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (mRequesting || mSizes.IsEcho(size())) return;
    WindowDispatch::Resized(mOwner, width(), height());
}

}  // namespace kivra::framework::detail
