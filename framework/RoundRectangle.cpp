#include "framework/RoundRectangle.h"

namespace kivra::framework {

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
