#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "framework/values/Color.h"
#include "framework/values/Types.h"

namespace kivra::framework {

// Design-time properties of a window or control: applied in their order.
using PropertyValue = std::variant<Int32, bool, Color, std::string>;
using PropertySet = std::vector<std::pair<std::string, PropertyValue>>;

template <typename T>
class PropertyTable;

// An unknown property name, or a value of the wrong type, is a programming error.
class PropertyError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

Int32 PropertyInt32(const std::string& name, const PropertyValue& value);
bool PropertyBoolean(const std::string& name, const PropertyValue& value);
Color PropertyColor(const std::string& name, const PropertyValue& value);
std::string PropertyString(const std::string& name, const PropertyValue& value);

}  // namespace kivra::framework
