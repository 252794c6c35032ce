// What a class's table of properties accepts, drops and refuses.

#include <gtest/gtest.h>

#include <string>

#include "framework/values/PropertyTable.h"

namespace fw = kivra::framework;

namespace {

struct Thing {
    fw::Int32 size = 0;
    std::string label;
};

fw::PropertyTable<Thing> Table() {
    fw::PropertyTable<Thing> table;
    table.TakesInt32("Size", [](Thing& t, fw::Int32 v) { t.size = v; })
        .TakesString("Label", [](Thing& t, const std::string& v) { t.label = v; })
        .DropsBoolean({"Shiny"});
    return table;
}

TEST(PropertyTable, AppliesKnownNamesDropsListedOnesAndLeavesTheRestToTheBase) {
    const auto table = Table();
    Thing thing;
    EXPECT_TRUE(table.Apply(thing, "Size", fw::Int32{12}));
    EXPECT_TRUE(table.Apply(thing, "Label", std::string("on")));
    EXPECT_TRUE(table.Apply(thing, "Shiny", true));
    EXPECT_FALSE(table.Apply(thing, "Colour", fw::Color(0)));
    EXPECT_FALSE(table.Apply(thing, "size", fw::Int32{1})) << "names are matched exactly";
    EXPECT_EQ(thing.size, 12);
    EXPECT_EQ(thing.label, "on");
}

TEST(PropertyTable, RefusesAValueOfTheWrongTypeAlsoForADroppedName) {
    const auto table = Table();
    Thing thing;
    EXPECT_THROW(table.Apply(thing, "Size", std::string("12")), fw::PropertyError);
    EXPECT_THROW(table.Apply(thing, "Shiny", fw::Int32{1}), fw::PropertyError);
    EXPECT_EQ(thing.size, 0);
}

TEST(PropertyTable, ANameDeclaredTwiceFailsAsTheTableIsMade) {
    fw::PropertyTable<Thing> table;
    table.TakesInt32("Size", [](Thing&, fw::Int32) {});
    EXPECT_THROW(table.DropsInt32({"Size"}), fw::PropertyError);
}

}  // namespace
