#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>

#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowWidget.h"
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
using framework::Ref;
namespace testing = framework::testing;

class ProbeWell : public SmartColorWell {
public:
    using SmartColorWell::draw;
    using SmartColorWell::pickingColor;
};

class Host : public framework::Window {
public:
    void Layout() override { SetProperties({{"Width", 120}, {"Height", 100}}); }
    // clang-format off
    void CreateControls() override {
        auto control = New<ProbeWell>();
        control->Constructor();
        AddControl(control, "cWell");
        control->SetProperties({{"Left", 10}, {"Top", 20}, {"Width", 32}, {"Height", 32}});
        well = control;
    }
    // clang-format on

    Ref<ProbeWell> well;
};

Color Grey(double v) { return framework::HSV(0.0, 0.0, v); }

Color Darker(Color c, double by) { return framework::HSV(c.Hue(), c.Saturation(), std::max(0.0, c.Value() - by)); }

class SmartColorWellDrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ScriptDialogs(true);
        testing::SetModifiers(testing::Modifiers{});
        host = std::make_shared<Host>();
        host->Constructor("SmartColorWellDrawTest.Host");
        well = host->well;
    }
    void TearDown() override { testing::ResetApplication(); }

    // The well's window must be the active one for its undimmed look.
    static void Activate(framework::Window& window) {
        window.Show();
        for (int i = 0; i < 100 && !window.Active(); ++i) QApplication::processEvents();
        ASSERT_TRUE(window.Active());
    }
    void Activate() { Activate(*host); }

    Color At(Int32 x, Int32 y) const { return well->Backing()->Graphics()->Pixel(x, y); }
    int AlphaAt(Int32 x, Int32 y) const { return qAlpha(well->Backing()->Data().image.pixel(x, y)); }

    std::shared_ptr<Host> host;
    Ref<ProbeWell> well;
};

struct Expected {
    Int32 x, y;
    double value;  // grey of the face
};

// Samples away from the colour box of a 32 x 32 well with margin 5.
// clang-format off
const Expected kFace[] = {
    {3, 4, 0.87},  {3, 5, 0.87},  {3, 6, 0.9},   {3, 12, 0.9},  {3, 13, 0.93}, {3, 18, 0.93},
    {3, 19, 0.96}, {3, 25, 0.96}, {3, 26, 1.0},  {3, 28, 1.0},  {0, 10, 0.5},  {31, 31, 0.5},
    {16, 0, 0.5},  {16, 31, 0.5}, {1, 10, 0.85}, {30, 10, 0.85}, {1, 30, 0.85}, {30, 30, 0.85},
    {1, 1, 0.99},  {30, 1, 0.99}, {2, 2, 0.93},  {29, 2, 0.93}, {2, 30, 0.95}, {29, 30, 0.95},
};
// clang-format on

TEST_F(SmartColorWellDrawTest, ReleasedFaceHasItsBandsFramesAndLines) {
    Activate();
    well->setColor(Color{0xFFFFFF});
    for (const Expected& e : kFace) EXPECT_EQ(At(e.x, e.y), Grey(e.value)) << e.x << ", " << e.y;
}

TEST_F(SmartColorWellDrawTest, PressedFaceIsDarker) {
    Activate();
    testing::Press(*well, 1, 1);
    // clang-format off
    const Expected pressed[] = {
        {3, 4, 0.43},  {3, 8, 0.46},  {3, 15, 0.49}, {3, 22, 0.52}, {3, 28, 0.56},
        {0, 10, 0.28}, {1, 10, 0.41}, {5, 1, 0.55},  {10, 2, 0.49}, {10, 30, 0.51},
    };
    // clang-format on
    for (const Expected& e : pressed) EXPECT_EQ(At(e.x, e.y), Grey(e.value)) << e.x << ", " << e.y;
}

TEST_F(SmartColorWellDrawTest, ColourBoxIsFilledAndFramedTwice) {
    Activate();
    for (std::uint32_t value : {0xFFFFFFu, 0x000000u, 0xFF0000u, 0x336699u}) {
        for (bool pressed : {false, true}) {
            well->setColor(Color{value});
            if (pressed) testing::Press(*well, 16, 16);
            const Color fill = pressed ? Darker(Color{value}, 0.44) : Color{value};
            const Color inner = Darker(fill, 0.1);
            const Color outer = Darker(inner, 0.1);
            const struct {
                Int32 x, y;
                Color color;
                // clang-format off
            } samples[] = {
                {5, 5, outer},   {26, 5, outer},  {5, 26, outer},  {26, 26, outer}, {16, 26, outer},
                {6, 26, outer},  {6, 6, inner},   {25, 6, inner},  {6, 25, inner},  {25, 25, inner},
                {16, 6, inner},  {7, 7, fill},    {16, 16, fill},  {24, 25, fill},  {24, 24, fill},
            };
            // clang-format on
            for (const auto& s : samples)
                EXPECT_EQ(At(s.x, s.y), s.color)
                    << std::hex << value << (pressed ? " pressed " : " ") << s.x << ", " << s.y;
            testing::Release(*well, 50, 50);
        }
    }
    well->setColor(Color{0xFFFFFF});
    EXPECT_EQ(At(16, 16), Color{0xFFFFFF});
    EXPECT_EQ(At(6, 6), Grey(0.9));
    EXPECT_EQ(At(5, 5), Darker(Grey(0.9), 0.1));
}

