#include "settings/SmartColorWell.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "framework/dialogs/Dialogs.h"
#include "framework/ui/DragItem.h"
#include "framework/ui/Keyboard.h"
#include "framework/values/Ref.h"
#include "framework/values/Strings.h"

namespace kivra {

using framework::Color;
using framework::Int32;

Int32 SmartColorWell::Saturate(std::int64_t v) {
    return static_cast<Int32>(
        std::clamp<std::int64_t>(v, std::numeric_limits<Int32>::min(), std::numeric_limits<Int32>::max()));
}

void SmartColorWell::SetProperty(const std::string& name, const framework::PropertyValue& value) {
    if (name == "ColorSelected") {
        ColorSelected = framework::PropertyColor(name, value);
    } else if (name == "Margin") {
        Margin = framework::PropertyInt32(name, value);
    } else if (name == "AlsoDimColor") {
        AlsoDimColor = framework::PropertyBoolean(name, value);
    } else if (name == "EnableColorDrag") {
        EnableColorDrag = framework::PropertyBoolean(name, value);
    } else {
        Canvas::SetProperty(name, value);
    }
}

void SmartColorWell::setColor(Color c) {
    if (c == ColorSelected) return;
    ColorSelected = c;
    lastColorAsHexString = "?";
    draw();
    ColorChange.Raise(ColorSelected);
}

Color SmartColorWell::getColor() const { return ColorSelected; }

void SmartColorWell::pickColor() {
    Color c = ColorSelected;
    pickingColor = true;
    draw();
    const bool ok = framework::SelectColor(c, PickerPromptText);
    pickingColor = false;
    // A cancelled picker leaves c alone, so this writes the old colour back.
    ColorSelected = c;
    if (ok) {
        lastColorAsHexString = "?";
        ColorChange.Raise(c);
    }
    draw();
}

std::string SmartColorWell::getColorAsHexString() const {
    const auto channel = [](Int32 v) {
        std::string text = framework::Hex(v);
        if (framework::Len(text) < 2) text = "0" + text;
        return text;
    };
    return "#" + channel(ColorSelected.Red()) + channel(ColorSelected.Green()) + channel(ColorSelected.Blue());
}

// Any text is read, however odd: the digits after the first "#" count as far as
// they are hexadecimal (none gives black), and a value beyond the Int32 range
// saturates to 0x7FFFFFFF, which reads as white once RGB clamps its channels.
void SmartColorWell::setColorFromHexString(const std::string& s) {
    if (framework::StringEquals(s, lastColorAsHexString)) return;
    lastColorAsHexString = s;
    const Color old = ColorSelected;
    const std::string t = framework::Replace(s, "#", "");
    const Int32 n = framework::ToInt32(framework::Val("&h" + t));
    ColorSelected = integer2Color(n);
    if (!(ColorSelected == old)) {
        draw();
        ColorChange.Raise(ColorSelected);
    }
}

void SmartColorWell::Event_DropObject(framework::DragItem& item, Int32) {
    if (item.TextAvailable()) setColorFromHexString(item.Text());
}

void SmartColorWell::Event_MouseUp(Int32 X, Int32 Y) {
    draw();
    // The released look shows at the next drawing, which the picker brings at once.
    mouseDownAndWithin = false;
    if (!draggedColorBox && withinControl(X, Y)) pickColor();
    MouseUp.Raise(X, Y);
}

void SmartColorWell::Event_MouseDrag(Int32 X, Int32 Y) {
    if (mouseDownWithinColorBox) {
        const bool moved =
            std::abs(static_cast<double>(mouseDownX) - X) > 3.0 || std::abs(static_cast<double>(mouseDownY) - Y) > 3.0;
        if (moved && !draggedColorBox) {
            mouseDownAndWithin = false;
            draw();
            draggedColorBox = true;
            framework::Ref<framework::DragItem> item =
                NewDragItem(Saturate(std::int64_t{Left()} + X - 6), Saturate(std::int64_t{Top()} + Y - 6), 12, 12);
            item->Text(getColorAsHexString());
            item->Drag();
        }
        return;
    }
    if (withinControl(X, Y)) {
        if (!mouseDownAndWithin) {
            mouseDownAndWithin = true;
            draw();
        }
    } else if (mouseDownAndWithin) {
        mouseDownAndWithin = false;
        draw();
    }
}

void SmartColorWell::Event_Open() {
    if (Margin == 0) Margin = (Height() < 20 || Width() < 20) ? 2 : 5;
    Margin = std::max(0, Margin);
    PickerPromptText = "Pick a color:";
    AcceptTextDrop();
    Open.Raise();
}

bool SmartColorWell::Event_MouseDown(Int32 X, Int32 Y) {
    mouseDownX = X;
    mouseDownY = Y;
    draggedColorBox = false;
    mouseDownAndWithin = true;
    draw();
    // The keyboard is read only when it can decide: inside the box without EnableColorDrag.
    mouseDownWithinColorBox = withinColorBox(X, Y) && (EnableColorDrag || framework::Keyboard::AsyncCommandKey() ||
                                                       framework::Keyboard::AsyncOptionKey());
    MouseDown.Raise(X, Y);
    return true;
}

void SmartColorWell::Event_Paint(framework::Graphics& g) {
    draw();
    Paint.Raise(g);
}

Color SmartColorWell::integer2Color(Int32 n) const {
    // Integer division truncates like dropping the fraction of the quotient, and no
    // product here can leave the Int32 range, whatever n is.
    const Int32 red = n / 65536;
    const Int32 rest = n - red * 65536;
    const Int32 green = rest / 256;
    const Int32 blue = rest - green * 256;
    return framework::RGB(red, green, blue);
}

bool SmartColorWell::withinColorBox(Int32 X, Int32 Y) const {
    // In 64 bits: Margin is public and may hold anything before Open settles it.
    const std::int64_t m = Margin;
    return m <= X && X <= std::int64_t{Width()} - m && m <= Y && Y <= std::int64_t{Height()} - m;
}

bool SmartColorWell::withinControl(Int32 X, Int32 Y) const { return 0 <= X && X < Width() && 0 <= Y && Y < Height(); }

}  // namespace kivra
