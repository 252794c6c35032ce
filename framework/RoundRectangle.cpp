#include "framework/RoundRectangle.h"

#include <QPainter>

#include <cstdint>

#include "framework/Window.h"
#include "framework/detail/ControlWidget.h"
#include "framework/detail/RoundRectShape.h"
#include "framework/detail/WindowWidget.h"

namespace kivra::framework {

namespace {

class RoundRectangleWidget : public detail::ControlWidget {
public:
    RoundRectangleWidget(RoundRectangle& owner, QWidget* parent) : ControlWidget(owner, parent), mShape(owner) {}

protected:
    // Filled row by row, without antialiasing: a square changes every second,
    // and this is the pixel shape the dock icon's snapshot has too.
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const std::int64_t w = width(), h = height();
        const std::int64_t ow = mShape.OvalWidth(), oh = mShape.OvalHeight();
        const QColor fill = QColor::fromRgb(mShape.FillColor().Integer());
        if (ow <= 0 || oh <= 0) {
            painter.fillRect(rect(), fill);
        } else {
            std::int64_t runStart = 0, runSkip = -1;
            for (std::int64_t j = 0; j <= h; ++j) {
                const std::int64_t skip = j < h ? detail::RoundRectInset(j, w, h, ow, oh) : -1;
                if (skip == runSkip) continue;
                if (runSkip >= 0 && w - 2 * runSkip > 0)
                    painter.fillRect(QRect(static_cast<int>(runSkip), static_cast<int>(runStart),
                                           static_cast<int>(w - 2 * runSkip), static_cast<int>(j - runStart)),
                                     fill);
                runStart = j;
                runSkip = skip;
            }
        }
        if (mShape.BorderWidth() > 0) {
            const qreal half = mShape.BorderWidth() / 2.0;
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor::fromRgb(mShape.BorderColor().Integer()), mShape.BorderWidth()));
            painter.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), static_cast<double>(ow) / 2.0, static_cast<double>(oh) / 2.0);
        }
    }

private:
    RoundRectangle& mShape;
};

}  // namespace

detail::ControlWidget* RoundRectangle::CreateWidget(Window& window) {
    return new RoundRectangleWidget(*this, &window.Widget());
}

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

void RoundRectangle::SetProperty(const std::string& name, const PropertyValue& value) {
    if (name == "FillColor") {
        FillColor(PropertyColor(name, value));
    } else if (name == "BorderColor") {
        BorderColor(PropertyColor(name, value));
    } else if (name == "BorderWidth") {
        BorderWidth(PropertyInt32(name, value));
    } else if (name == "OvalWidth") {
        OvalWidth(PropertyInt32(name, value));
    } else if (name == "OvalHeight") {
        OvalHeight(PropertyInt32(name, value));
    } else {
        RectControl::SetProperty(name, value);
    }
}

}  // namespace kivra::framework