TEST_F(SmartColorWellDrawTest, DimmedLookFollowsStateWindowAndPicker) {
    struct Case {
        const char* name;
        bool active, enabled, alsoDimColor, picking;
        bool faceDimmed, boxDimmed;
    };
    const Case cases[] = {
        {"enabled, active", true, true, false, false, false, false},
        {"disabled, active", true, false, false, false, true, false},
        {"disabled, active, also colour", true, false, true, false, true, true},
        {"enabled, inactive", false, true, false, false, true, true},
        {"disabled, inactive", false, false, false, false, true, true},
        {"disabled, inactive, picking", false, false, true, true, false, false},
        {"disabled, active, picking", true, false, true, true, false, false},
    };
    auto other = std::make_shared<Host>();
    other->Constructor("SmartColorWellDrawTest.Other");
    for (const Case& c : cases) {
        Activate(c.active ? static_cast<framework::Window&>(*host) : *other);
        ASSERT_EQ(host->Active(), c.active);
        well->Enabled(c.enabled);
        well->AlsoDimColor = c.alsoDimColor;
        well->pickingColor = c.picking;
        well->draw();
        const auto half = [](int alpha) { return alpha >= 126 && alpha <= 129; };
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{3, 15}, std::pair{31, 31}})
            EXPECT_EQ(half(AlphaAt(x, y)), c.faceDimmed) << c.name << " at " << x << ", " << y << ": " << AlphaAt(x, y);
        for (const auto& [x, y] : {std::pair{5, 5}, std::pair{16, 16}, std::pair{26, 26}})
            EXPECT_EQ(half(AlphaAt(x, y)), c.boxDimmed) << c.name << " at " << x << ", " << y << ": " << AlphaAt(x, y);
        if (!c.faceDimmed) {
            EXPECT_EQ(AlphaAt(3, 15), 255) << c.name;
        }
        if (!c.boxDimmed) {
            EXPECT_EQ(AlphaAt(16, 16), 255) << c.name;
        }
    }
}

TEST_F(SmartColorWellDrawTest, RedrawsWhenItsWindowBecomesActive) {
    auto other = std::make_shared<Host>();
    other->Constructor("SmartColorWellDrawTest.Other");
    host->Show();
    Activate(*other);
    well->draw();
    ASSERT_LT(AlphaAt(16, 16), 255);
    Activate(*host);
    for (int i = 0; i < 100 && AlphaAt(16, 16) != 255; ++i) QApplication::processEvents();
    EXPECT_EQ(AlphaAt(16, 16), 255);
}

TEST_F(SmartColorWellDrawTest, EveryDrawingStartsFromAClearedWell) {
    Activate();
    well->Enabled(false);
    well->draw();
    ASSERT_LT(AlphaAt(3, 15), 255);
    well->Enabled(true);
    well->draw();
    for (Int32 y = 0; y < 32; ++y)
        for (Int32 x = 0; x < 32; ++x) ASSERT_EQ(AlphaAt(x, y), 255) << x << ", " << y;
}

TEST_F(SmartColorWellDrawTest, PaintDrawsOnItsOwnSurfaceAndPassesTheGraphicsOn) {
    Activate();
    well->ColorSelected = Color{0x00FF00};
    auto other = framework::NewPicture(32, 32, 32);
    other->Graphics()->ForeColor(Color{0x123456});
    other->Graphics()->FillRect(0, 0, 32, 32);
    framework::Graphics* passed = nullptr;
    well->Paint.Bind([&](framework::Graphics& g) { passed = &g; });
    well->Event_Paint(*other->Graphics());
    EXPECT_EQ(passed, other->Graphics().get());
    EXPECT_EQ(other->Graphics()->Pixel(16, 16), Color{0x123456});
    EXPECT_EQ(At(16, 16), Color{0x00FF00});
}

}  // namespace
}  // namespace kivra
