#include "framework/ui/Control.h"

#include "framework/values/PropertyTable.h"

namespace kivra::framework {

Control::~Control() = default;

void Control::SetProperties(const PropertySet& properties) {
    for (const auto& [name, value] : properties) SetProperty(name, value);
}

const PropertyTable<Control>& Control::Properties() {
    static const PropertyTable<Control> table =
        PropertyTable<Control>()
            .TakesString("Name",
                         [](Control& c, const std::string& given) {
                             if (!c.mName.empty() && given != c.mName)
                                 throw PropertyError("control added as " + c.mName + " is named " + given);
                             c.mName = given;
                         })
            .TakesInt32("Index", [](Control& c, Int32 v) { c.mIndex = v; });
    return table;
}

void Control::SetProperty(const std::string& name, const PropertyValue& value) {
    if (!Properties().Apply(*this, name, value)) throw PropertyError("control has no property " + name);
}

}  // namespace kivra::framework
