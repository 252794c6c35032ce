#include "framework/ui/DragItem.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include <algorithm>

#include "framework/testing/detail/TestSeams.h"
#include "framework/ui/RectControl.h"
#include "framework/ui/detail/ControlWidget.h"

namespace kivra::framework {

DragItem::DragItem(RectControl* source, Int32 left, Int32 top, Int32 width, Int32 height)
    : mSource(source), mLeft(left), mTop(top), mWidth(width), mHeight(height) {}

void DragItem::Drag() {
    if (auto& seams = detail::Seams(); seams.dialogsScripted) {
        seams.dragLog.push_back(mText);
        return;
    }
    if (!mSource || !mSource->Widget()) return;
    QWidget* widget = mSource->Widget();

    auto* data = new QMimeData;
    if (mHasText) data->setText(QString::fromStdString(mText));

    // The dragged rectangle shows as an outline of its own size, kept small.
    const int w = std::clamp(mWidth, 1, 64);
    const int h = std::clamp(mHeight, 1, 64);
    QPixmap outline(w, h);
    outline.fill(Qt::transparent);
    {
        QPainter painter(&outline);
        painter.setPen(QColor(64, 64, 64));
        painter.drawRect(0, 0, w - 1, h - 1);
    }

    // The rectangle is in window coordinates; the hot spot is where the mouse is in it.
    const QPoint inWindow = widget->window()->mapFromGlobal(QCursor::pos());
    const auto within = [](long long offset, int size) {
        return static_cast<int>(std::clamp(offset, 0LL, static_cast<long long>(size - 1)));
    };
    const QPoint hotSpot(within(static_cast<long long>(inWindow.x()) - mLeft, w),
                         within(static_cast<long long>(inWindow.y()) - mTop, h));

    QPointer<QWidget> source = widget;
    QPointer<QDrag> drag = new QDrag(widget);
    drag->setMimeData(data);
    drag->setPixmap(outline);
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::CopyAction);
    if (drag) drag->deleteLater();

    // The drag swallows the release of the button, which would leave the control
    // pressed and deaf to the next press: end the press once this event is done.
    if (source && !QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) {
        const QPointF global = QCursor::pos();
        QCoreApplication::postEvent(
            source, new QMouseEvent(QEvent::MouseButtonRelease, source->mapFromGlobal(global), global, Qt::LeftButton,
                                    Qt::NoButton, QGuiApplication::keyboardModifiers()));
    }
}

}  // namespace kivra::framework
