#include "framework/Canvas.h"

#include <QEvent>
#include <QPainter>

#include "framework/Graphics.h"
#include "framework/Picture.h"
#include "framework/Runtime.h"
#include "framework/Window.h"
#include "framework/detail/ControlWidget.h"
#include "framework/detail/PictureData.h"
#include "framework/detail/WindowWidget.h"

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
        Guarded([this] {
            Ref<Graphics> g = mCanvas.Graphics();
            mCanvas.Event_Paint(*g);
        });
        mCanvas.mPainting = false;
        if (Ref<Picture> backing = mCanvas.Backing()) {
            QPainter painter(this);
            painter.drawImage(0, 0, detail::DisplayImage(*backing));
        }
    }

private:
    Canvas& mCanvas;
};

}  // namespace detail

Canvas::Canvas() = default;
Canvas::~Canvas() = default;

detail::ControlWidget* Canvas::CreateWidget(Window& window) { return new detail::CanvasWidget(*this, &window.Widget()); }

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

void Canvas::SetProperty(const std::string& name, const PropertyValue& value) {
    RectControl::SetProperty(name, value);
}

}  // namespace kivra::framework
