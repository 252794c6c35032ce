#include "framework/values/Variant.h"

#include <cmath>
#include <cstdio>

#include "framework/values/Strings.h"

namespace kivra::framework {

namespace {

bool IsAsciiBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string TrimAsciiBlanks(const std::string& s) {
    std::size_t begin = 0, end = s.size();
    while (begin < end && IsAsciiBlank(s[begin])) ++begin;
    while (end > begin && IsAsciiBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// A number read from text becomes a colour by its 32-bit pattern: rounded like
// ToInt32, taken modulo 2^32 (so -1 is 0xFFFFFFFF), then only the low 24 bits
// kept. Infinity has no pattern and gives black.
Color ColorFromNumber(double n) {
    if (!std::isfinite(n)) return Color(0);
    double wrapped = std::fmod(std::round(n), 4294967296.0);
    if (wrapped < 0) wrapped += 4294967296.0;
    return Color(static_cast<std::uint32_t>(wrapped));
}

}  // namespace

Variant::Kind Variant::Type() const {
    switch (mValue.index()) {
        case 1:
            return Kind::Int32;
        case 2:
            return Kind::Boolean;
        case 3:
            return Kind::Color;
        case 4:
            return Kind::String;
        default:
            return Kind::Nil;
    }
}

Variant Variant::FromInt32(Int32 v) {
    Variant r;
    r.mValue = v;
    return r;
}

Variant Variant::FromBoolean(bool v) {
    Variant r;
    r.mValue = v;
    return r;
}

Variant Variant::FromColor(Color v) {
    Variant r;
    r.mValue = v;
    return r;
}

Variant Variant::FromString(std::string v) {
    Variant r;
    r.mValue = std::move(v);
    return r;
}

Variant Int32ToVariant(Int32 value) { return Variant::FromInt32(value); }
Variant BooleanToVariant(bool value) { return Variant::FromBoolean(value); }
Variant ColorToVariant(Color value) { return Variant::FromColor(value); }
Variant StringToVariant(const std::string& value) { return Variant::FromString(value); }

std::string VariantToString(const Variant& value) {
    const auto& raw = value.Raw();
    switch (value.Type()) {
        case Variant::Kind::Int32:
            return Str(std::get<Int32>(raw));
        case Variant::Kind::Boolean:
            return std::get<bool>(raw) ? "True" : "False";
        case Variant::Kind::Color: {
            char buffer[11];
            std::snprintf(buffer, sizeof buffer, "&h%08X", static_cast<unsigned>(std::get<Color>(raw).Integer()));
            return buffer;
        }
        case Variant::Kind::String:
            return std::get<std::string>(raw);
        case Variant::Kind::Nil:
            break;
    }
    return {};
}

Int32 VariantToInt32(const Variant& value) {
    const auto& raw = value.Raw();
    switch (value.Type()) {
        case Variant::Kind::Int32:
            return std::get<Int32>(raw);
        case Variant::Kind::Boolean:
            return std::get<bool>(raw) ? 1 : 0;
        case Variant::Kind::Color:
            return static_cast<Int32>(std::get<Color>(raw).Integer());
        case Variant::Kind::String:
            return ToInt32(Val(std::get<std::string>(raw)));
        case Variant::Kind::Nil:
            break;
    }
    return 0;
}

bool VariantToBoolean(const Variant& value) {
    const auto& raw = value.Raw();
    switch (value.Type()) {
        case Variant::Kind::Int32:
            return std::get<Int32>(raw) != 0;
        case Variant::Kind::Boolean:
            return std::get<bool>(raw);
        case Variant::Kind::Color:
            return std::get<Color>(raw).Integer() != 0;
        case Variant::Kind::String: {
            const std::string text = TrimAsciiBlanks(std::get<std::string>(raw));
            if (StringEquals(text, "True")) return true;
            if (StringEquals(text, "False")) return false;
            return Val(text) != 0.0;
        }
        case Variant::Kind::Nil:
            break;
    }
    return false;
}

Color VariantToColor(const Variant& value) {
    const auto& raw = value.Raw();
    switch (value.Type()) {
        case Variant::Kind::Int32:
            return Color(static_cast<std::uint32_t>(std::get<Int32>(raw)));
        case Variant::Kind::Boolean:
            return Color(std::get<bool>(raw) ? 1u : 0u);
        case Variant::Kind::Color:
            return std::get<Color>(raw);
        case Variant::Kind::String:
            return ColorFromNumber(Val(std::get<std::string>(raw)));
        case Variant::Kind::Nil:
            break;
    }
    return Color(0);
}

}  // namespace kivra::framework
