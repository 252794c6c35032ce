#include "windows/MenuBar1.h"

#include <optional>
#include <string>

#include "framework/app/AppleMenuItem.h"
#include "framework/app/MenuItem.h"
#include "framework/app/QuitMenuItem.h"

namespace kivra {

using framework::MenuItem;
using framework::New;
using framework::Ref;

namespace {

// A separator is given no shortcut at all, unlike an item with an empty one.
template <typename Item = MenuItem>
Ref<MenuItem> MakeItem(const std::string& name, const std::string& text, std::optional<std::string> shortcut) {
    Ref<MenuItem> item = New<Item>();
    item->Name(name);
    item->AutoEnable(true);
    item->Text(text);
    if (shortcut) item->KeyboardShortcut(*shortcut);
    return item;
}

Ref<MenuItem> MakeSeparator(const std::string& name) { return MakeItem(name, "-", std::nullopt); }

}  // namespace

Ref<MenuBar1> MenuBar1::implicitInstance;

Ref<MenuBar1> MenuBar1::Instance() {
    if (!implicitInstance) {
        Ref<MenuBar1> bar = New<MenuBar1>();
        bar->Constructor();
        implicitInstance = bar;
    }
    return implicitInstance;
}

void MenuBar1::Release() { implicitInstance = nullptr; }

void MenuBar1::Constructor() {
    Untitled0();
    Untitled1();
    Untitled2();
}

void MenuBar1::Untitled0() {
    Append(MakeItem("FileMenu", "&File", ""));
    Child("FileMenu")->Append(MakeItem<framework::QuitMenuItem>("FileQuit", "&Quit", "Cmd+Q"));
}

void MenuBar1::Untitled1() {
    Append(MakeItem("EditMenu", "&Edit", ""));
    Child("EditMenu")->Append(MakeItem("EditUndo", "&Undo", "Cmd+Z"));
    Child("EditMenu")->Append(MakeSeparator("UntitledMenu1"));
    Child("EditMenu")->Append(MakeItem("EditCut", "Cu&t", "Cmd+X"));
    Child("EditMenu")->Append(MakeItem("EditCopy", "&Copy", "Cmd+C"));
    Child("EditMenu")->Append(MakeItem("EditPaste", "&Paste", "Cmd+V"));
    Child("EditMenu")->Append(MakeItem("EditClear", "&Delete", ""));
    Child("EditMenu")->Append(MakeSeparator("UntitledMenu0"));
    Child("EditMenu")->Append(MakeItem("EditSelectAll", "Select &All", "Cmd+A"));
}

void MenuBar1::Untitled2() {
    Append(MakeItem("HelpMenu", "&Help", ""));
    Child("HelpMenu")->Append(MakeItem("HelpHelp", "Help...", ""));
    Child("HelpMenu")->Append(MakeItem<framework::AppleMenuItem>("HelpAboutKivra", "&About Kivra...", ""));
}

}  // namespace kivra
