#include "framework/Control.h"

namespace kivra::framework {

Control::~Control() = default;

void Control::SetProperties(const PropertySet& properties) {
    for (const auto& [name, value] : properties) SetProperty(name, value);
}

void Control::SetProperty(const std::string& name, const PropertyValue& value) {
    if (name == "Name") {
        const std::string given = PropertyString(name, value);
        if (!mName.empty() && given != mName)
            throw PropertyError("control added as " + mName + " is named " + given);
        mName = given;
    } else if (name == "Index") {
        mIndex = PropertyInt32(name, value);
    } else {
        throw PropertyError("control has no property " + name);
    }
}

}  // namespace kivra::framework
