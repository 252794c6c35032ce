#include "framework/ui/TextStyle.h"

#include "framework/values/PropertyTable.h"

namespace kivra::framework {

const PropertyTable<TextStyle>& TextStyle::Properties() {
    static const PropertyTable<TextStyle> table =
        PropertyTable<TextStyle>()
            .TakesString("TextFont", [](TextStyle& s, const std::string& v) { s.font = v; })
            .TakesInt32("TextSize", [](TextStyle& s, Int32 v) { s.size = v; })
            .TakesBoolean("Bold", [](TextStyle& s, bool v) { s.bold = v; })
            .TakesBoolean("Italic", [](TextStyle& s, bool v) { s.italic = v; })
            .TakesBoolean("Underline", [](TextStyle& s, bool v) { s.underline = v; });
    return table;
}

bool TextStyle::Take(const std::string& name, const PropertyValue& value) {
    return Properties().Apply(*this, name, value);
}

}  // namespace kivra::framework
