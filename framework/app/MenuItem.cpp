#include "framework/app/MenuItem.h"

namespace kivra::framework {

MenuItem::MenuItem(const std::string& text, const Variant& tag) : mText(text), mTag(tag) {}

void MenuItem::Append(const Ref<MenuItem>& item) {
    if (!item) throw NilObjectException();
    mChildren.push_back(item);
}

Ref<MenuItem> MenuItem::Item(Int32 index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return mChildren[static_cast<std::size_t>(index)];
}

Ref<MenuItem> MenuItem::Child(const std::string& name) const {
    for (const auto& child : mChildren) {
        if (child->Name() == name) return child;
    }
    for (const auto& child : mChildren) {
        if (auto found = child->Child(name)) return found;
    }
    return nullptr;
}

}  // namespace kivra::framework
