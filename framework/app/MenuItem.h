#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/values/Ref.h"
#include "framework/values/Types.h"
#include "framework/values/Variant.h"

namespace kivra::framework {

// A menu entry or a menu; a Text of "-" makes a separator.
class MenuItem : public std::enable_shared_from_this<MenuItem> {
public:
    MenuItem() = default;
    explicit MenuItem(const std::string& text, const Variant& tag = Variant());
    virtual ~MenuItem() = default;

    std::string Name() const { return mName; }
    void Name(const std::string& v) { mName = v; }
    std::string Text() const { return mText; }
    void Text(const std::string& v) { mText = v; }
    std::string KeyboardShortcut() const { return mShortcut; }
    void KeyboardShortcut(const std::string& v) { mShortcut = v; }
    bool AutoEnable() const { return mAutoEnable; }
    void AutoEnable(bool v) { mAutoEnable = v; }
    bool Checked() const { return mChecked; }
    void Checked(bool v) { mChecked = v; }
    bool Enabled() const { return mEnabled; }
    void Enabled(bool v) { mEnabled = v; }
    Variant Tag() const { return mTag; }
    bool IsSeparator() const { return mText == "-"; }

    void Append(const Ref<MenuItem>& item);
    Int32 Count() const { return static_cast<Int32>(mChildren.size()); }
    Ref<MenuItem> Item(Int32 index) const;
    // The child of that name, searched through the whole tree below; Nil when none.
    Ref<MenuItem> Child(const std::string& name) const;

    // What choosing the item does of its own; false when it does nothing.
    virtual bool Event_Action() { return false; }

private:
    std::string mName, mText, mShortcut;
    bool mAutoEnable = false, mChecked = false, mEnabled = true;
    Variant mTag;
    std::vector<Ref<MenuItem>> mChildren;
};

}  // namespace kivra::framework
