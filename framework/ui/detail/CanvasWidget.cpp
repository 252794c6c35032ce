#include "framework/ui/detail/CanvasWidget.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

#include <exception>

#include "framework/app/Runtime.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/ui/Canvas.h"

namespace kivra::framework::detail {

CanvasWidget::CanvasWidget(Canvas& owner, QWidget* parent) : ControlWidget(owner, parent), mCanvas(owner) {}

// A canvas may look different in an inactive window.
bool CanvasWidget::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) update();
    return ControlWidget::event(e);
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    auto keepAlive = mCanvas.shared_from_this();
    mCanvas.mPainting = true;
    std::exception_ptr failure;
    try {
        Ref<Graphics> g = mCanvas.Graphics();
        mCanvas.Event_Paint(*g);
    } catch (...) {
        failure = std::current_exception();
    }
    mCanvas.mPainting = false;
    if (Ref<Picture> backing = mCanvas.Backing()) {
        QPainter painter(this);
        painter.drawImage(0, 0, detail::DisplayImage(*backing));
    }
    // Reported once the paint is over: a modal box run from inside a paint
    // keeps Qt re-posting this widget's updates, a busy loop for as long
    // as the box is up. A handler that fails at every repaint (a picture
    // that cannot be read) is reported once, not at each one, until a
    // paint succeeds again.
    if (failure && !mFailedLastPaint && QCoreApplication::instance())
        QTimer::singleShot(0, QCoreApplication::instance(), [failure] { ReportEscaped(failure); });
    mFailedLastPaint = static_cast<bool>(failure);
}

}  // namespace kivra::framework::detail
