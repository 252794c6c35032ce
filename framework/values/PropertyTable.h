#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "framework/values/PropertySet.h"

namespace kivra::framework {

// The design-time properties one class takes, declared in one place: each
// name with the type of its value and what setting it does, and the names it
// accepts only to drop them. A name given twice fails as the table is made,
// which is the first time any test applies a property of the class.
template <typename T>
class PropertyTable {
public:
    using Int32Setter = void (*)(T&, Int32);
    using BooleanSetter = void (*)(T&, bool);
    using ColorSetter = void (*)(T&, Color);
    using StringSetter = void (*)(T&, const std::string&);

    PropertyTable& TakesInt32(const char* name, Int32Setter set) { return Add(name, Kind::kInt32, set); }
    PropertyTable& TakesBoolean(const char* name, BooleanSetter set) { return Add(name, Kind::kBoolean, set); }
    PropertyTable& TakesColor(const char* name, ColorSetter set) { return Add(name, Kind::kColor, set); }
    PropertyTable& TakesString(const char* name, StringSetter set) { return Add(name, Kind::kString, set); }

    // Names whose values are checked for their type and dropped: they say
    // nothing the platform can show or the program relies on.
    PropertyTable& DropsInt32(std::initializer_list<const char*> names) { return Drop(names, Kind::kInt32); }
    PropertyTable& DropsBoolean(std::initializer_list<const char*> names) { return Drop(names, Kind::kBoolean); }
    PropertyTable& DropsString(std::initializer_list<const char*> names) { return Drop(names, Kind::kString); }

    // Applies the property if the table has its name; false if it has not,
    // for the base class to try. A value of the wrong type raises PropertyError.
    bool Apply(T& object, const std::string& name, const PropertyValue& value) const {
        for (const Entry& entry : mEntries) {
            if (name != entry.name) continue;
            switch (entry.kind) {
                case Kind::kInt32:
                    Call<Int32Setter>(entry, object, PropertyInt32(name, value));
                    break;
                case Kind::kBoolean:
                    Call<BooleanSetter>(entry, object, PropertyBoolean(name, value));
                    break;
                case Kind::kColor:
                    Call<ColorSetter>(entry, object, PropertyColor(name, value));
                    break;
                case Kind::kString:
                    Call<StringSetter>(entry, object, PropertyString(name, value));
                    break;
            }
            return true;
        }
        return false;
    }

private:
    enum class Kind { kInt32, kBoolean, kColor, kString };
    struct Entry {
        std::string name;
        Kind kind;
        // Nothing for a dropped name.
        std::variant<std::monostate, Int32Setter, BooleanSetter, ColorSetter, StringSetter> set;
    };

    template <typename Setter, typename V>
    static void Call(const Entry& entry, T& object, const V& value) {
        if (const Setter* set = std::get_if<Setter>(&entry.set)) (*set)(object, value);
    }
    template <typename Setter>
    PropertyTable& Add(const char* name, Kind kind, Setter set) {
        Insert({name, kind, set});
        return *this;
    }
    PropertyTable& Drop(std::initializer_list<const char*> names, Kind kind) {
        for (const char* name : names) Insert({name, kind, std::monostate{}});
        return *this;
    }
    void Insert(Entry entry) {
        for (const Entry& known : mEntries) {
            if (known.name == entry.name) throw PropertyError("property " + entry.name + " declared twice");
        }
        mEntries.push_back(std::move(entry));
    }

    std::vector<Entry> mEntries;
};

}  // namespace kivra::framework
