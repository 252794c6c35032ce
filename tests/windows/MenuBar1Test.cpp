#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app/AppleMenuItem.h"
#include "framework/app/QuitMenuItem.h"
#include "windows/MenuBar1.h"

namespace kivra {
namespace {

using framework::MenuItem;
using framework::Ref;

enum class Kind { Plain, Quit, Apple };

struct Row {
    const char* name;
    Kind kind;
    const char* text;
    const char* shortcut;
};

struct Menu {
    Row title;
    std::vector<Row> items;
};

const std::vector<Menu> Tree = {
    {{"FileMenu", Kind::Plain, "&File", ""}, {{"FileQuit", Kind::Quit, "&Quit", "Cmd+Q"}}},
    {{"EditMenu", Kind::Plain, "&Edit", ""},
     {{"EditUndo", Kind::Plain, "&Undo", "Cmd+Z"},
      {"UntitledMenu1", Kind::Plain, "-", ""},
      {"EditCut", Kind::Plain, "Cu&t", "Cmd+X"},
      {"EditCopy", Kind::Plain, "&Copy", "Cmd+C"},
      {"EditPaste", Kind::Plain, "&Paste", "Cmd+V"},
      {"EditClear", Kind::Plain, "&Delete", ""},
      {"UntitledMenu0", Kind::Plain, "-", ""},
      {"EditSelectAll", Kind::Plain, "Select &All", "Cmd+A"}}},
    {{"HelpMenu", Kind::Plain, "&Help", ""},
     {{"HelpHelp", Kind::Plain, "Help...", ""}, {"HelpAboutKivra", Kind::Apple, "&About Kivra...", ""}}},
};

void ExpectItem(const Ref<MenuItem>& item, const Row& row) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name(), row.name);
    EXPECT_EQ(item->Text(), row.text);
    EXPECT_EQ(item->KeyboardShortcut(), row.shortcut);
    EXPECT_TRUE(item->AutoEnable());
    EXPECT_EQ(item.As<framework::QuitMenuItem>().IsNil(), row.kind != Kind::Quit);
    EXPECT_EQ(item.As<framework::AppleMenuItem>().IsNil(), row.kind != Kind::Apple);
}

TEST(MenuBar1, HoldsFileEditAndHelpWithTheirItemsInOrder) {
    Ref<MenuBar1> bar = MenuBar1::Instance();
    ASSERT_EQ(bar->Count(), static_cast<int>(Tree.size()));
    for (std::size_t m = 0; m < Tree.size(); ++m) {
        Ref<MenuItem> menu = bar->Item(static_cast<int>(m));
        ExpectItem(menu, Tree[m].title);
        ASSERT_EQ(menu->Count(), static_cast<int>(Tree[m].items.size()));
        for (std::size_t i = 0; i < Tree[m].items.size(); ++i) {
            Ref<MenuItem> item = menu->Item(static_cast<int>(i));
            ExpectItem(item, Tree[m].items[i]);
            EXPECT_EQ(item->Count(), 0);
            EXPECT_EQ(item->IsSeparator(), std::string(Tree[m].items[i].text) == "-");
        }
    }
}

TEST(MenuBar1, SecondCallGivesTheSameBarAndBuildsNothing) {
    Ref<MenuBar1> first = MenuBar1::Instance();
    Ref<MenuItem> edit = first->Child("EditMenu");
    Ref<MenuBar1> second = MenuBar1::Instance();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(second->Count(), 3);
    EXPECT_EQ(second->Child("EditMenu").get(), edit.get());
    EXPECT_EQ(edit->Count(), 8);
}

TEST(MenuBar1, ReleaseDropsTheInstanceAndTheNextCallBuildsAFreshOne) {
    Ref<MenuBar1> before = MenuBar1::Instance();
    MenuBar1::Release();
    Ref<MenuBar1> after = MenuBar1::Instance();
    EXPECT_NE(before.get(), after.get());
    EXPECT_EQ(after->Count(), 3);
    EXPECT_EQ(before->Count(), 3);  // whoever still holds the old bar keeps it whole
}

}  // namespace
}  // namespace kivra
