#pragma once

#include <string>

#include "framework/ui/RectControl.h"
#include "framework/ui/TextStyle.h"
#include "framework/values/Color.h"

namespace kivra::framework {

// A label. TextAlign 0 left, 1 centred, 2 right; TextSize 0 the system size.
class StaticText : public RectControl {
public:
    std::string Text() const { return mText; }
    void Text(const std::string& text);
    Int32 TextAlign() const { return mTextAlign; }
    void TextAlign(Int32 align);
    Int32 TextSize() const { return mStyle.size; }
    void TextSize(Int32 size);
    bool Bold() const { return mStyle.bold; }
    void Bold(bool bold);
    bool Multiline() const { return mMultiline; }
    Color TextColor() const { return mTextColor; }

    void SetProperty(const std::string& name, const PropertyValue& value) override;

protected:
    detail::ControlWidget* CreateWidget(Window& window) override;

private:
    static const PropertyTable<StaticText>& Properties();
    void ApplyLook();

    std::string mText;
    Int32 mTextAlign = 0;
    bool mMultiline = false;
    TextStyle mStyle;
    Color mTextColor{0x000000};
};

}  // namespace kivra::framework
