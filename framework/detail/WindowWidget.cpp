#include "framework/detail/WindowWidget.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

#include "framework/Keyboard.h"
#include "framework/Runtime.h"
#include "framework/Window.h"
#include "framework/detail/WindowDispatch.h"

namespace kivra::framework::detail {

WindowWidget::WindowWidget(Window& owner) : QWidget(nullptr), mOwner(owner) {
    setMouseTracking(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void WindowWidget::RequestMove(QPoint topLeft) {
    if (pos() == topLeft) return;
    mPendingMove = true;
    mRequestedPos = topLeft;
    move(topLeft);
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
    const QColor back = mOwner.HasBackColor() ? QColor::fromRgb(mOwner.BackColor().Integer())
                                              : palette().color(QPalette::Window);
    painter.fillRect(event->rect(), back);
}

void WindowWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    if (WindowDispatch::Pressed(mOwner)) return;
    const QPoint p = ToWindow(event->globalPosition());
    WindowDispatch::Press(mOwner, p.x(), p.y(), event->button() == Qt::RightButton,
                          event->globalPosition().toPoint());
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
    // With Alt held, X11 reports a vertical turn as a horizontal one.
    QPoint angle = event->angleDelta();
    int vertical = angle.y();
    int horizontal = angle.x();
    if (vertical == 0 && Keyboard::AsyncAltKey()) std::swap(vertical, horizontal);
    // Away from the user is a negative delta, as the program counts it.
    auto steps = [](int eighths) { return eighths == 0 ? 0 : (eighths > 0 ? -std::max(1, eighths / 120) : std::max(1, -eighths / 120)); };
    const QPoint p = ToWindow(event->globalPosition());
    if (!WindowDispatch::Wheel(mOwner, p.x(), p.y(), steps(horizontal), steps(vertical))) event->ignore();
}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The window's Close handling decides; Qt only hides what it is told to.
    event->ignore();
    Guarded([this] { mOwner.Close(); });
}

void WindowWidget::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (mPendingMove) {
        if (event->pos() == mRequestedPos) mPendingMove = false;
    }
}

}  // namespace kivra::framework::detail
