#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "framework/drawing/Graphics.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Window.h"
#include "framework/values/Color.h"
#include "framework/values/PropertySet.h"
#include "framework/values/Ref.h"
#include "settings/SmartColorWell.h"

namespace kivra::framework {
inline void PrintTo(Color c, std::ostream* os) { *os << "0x" << std::hex << std::uppercase << c.Integer(); }
}  // namespace kivra::framework

namespace kivra {
namespace {

using framework::Color;
using framework::Int32;
using framework::PropertySet;
using framework::Ref;
namespace testing = framework::testing;

// Opens the well's protected state to the tests.
class ProbeWell : public SmartColorWell {
public:
    using SmartColorWell::draggedColorBox;
    using SmartColorWell::integer2Color;
    using SmartColorWell::lastColorAsHexString;
    using SmartColorWell::mouseDownAndWithin;
    using SmartColorWell::mouseDownWithinColorBox;
    using SmartColorWell::withinColorBox;
    using SmartColorWell::withinControl;
};

class Host : public framework::Window {
public:
    explicit Host(PropertySet wellProperties) : mWellProperties(std::move(wellProperties)) {}

    void Layout() override { SetProperties({{"Width", 200}, {"Height", 200}}); }
    void CreateControls() override {
        auto control = New<ProbeWell>();
        control->Constructor();
        AddControl(control, "cWell");
        control->SetProperties(mWellProperties);
        well = control;
    }

    Ref<ProbeWell> well;

private:
    PropertySet mWellProperties;
};

class SmartColorWellTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ScriptDialogs(true);
        testing::ScriptSelectColor({});
        testing::SelectColorLog().clear();
        testing::DragLog().clear();
        testing::SetModifiers(testing::Modifiers{});
    }
    void TearDown() override {
        testing::ScriptSelectColor({});
        testing::ResetApplication();
    }

    // clang-format off
    Ref<ProbeWell> OpenWell(Int32 width = 32, Int32 height = 32, PropertySet extra = {}) {
        PropertySet properties{{"Left", 10}, {"Top", 20}, {"Width", width}, {"Height", height}};
        properties.insert(properties.end(), extra.begin(), extra.end());
        auto host = std::make_shared<Host>(std::move(properties));
        host->Constructor("SmartColorWellTest.Host");
        return host->well;
    }
    // clang-format on

    // Records the user events of a well in the order they come.
    void Watch(ProbeWell& well) {
        well.ColorChange.Bind([this, &well](Color c) {
            events.push_back("ColorChange");
            changes.push_back(c);
            seenInHandler.push_back(well.getColor());
        });
        well.MouseDown.Bind([this](Int32, Int32) {
            events.push_back("MouseDown");
            return false;
        });
        well.MouseUp.Bind([this](Int32, Int32) { events.push_back("MouseUp"); });
    }

    std::vector<std::string> events;
    std::vector<Color> changes;
    std::vector<Color> seenInHandler;
};

TEST_F(SmartColorWellTest, OpenSettlesTheMargin) {
    struct Case {
        Int32 width, height, margin, expected;
    };
    // clang-format off
    const Case cases[] = {
        {32, 32, 0, 5}, {40, 19, 0, 2}, {19, 40, 0, 2}, {20, 20, 0, 5},
        {32, 32, 3, 3}, {32, 32, -4, 0}, {10, 10, 7, 7},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto well = OpenWell(c.width, c.height, {{"Margin", c.margin}});
        EXPECT_EQ(well->Margin, c.expected) << c.width << " x " << c.height << ", Margin " << c.margin;
    }
}

TEST_F(SmartColorWellTest, OpenSetsThePromptAndLetsTheUsersOpenReplaceIt) {
    auto well = OpenWell();
    EXPECT_EQ(well->PickerPromptText, "Pick a color:");
    EXPECT_TRUE(well->AcceptsTextDrop());

    well->PickerPromptText = "something else";
    well->Event_Open();
    EXPECT_EQ(well->PickerPromptText, "Pick a color:");

    well->Open.Bind([&] {
        EXPECT_EQ(well->PickerPromptText, "Pick a color:");
        EXPECT_EQ(well->Margin, 5);
        well->PickerPromptText = "Choose:";
        well->Margin = 9;
    });
    well->Event_Open();
    EXPECT_EQ(well->PickerPromptText, "Choose:");
    EXPECT_EQ(well->Margin, 9);
}

