#include "framework/RoundRectangle.h"

#include <QPainter>
#include <QPainterPath>

#include "framework/Window.h"
#include "framework/detail/ControlWidget.h"
#include "framework/detail/WindowWidget.h"

namespace kivra::framework {

namespace {

class RoundRectangleWidget : public detail::ControlWidget {
public:
    RoundRectangleWidget(RoundRectangle& owner, QWidget* parent) : ControlWidget(owner, parent), mShape(owner) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box(0, 0, width(), height());
        const qreal rx = mShape.OvalWidth() / 2.0, ry = mShape.OvalHeight() / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(mShape.FillColor().Integer()));
        painter.drawRoundedRect(box, rx, ry);
        if (mShape.BorderWidth() > 0) {
            const qreal half = mShape.BorderWidth() / 2.0;
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor::fromRgb(mShape.BorderColor().Integer()), mShape.BorderWidth()));
            painter.drawRoundedRect(box.adjusted(half, half, -half, -half), rx, ry);
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
