#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "framework/values/Types.h"
#include "framework/values/Variant.h"

namespace kivra::framework {

// Variant keys to Variant values; Keys and Values list the entries in the order
// their keys were first stored. Lookups cost O(1).
class Dictionary {
public:
    bool HasKey(const Variant& key) const;
    // Raises KeyNotFoundException (a RuntimeException) for a missing key.
    Variant Value(const Variant& key) const;
    void Value(const Variant& key, const Variant& value);
    std::vector<Variant> Keys() const;
    std::vector<Variant> Values() const;
    Int32 Count() const;

private:
    std::vector<Variant> mKeys;
    std::vector<Variant> mValues;
    std::unordered_map<std::string, std::size_t> mIndex;
};

}  // namespace kivra::framework