// clang-format off
TEST_F(SmartColorWellTest, PropertySetTakesTheWellsOwnProperties) {
    auto well = OpenWell(32, 32,
                         {{"ColorSelected", Color{0x123456}}, {"AlsoDimColor", true}, {"EnableColorDrag", true}});
    EXPECT_EQ(well->getColor(), Color{0x123456});
    EXPECT_TRUE(well->AlsoDimColor);
    EXPECT_TRUE(well->EnableColorDrag);
    EXPECT_THROW(well->SetProperty("NoSuchProperty", 1), framework::PropertyError);
    EXPECT_THROW(well->SetProperty("Margin", true), framework::PropertyError);
}
// clang-format on

TEST_F(SmartColorWellTest, HitAreasHaveTheirBoundaries) {
    auto well = OpenWell();
    ASSERT_EQ(well->Margin, 5);
    struct Case {
        Int32 x, y;
        bool inBox, inControl;
    };
    // clang-format off
    const Case cases[] = {
        {5, 5, true, true},    {27, 27, true, true},   {4, 10, false, true},   {28, 10, false, true},
        {10, 4, false, true},  {10, 28, false, true},  {0, 0, false, true},    {31, 31, false, true},
        {32, 0, false, false}, {-1, 5, false, false},  {5, 32, false, false},  {5, -1, false, false},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(well->withinColorBox(c.x, c.y), c.inBox) << c.x << ", " << c.y;
        EXPECT_EQ(well->withinControl(c.x, c.y), c.inControl) << c.x << ", " << c.y;
    }
}

TEST_F(SmartColorWellTest, ExtremeMarginsStayDefined) {
    auto well = OpenWell();
    const std::pair<Int32, bool> cases[] = {{std::numeric_limits<Int32>::min(), true},
                                            {std::numeric_limits<Int32>::max(), false}};
    for (const auto& [margin, hit] : cases) {
        well->Margin = margin;
        EXPECT_EQ(well->withinColorBox(0, 0), hit) << margin;
        well->setColor(Color{well->getColor().Integer() ^ 0xFFFFFFu});  // draws with that margin
    }
}

TEST_F(SmartColorWellTest, SetColorActsOnlyOnANewColour) {
    auto well = OpenWell();
    Watch(*well);
    well->setColor(Color{0x000000});
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(well->lastColorAsHexString, "");

    // A mark on the well's surface shows whether it was drawn again.
    well->Graphics()->Pixel(15, 15, Color{0x010203});
    well->setColor(Color{0x000000});
    EXPECT_EQ(well->Graphics()->Pixel(15, 15), Color{0x010203});

    well->setColor(Color{0x00FF00});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], Color{0x00FF00});
    EXPECT_EQ(seenInHandler[0], Color{0x00FF00});
    EXPECT_EQ(well->lastColorAsHexString, "?");
    EXPECT_EQ(well->Graphics()->Pixel(15, 15), Color{0x00FF00});
}

TEST_F(SmartColorWellTest, WritesColourText) {
    auto well = OpenWell();
    // clang-format off
    const std::pair<Color, std::string> cases[] = {
        {Color{0x000000}, "#000000"}, {Color{0x010203}, "#010203"}, {Color{0xABCDEF}, "#ABCDEF"},
        {Color{0xFFFFFF}, "#FFFFFF"}, {Color{0x00F00F}, "#00F00F"},
    };
    // clang-format on
    for (const auto& [color, text] : cases) {
        well->ColorSelected = color;
        EXPECT_EQ(well->getColorAsHexString(), text);
    }
}

TEST_F(SmartColorWellTest, ReadsAnyTextAsSomeColour) {
    struct Case {
        std::string text;
        Color expected;
    };
    const Case cases[] = {
        {"#008000", Color{0x008000}},
        {"008000", Color{0x008000}},
        {"#ff8000", Color{0xFF8000}},
        {"12#3456", Color{0x123456}},           // the first "#" goes wherever it stands
        {"#00FF00 and more", Color{0x00FF00}},  // reading stops at the first non-digit
        {"#", Color{0x000000}},
        {"#GGGGGG", Color{0x000000}},
        {"-FF", Color{0x000000}},
        {" #00FF00", Color{0x000000}},
        {"#\xC3\x84\xC3\x96", Color{0x000000}},
        {"#\xFF\xFE", Color{0x000000}},
        {"#1234567", Color{0xFF4567}},   // red 0x123 is clamped
        {"#FFFFFFFF", Color{0xFFFFFF}},  // beyond Int32: saturates
        {"#FFFFFFFFFFFFFFFFFFFF", Color{0xFFFFFF}},
        {std::string(100 * 1024, 'F'), Color{0xFFFFFF}},
    };
    for (const Case& c : cases) {
        auto well = OpenWell();
        well->setColor(Color{0x5A5A5A});
        Watch(*well);
        well->setColorFromHexString(c.text);
        EXPECT_EQ(well->getColor(), c.expected) << c.text.substr(0, 24);
        EXPECT_EQ(changes.size(), 1u) << c.text.substr(0, 24);
        EXPECT_EQ(well->lastColorAsHexString, c.text);
        changes.clear();
    }
}

