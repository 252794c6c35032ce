#pragma once

#include <string>
#include <variant>

#include "framework/values/Color.h"
#include "framework/values/Types.h"

namespace kivra::framework {

// A tagged value: Nil, Int32, Boolean, Color or String.
class Variant {
public:
    // The kinds carry the names of their types; inside the enum that is no clash.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wshadow"
    enum class Kind { Nil, Int32, Boolean, Color, String };
#pragma GCC diagnostic pop

    Variant() = default;

    Kind Type() const;
    bool IsNil() const { return Type() == Kind::Nil; }

    // Raw access for the conversion functions; a value of another kind gives std::nullopt-like default.
    const std::variant<std::monostate, Int32, bool, Color, std::string>& Raw() const { return mValue; }

    static Variant FromInt32(Int32 v);
    static Variant FromBoolean(bool v);
    static Variant FromColor(Color v);
    static Variant FromString(std::string v);

    // Same kind and same value; Strings compare exactly.
    friend bool operator==(const Variant& a, const Variant& b) { return a.mValue == b.mValue; }

private:
    std::variant<std::monostate, Int32, bool, Color, std::string> mValue;
};

Variant Int32ToVariant(Int32 value);
Variant BooleanToVariant(bool value);
Variant ColorToVariant(Color value);
Variant StringToVariant(const std::string& value);

// The text of any value reads back through the matching conversion as the same value:
// Int32 in decimal, Boolean as "True" or "False", Color as "&h00RRGGBB", Nil as "".
std::string VariantToString(const Variant& value);
Int32 VariantToInt32(const Variant& value);
bool VariantToBoolean(const Variant& value);
Color VariantToColor(const Variant& value);

}  // namespace kivra::framework
