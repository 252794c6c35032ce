#include "framework/ui/Canvas.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

#include <exception>

#include "framework/app/Runtime.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlWidget.h"
#include "framework/ui/detail/WindowWidget.h"

namespace kivra::framework {

namespace detail {

class CanvasWidget : public ControlWidget {
public:
    CanvasWidget(Canvas& owner, QWidget* parent) : ControlWidget(owner, parent), mCanvas(owner) {}

protected:
    // A canvas may look different in an inactive window.
    bool event(QEvent* e) override {
        if (e->type() == QEvent::WindowActivate || e->type() == QEvent::WindowDeactivate) update();
        return ControlWidget::event(e);
    }

    void paintEvent(QPaintEvent*) override {
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

private:
    Canvas& mCanvas;
    bool mFailedLastPaint = false;
};

}  // namespace detail

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

detail::ControlWidget* Canvas::CreateWidget(Window& window) {
    return new detail::CanvasWidget(*this, &window.Widget());
}

void Canvas::EnsureBacking() {
    const Int32 w = std::max<Int32>(Width(), 1), h = std::max<Int32>(Height(), 1);
    if (mBacking && mBacking->Width() == w && mBacking->Height() == h) return;
    mBacking = detail::NewTransparentPicture(w, h);
}

Ref<Graphics> Canvas::Graphics() {
    EnsureBacking();
    // What is drawn through it shows at the next repaint.
    if (Widget() && !mPainting) Widget()->update();
    return mBacking->Graphics();
}

void Canvas::DrawIntoPicture(framework::Graphics& g, Int32 x, Int32 y) const {
    if (Visible()) g.DrawPicture(Backing(), x + Left(), y + Top());
}

}  // namespace kivra::framework