TEST_F(SmartColorWellTest, ColourTextTravelsBetweenWells) {
    auto from = OpenWell();
    auto to = OpenWell();
    for (std::uint32_t value : {0x000000u, 0x010203u, 0xFFFFFFu, 0x0055FFu, 0x7F7F7Fu, 0xA0B0C0u}) {
        from->ColorSelected = Color{value};
        to->setColorFromHexString(from->getColorAsHexString());
        EXPECT_EQ(to->getColor(), Color{value});
    }
}

TEST_F(SmartColorWellTest, IntegerToColourSplitsTheBytes) {
    auto well = OpenWell();
    const std::pair<Int32, Color> cases[] = {
        {0, Color{0x000000}},
        {0x123456, Color{0x123456}},
        {0xFFFFFF, Color{0xFFFFFF}},
        {0x1000000, Color{0xFF0000}},
        {-1, Color{0x000000}},
        {std::numeric_limits<Int32>::max(), Color{0xFFFFFF}},
        {std::numeric_limits<Int32>::min(), Color{0x000000}},
    };
    for (const auto& [n, color] : cases) EXPECT_EQ(well->integer2Color(n), color) << n;
}

TEST_F(SmartColorWellTest, ColourTextIsTakenOncePerText) {
    auto well = OpenWell();
    Watch(*well);

    // A fresh well remembers the empty text, so an empty text is skipped.
    well->setColorFromHexString("");
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(well->lastColorAsHexString, "");

    well->setColorFromHexString("#FF0000");
    well->ColorSelected = Color{0x000000};
    well->setColorFromHexString("#ff0000");  // equal, ignoring case: skipped
    EXPECT_EQ(well->getColor(), Color{0x000000});
    EXPECT_EQ(changes.size(), 1u);

    // After setColor the same text counts again.
    well->setColor(Color{0x0000FF});
    changes.clear();
    well->setColorFromHexString("#FF0000");
    EXPECT_EQ(well->getColor(), Color{0xFF0000});
    EXPECT_EQ(changes.size(), 1u);

    // A text of the colour already shown changes nothing but is remembered.
    changes.clear();
    well->setColorFromHexString("FF0000");
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(well->lastColorAsHexString, "FF0000");
}

TEST_F(SmartColorWellTest, DroppedTextChangesTheColour) {
    auto well = OpenWell();
    Watch(*well);
    testing::DropText(*well, "#336699");
    EXPECT_EQ(well->getColor(), Color{0x336699});
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], Color{0x336699});
}

TEST_F(SmartColorWellTest, PlainPressIsAClickWhateverTheMouseDoes) {
    auto well = OpenWell();
    Watch(*well);
    testing::ScriptSelectColor({{false, {}}});

    testing::Press(*well, 16, 16);
    EXPECT_TRUE(well->mouseDownAndWithin);
    EXPECT_FALSE(well->mouseDownWithinColorBox);
    testing::Move(*well, 30, 30);
    testing::Move(*well, 2, 2);
    EXPECT_TRUE(testing::DragLog().empty());
    testing::Release(*well, 20, 20);
    EXPECT_EQ(testing::SelectColorLog().size(), 1u);
    EXPECT_FALSE(well->mouseDownAndWithin);

    testing::Press(*well, 16, 16);
    testing::Release(*well, 40, 16);
    EXPECT_EQ(testing::SelectColorLog().size(), 1u);
    EXPECT_EQ((std::vector<std::string>{"MouseDown", "MouseUp", "MouseDown", "MouseUp"}), events);
}

// clang-format off
TEST_F(SmartColorWellTest, PushButtonModeFollowsTheMouse) {
    auto well = OpenWell();
    testing::SetModifiers(testing::Modifiers{.alt = false, .command = true});
    testing::Press(*well, 1, 1);  // on the bevel: never a colour drag
    EXPECT_FALSE(well->mouseDownWithinColorBox);
    const std::pair<Int32, bool> path[] = {{40, false}, {-3, false}, {10, true}, {31, true}, {32, false}, {0, true}};
    for (const auto& [x, pressed] : path) {
        testing::Move(*well, x, 10);
        EXPECT_EQ(well->mouseDownAndWithin, pressed) << x;
    }
    testing::Release(*well, 50, 50);
    EXPECT_TRUE(testing::DragLog().empty());
    EXPECT_TRUE(testing::SelectColorLog().empty());
}
// clang-format on

