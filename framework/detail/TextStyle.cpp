#include "framework/detail/TextStyle.h"

namespace kivra::framework::detail {

bool TextStyle::Take(const std::string& name, const PropertyValue& value) {
    if (name == "TextFont") {
        font = PropertyString(name, value);
    } else if (name == "TextSize") {
        size = PropertyInt32(name, value);
    } else if (name == "Bold") {
        bold = PropertyBoolean(name, value);
    } else if (name == "Italic") {
        italic = PropertyBoolean(name, value);
    } else if (name == "Underline") {
        underline = PropertyBoolean(name, value);
    } else {
        return false;
    }
    return true;
}

}  // namespace kivra::framework::detail
