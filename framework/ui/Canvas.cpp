#include "framework/ui/Canvas.h"

#include <algorithm>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/CanvasWidget.h"
#include "framework/ui/detail/WindowWidget.h"

namespace kivra::framework {

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