TEST_F(SmartColorWellTest, ColourDragStartsPastThreePixelsOncePerPress) {
    struct Case {
        const char* name;
        testing::Modifiers keys;
        bool enableColorDrag;
        Int32 dx, dy;  // the move that starts the drag
    };
    const Case cases[] = {
        {"command", {.alt = false, .command = true}, false, 4, 0},
        {"option", {.alt = true, .command = false}, false, 0, -4},
        {"enabled drag", {}, true, -4, 3},
    };
    for (const Case& c : cases) {
        testing::DragLog().clear();
        testing::SelectColorLog().clear();
        testing::SetModifiers(c.keys);
        auto well = OpenWell(32, 32, {{"EnableColorDrag", c.enableColorDrag}});
        well->setColor(Color{0x0055FF});

        testing::Press(*well, 16, 16);
        EXPECT_TRUE(well->mouseDownWithinColorBox) << c.name;
        testing::Move(*well, 19, 19);
        testing::Move(*well, 13, 13);
        EXPECT_TRUE(testing::DragLog().empty()) << c.name;
        EXPECT_TRUE(well->mouseDownAndWithin) << c.name;

        testing::Move(*well, 16 + c.dx, 16 + c.dy);
        EXPECT_EQ(testing::DragLog(), std::vector<std::string>{"#0055FF"}) << c.name;
        EXPECT_TRUE(well->draggedColorBox) << c.name;
        EXPECT_FALSE(well->mouseDownAndWithin) << c.name;

        testing::Move(*well, 30, 30);
        testing::Move(*well, 16, 16);
        EXPECT_EQ(testing::DragLog().size(), 1u) << c.name;
        testing::Release(*well, 16, 16);
        EXPECT_TRUE(testing::SelectColorLog().empty()) << c.name;
        EXPECT_TRUE(well->draggedColorBox) << c.name;  // kept until the next press
    }
}

TEST_F(SmartColorWellTest, ModifiedPressReleasedNearbyIsAClick) {
    auto well = OpenWell();
    testing::SetModifiers(testing::Modifiers{.alt = true, .command = false});
    testing::ScriptSelectColor({{false, {}}});
    testing::Press(*well, 16, 16);
    testing::Move(*well, 19, 13);
    testing::Release(*well, 19, 13);
    EXPECT_TRUE(testing::DragLog().empty());
    EXPECT_EQ(testing::SelectColorLog().size(), 1u);
}

TEST_F(SmartColorWellTest, ConfirmedPickRaisesColourChangeEvenForTheSameColour) {
    auto well = OpenWell();
    well->setColorFromHexString("#102030");
    Watch(*well);
    testing::ScriptSelectColor({{true, Color{0x102030}}});
    well->pickColor();
    ASSERT_EQ(testing::SelectColorLog().size(), 1u);
    EXPECT_EQ(testing::SelectColorLog()[0].start, Color{0x102030});
    EXPECT_EQ(testing::SelectColorLog()[0].prompt, "Pick a color:");
    EXPECT_EQ(changes, std::vector<Color>{Color{0x102030}});
    EXPECT_EQ(well->lastColorAsHexString, "?");

    testing::ScriptSelectColor({{true, Color{0xABCDEF}}});
    well->pickColor();
    EXPECT_EQ(well->getColor(), Color{0xABCDEF});
    EXPECT_EQ(changes.back(), Color{0xABCDEF});
    EXPECT_EQ(seenInHandler.back(), Color{0xABCDEF});
}

TEST_F(SmartColorWellTest, CancelledPickKeepsEverything) {
    auto well = OpenWell();
    well->setColorFromHexString("#102030");
    Watch(*well);
    testing::ScriptSelectColor({{false, Color{0xFFFFFF}}});
    well->pickColor();
    EXPECT_EQ(testing::SelectColorLog().size(), 1u);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(well->getColor(), Color{0x102030});
    EXPECT_EQ(well->lastColorAsHexString, "#102030");
}

TEST_F(SmartColorWellTest, UsersMouseUpComesAfterThePick) {
    auto well = OpenWell();
    Watch(*well);
    testing::ScriptSelectColor({{true, Color{0x445566}}});
    testing::Press(*well, 16, 16);
    testing::Release(*well, 16, 16);
    EXPECT_EQ((std::vector<std::string>{"MouseDown", "ColorChange", "MouseUp"}), events);
    EXPECT_EQ(well->getColor(), Color{0x445566});
}

}  // namespace
}  // namespace kivra
