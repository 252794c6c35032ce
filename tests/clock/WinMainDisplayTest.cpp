#include "clock/ClockTestFixture.h"

#include <set>

namespace kivra {
namespace {

using framework::BooleanToVariant;
using framework::Color;
using framework::Date;
using framework::Int32ToVariant;
using framework::New;
namespace testing = framework::testing;

using Counts = std::array<int, 4>;  // hour tens, hour units, minute tens, minute units

class WinMainDisplay : public ClockTestFixture {
protected:
    void OpenInMode(bool twentyFour) {
        WriteSettings({{"24HrMode", BooleanToVariant(twentyFour)}});
        OpenClock();
    }
    void ShowTime(int hour, int minute) { win->UpdateDisplay(New<Date>(2026, 3, 14, hour, minute, 0)); }
};

struct TimeCase {
    int hour, minute;
    bool twentyFour;
    Counts lit;
};

TEST_F(WinMainDisplay, LightsAsManySquaresAsEachDigitInItsGroupColour) {
    // clang-format off
    const TimeCase cases[] = {
        {0, 0, true, {0, 0, 0, 0}},   {0, 0, false, {1, 2, 0, 0}},  {12, 34, true, {1, 2, 3, 4}},
        {12, 34, false, {1, 2, 3, 4}}, {13, 5, false, {0, 1, 0, 5}}, {13, 5, true, {1, 3, 0, 5}},
        {19, 59, true, {1, 9, 5, 9}}, {23, 59, false, {1, 1, 5, 9}}, {10, 10, false, {1, 0, 1, 0}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << (c.twentyFour ? " 24h" : " 12h"));
        OpenInMode(c.twentyFour);
        ShowTime(c.hour, c.minute);
        EXPECT_EQ(LitCounts(), c.lit);
        for (int i = 0; i < 27; ++i) {
            const Color lit = i < 3 ? win->ColorH1 : i < 12 ? win->ColorH0 : i < 18 ? win->ColorM1 : win->ColorM0;
            const Color shown = Square(i)->FillColor();
            EXPECT_TRUE(shown == lit || shown == win->ColorOff) << "square " << i;
        }
        Restart();
    }
}

TEST_F(WinMainDisplay, NilShowsTheCurrentTimeAndADateItsOwn) {
    OpenInMode(true);
    now.hour = 13;
    now.minute = 5;
    win->UpdateDisplay(nullptr);
    EXPECT_EQ(LitCounts(), (Counts{1, 3, 0, 5}));
    ShowTime(0, 0);
    EXPECT_EQ(LitCounts(), (Counts{0, 0, 0, 0}));
}

TEST_F(WinMainDisplay, WritesOnlySquaresWhoseColourChanges) {
    OpenInMode(true);
    auto redraws = [this] {
        std::vector<int> counts;
        for (int i = 0; i < 27; ++i) counts.push_back(testing::RedrawCount(*Square(i)));
        return counts;
    };
    const auto beforeFirst = redraws();
    ShowTime(0, 0);
    const auto afterFirst = redraws();
    for (int i = 0; i < 27; ++i) {
        // The opening pattern lit 3, 6-9, 12-14 and 18, 20, 22, 24, 26; only those go dark.
        const bool wasLit = (i == 3 || (i >= 6 && i <= 9) || (i >= 12 && i <= 14) || (i >= 18 && i % 2 == 0));
        EXPECT_EQ(afterFirst[i] != beforeFirst[i], wasLit) << "square " << i;
    }

    const int backWrites = testing::BackColorWrites(*win);
    ShowTime(0, 0);
    EXPECT_EQ(redraws(), afterFirst);
    // The background is written on every call.
    EXPECT_EQ(testing::BackColorWrites(*win), backWrites + 1);
}

TEST_F(WinMainDisplay, RepaintsAfterAColourChange) {
    OpenInMode(true);
    now.hour = 0;
    now.minute = 0;
    win->UpdateDisplay(nullptr);
    win->ColorOff = Color{0x112233};
    win->ColorBG = Color{0x445566};
    win->UpdateDisplay(nullptr);
    for (int i = 0; i < 27; ++i) EXPECT_EQ(Square(i)->FillColor(), Color{0x112233}) << "square " << i;
    EXPECT_EQ(win->BackColor(), Color{0x445566});

    // A group colour equal to the unlit colour makes its lit squares look unlit.
    win->ColorM0 = win->ColorOff;
    ShowTime(0, 9);
    EXPECT_EQ(LitCounts(), (Counts{0, 0, 0, 0}));
}

TEST_F(WinMainDisplay, DrawsAFreshPatternEachCall) {
    OpenInMode(true);
    std::set<std::vector<std::uint32_t>> patterns;
    for (int call = 0; call < 8; ++call) {
        ShowTime(12, 34);
        EXPECT_EQ(LitCounts(), (Counts{1, 2, 3, 4}));
        std::vector<std::uint32_t> pattern;
        for (const Color c : FaceColors()) pattern.push_back(c.Integer());
        patterns.insert(pattern);
    }
    EXPECT_GT(patterns.size(), 1u);
}

TEST_F(WinMainDisplay, PatternDoesNotDependOnTheRotation) {
    std::vector<std::vector<Color>> upright;
    for (int dir : {0, 1, 2, 3, 7}) {
        SCOPED_TRACE(::testing::Message() << "dir " << dir);
        WriteSettings({{"Rotation", Int32ToVariant(dir)}, {"24HrMode", BooleanToVariant(true)}});
        OpenClock();
        std::vector<std::vector<Color>> shown;
        for (const auto& [h, m] : {std::pair{19, 59}, std::pair{12, 34}, std::pair{7, 1}}) {
            ShowTime(h, m);
            shown.push_back(FaceColors());
        }
        if (dir == 0)
            upright = shown;
        else
            EXPECT_EQ(shown, upright);
        Restart();
    }
}

}  // namespace
}  // namespace kivra
