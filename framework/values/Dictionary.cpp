#include "framework/values/Dictionary.h"

#include <cstring>

#include "framework/values/KeyNotFoundException.h"

namespace kivra::framework {

namespace {

// A key's identity is its kind and its value: Int32 1 and String "1" are two keys,
// and String keys match byte for byte, letter case included.
std::string IdentityOf(const Variant& key) {
    const auto& raw = key.Raw();
    const auto withBytes = [](char kind, std::uint32_t bits) {
        std::string id(1 + sizeof bits, kind);
        std::memcpy(id.data() + 1, &bits, sizeof bits);
        return id;
    };
    switch (key.Type()) {
        case Variant::Kind::Int32:
            return withBytes('I', static_cast<std::uint32_t>(std::get<Int32>(raw)));
        case Variant::Kind::Boolean:
            return std::get<bool>(raw) ? "BT" : "BF";
        case Variant::Kind::Color:
            return withBytes('C', std::get<Color>(raw).Integer());
        case Variant::Kind::String:
            return 'S' + std::get<std::string>(raw);
        case Variant::Kind::Nil:
            break;
    }
    return "N";
}

}  // namespace

bool Dictionary::HasKey(const Variant& key) const { return mIndex.count(IdentityOf(key)) != 0; }

Variant Dictionary::Value(const Variant& key) const {
    const auto it = mIndex.find(IdentityOf(key));
    if (it == mIndex.end()) throw KeyNotFoundException();
    return mValues[it->second];
}

void Dictionary::Value(const Variant& key, const Variant& value) {
    const auto [it, inserted] = mIndex.try_emplace(IdentityOf(key), mKeys.size());
    if (inserted) {
        mKeys.push_back(key);
        mValues.push_back(value);
    } else {
        mValues[it->second] = value;
    }
}

std::vector<Variant> Dictionary::Keys() const { return mKeys; }
std::vector<Variant> Dictionary::Values() const { return mValues; }
Int32 Dictionary::Count() const { return static_cast<Int32>(mKeys.size()); }

}  // namespace kivra::framework
