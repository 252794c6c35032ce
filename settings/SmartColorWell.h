#pragma once

#include <cstdint>
#include <string>

#include "framework/ui/Canvas.h"
#include "framework/ui/Event.h"
#include "framework/values/Color.h"
#include "framework/values/Types.h"

namespace kivra::framework {
class DragItem;
class Graphics;
}  // namespace kivra::framework

namespace kivra {

// A push-button-like well showing one colour. A click opens the colour picker;
// a press in the colour box with Command or Option held (or always, with
// EnableColorDrag) drags the colour out as "#RRGGBB" text, and any text dropped
// on the well is read as such a colour. Every change is told through ColorChange.
class SmartColorWell : public framework::Canvas {
public:
    void SetProperty(const std::string& name, const framework::PropertyValue& value) override;

    void setColor(framework::Color c);
    framework::Color getColor() const;
    // Returns when the modal picker has closed.
    void pickColor();
    std::string getColorAsHexString() const;
    void setColorFromHexString(const std::string& s);

    void Event_DropObject(framework::DragItem& item, framework::Int32 action) override;
    void Event_MouseUp(framework::Int32 X, framework::Int32 Y) override;
    void Event_MouseDrag(framework::Int32 X, framework::Int32 Y) override;
    void Event_Open() override;
    bool Event_MouseDown(framework::Int32 X, framework::Int32 Y) override;
    void Event_Paint(framework::Graphics& g) override;

    framework::Event<void(framework::Color)> ColorChange;

    framework::Color ColorSelected{0x000000};
    std::string PickerPromptText;
    // 0 picks a margin to suit the size at Open.
    framework::Int32 Margin = 0;
    bool AlsoDimColor = false;
    bool EnableColorDrag = false;

protected:
    void draw();
    framework::Color integer2Color(framework::Int32 n) const;
    bool withinColorBox(framework::Int32 X, framework::Int32 Y) const;
    bool withinControl(framework::Int32 X, framework::Int32 Y) const;
    // Sums are taken in 64 bits and clamped back, so that a control far out in
    // its window, or any Margin, keeps every corner and box defined.
    static framework::Int32 Saturate(std::int64_t v);

    bool mouseDownAndWithin = false;
    framework::Int32 mouseDownX = 0;
    framework::Int32 mouseDownY = 0;
    bool mouseDownWithinColorBox = false;
    bool draggedColorBox = false;
    framework::Int32 cShrink = 0;
    std::string lastColorAsHexString;
    bool pickingColor = false;
};

}  // namespace kivra
