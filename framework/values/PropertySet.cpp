#include "framework/values/PropertySet.h"

namespace kivra::framework {

namespace {

template <typename T>
T Take(const std::string& name, const PropertyValue& value, const char* type) {
    if (const T* v = std::get_if<T>(&value)) return *v;
    throw PropertyError("property " + name + " needs a " + type);
}

}  // namespace

Int32 PropertyInt32(const std::string& name, const PropertyValue& value) { return Take<Int32>(name, value, "Int32"); }
bool PropertyBoolean(const std::string& name, const PropertyValue& value) { return Take<bool>(name, value, "Boolean"); }
Color PropertyColor(const std::string& name, const PropertyValue& value) { return Take<Color>(name, value, "Color"); }
std::string PropertyString(const std::string& name, const PropertyValue& value) {
    return Take<std::string>(name, value, "String");
}

}  // namespace kivra::framework
