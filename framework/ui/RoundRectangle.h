#pragma once

#include "framework/ui/RectControl.h"
#include "framework/values/Color.h"

namespace kivra::framework {

// A filled rectangle with rounded corners, drawn by its window. The mouse
// passes through it to its window.
class RoundRectangle : public RectControl {
public:
    Color FillColor() const { return mFillColor; }
    void FillColor(Color c);
    Color BorderColor() const { return mBorderColor; }
    void BorderColor(Color c);
    Int32 BorderWidth() const { return mBorderWidth; }
    void BorderWidth(Int32 w);
    Int32 OvalWidth() const { return mOvalWidth; }
    void OvalWidth(Int32 w);
    Int32 OvalHeight() const { return mOvalHeight; }
    void OvalHeight(Int32 h);

    void SetProperty(const std::string& name, const PropertyValue& value) override;
    void PaintInWindow(detail::WindowPainter& painter) const override;
    void DrawIntoPicture(framework::Graphics& g, Int32 x, Int32 y) const override;

protected:
    detail::ControlWidget* CreateWidget(Window& window) override;

private:
    static const PropertyTable<RoundRectangle>& Properties();

    Color mFillColor{0xFFFFFF};
    Color mBorderColor{0x000000};
    Int32 mBorderWidth = 1, mOvalWidth = 0, mOvalHeight = 0;
};

}  // namespace kivra::framework
