#include "framework/ui/detail/ControlWidget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "framework/ui/RectControl.h"
#include "framework/ui/detail/ControlDispatch.h"

namespace kivra::framework::detail {

ControlWidget::ControlWidget(RectControl& owner, QWidget* parent) : QWidget(parent), mOwner(owner) {}

// Whichever goes first, the control or its window's widget, the other must not
// delete this widget again.
ControlWidget::~ControlWidget() { mOwner.mWidget = nullptr; }

void ControlWidget::mousePressEvent(QMouseEvent* event) {
    if (mPressed || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    if (ControlDispatch::Press(mOwner, p.x(), p.y(), event->button() == Qt::RightButton)) {
        mPressed = true;
    } else {
        event->ignore();  // the window gets the press
    }
}

void ControlWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!mPressed) {
        event->ignore();
        return;
    }
    const QPoint p = event->position().toPoint();
    ControlDispatch::Move(mOwner, p.x(), p.y());
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (!mPressed) {
        event->ignore();
        return;
    }
    mPressed = false;
    const QPoint p = event->position().toPoint();
    ControlDispatch::Release(mOwner, p.x(), p.y());
}

void ControlWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (mOwner.AcceptsTextDrop() && event->mimeData()->hasText()) event->acceptProposedAction();
}

void ControlWidget::dropEvent(QDropEvent* event) {
    if (!mOwner.AcceptsTextDrop() || !event->mimeData()->hasText()) return;
    event->acceptProposedAction();
    ControlDispatch::DropText(mOwner, event->mimeData()->text().toStdString());
}

}  // namespace kivra::framework::detail
