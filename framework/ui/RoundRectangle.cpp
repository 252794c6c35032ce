#include "framework/ui/RoundRectangle.h"

#include <QPainter>

#include <cstdint>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/detail/RoundRectShape.h"
#include "framework/ui/detail/WindowPainter.h"
#include "framework/values/PropertyTable.h"

namespace kivra::framework {

namespace {

// Filled row by row, without antialiasing: a square changes every second, and
// this is the pixel shape a picture of the window has too.
void PaintRoundRectangle(QPainter& painter, const RoundRectangle& shape, const QRect& r) {
    const QColor fill = QColor::fromRgb(shape.FillColor().Integer());
    const std::int64_t w = r.width(), h = r.height();
    const std::int64_t ow = shape.OvalWidth(), oh = shape.OvalHeight();
    if (ow <= 0 || oh <= 0) {
        painter.fillRect(r, fill);
    } else {
        detail::ForEachRoundRectRun(w, h, ow, oh, 0, h, [&](std::int64_t inset, std::int64_t top, std::int64_t rows) {
            painter.fillRect(QRect(r.x() + static_cast<int>(inset), r.y() + static_cast<int>(top),
                                   static_cast<int>(w - 2 * inset), static_cast<int>(rows)),
                             fill);
        });
    }
    if (shape.BorderWidth() > 0) {
        const qreal half = shape.BorderWidth() / 2.0;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor::fromRgb(shape.BorderColor().Integer()), shape.BorderWidth()));
        painter.drawRoundedRect(QRectF(r).adjusted(half, half, -half, -half), static_cast<double>(ow) / 2.0,
                                static_cast<double>(oh) / 2.0);
        painter.restore();
    }
}

}  // namespace

// Drawn by its window: a clock face of 27 squares then repaints as one widget
// with one painter, not as 27.
detail::ControlWidget* RoundRectangle::CreateWidget(Window&) { return nullptr; }

// Every write redraws, as the program expects of a colour change; the platform
// merges the repaints of one event.
void RoundRectangle::FillColor(Color c) {
    mFillColor = c;
    Refresh();
}
void RoundRectangle::BorderColor(Color c) {
    mBorderColor = c;
    Refresh();
}
void RoundRectangle::BorderWidth(Int32 w) {
    mBorderWidth = w;
    Refresh();
}
void RoundRectangle::OvalWidth(Int32 w) {
    if (w == mOvalWidth) return;
    mOvalWidth = w;
    Refresh();
}
void RoundRectangle::OvalHeight(Int32 h) {
    if (h == mOvalHeight) return;
    mOvalHeight = h;
    Refresh();
}

void RoundRectangle::PaintInWindow(detail::WindowPainter& target) const {
    if (!Visible() || Width() <= 0 || Height() <= 0) return;
    const QRect r(Left(), Top() + target.ClientTop(), Width(), Height());
    if (target.Exposed().intersects(r)) PaintRoundRectangle(target.Painter(), *this, r);
}

void RoundRectangle::DrawIntoPicture(framework::Graphics& g, Int32 x, Int32 y) const {
    if (!Visible()) return;
    g.ForeColor(FillColor());
    g.FillRoundRect(x + Left(), y + Top(), Width(), Height(), OvalWidth(), OvalHeight());
}

const PropertyTable<RoundRectangle>& RoundRectangle::Properties() {
    using R = RoundRectangle;
    static const PropertyTable<RoundRectangle> table =
        PropertyTable<RoundRectangle>()
            .TakesColor("FillColor", [](R& r, Color v) { r.FillColor(v); })
            .TakesColor("BorderColor", [](R& r, Color v) { r.BorderColor(v); })
            .TakesInt32("BorderWidth", [](R& r, Int32 v) { r.BorderWidth(v); })
            .TakesInt32("OvalWidth", [](R& r, Int32 v) { r.OvalWidth(v); })
            .TakesInt32("OvalHeight", [](R& r, Int32 v) { r.OvalHeight(v); });
    return table;
}

void RoundRectangle::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value)) RectControl::SetProperty(name, value);
}

}  // namespace kivra::framework
