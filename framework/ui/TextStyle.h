#pragma once

// The font properties that labels and buttons share.

#include <string>

#include "framework/values/PropertySet.h"
#include "framework/values/Types.h"

namespace kivra::framework {

struct TextStyle {
    std::string font = "System";  // "System": the desktop's own
    Int32 size = 0;               // 0: the desktop's own size
    bool bold = false, italic = false, underline = false;

    // True when the name is one of the style's properties, which is then set.
    bool Take(const std::string& name, const PropertyValue& value);

private:
    static const PropertyTable<TextStyle>& Properties();
};

}  // namespace kivra::framework
