#include "clock/ClockTestFixture.h"

#include <vector>

namespace kivra {
namespace {

using framework::Int32ToVariant;
namespace testing = framework::testing;

class WinMainBeat : public ClockTestFixture {
protected:
    void OpenWithBeat(int changeMode) {
        WriteSettings({{"ChangeMode", Int32ToVariant(changeMode)}});
        OpenClock();
    }
    // Fires the timer at minute:second and tells whether the face changed.
    bool FireAt(int minute, int second) {
        now.minute = minute;
        now.second = second;
        const int before = testing::BackColorWrites(*win);
        testing::Fire(*ClockTimer());
        return testing::BackColorWrites(*win) != before;
    }
};

TEST_F(WinMainBeat, FirstFiringOnlyRecordsTheSecond) {
    OpenWithBeat(0);
    const auto opening = FaceColors();
    EXPECT_FALSE(FireAt(20, 30));
    EXPECT_EQ(FaceColors(), opening);
    EXPECT_EQ(ClockTimer()->Period(), 1000);

    // The second firing polls from then on and, with nothing shown yet, changes the face.
    EXPECT_TRUE(FireAt(20, 30));
    EXPECT_EQ(ClockTimer()->Period(), 100);
    EXPECT_NE(FaceColors(), opening);
}

TEST_F(WinMainBeat, PeriodBecomesOneHundredAlsoWhenTheGateStops) {
    OpenWithBeat(2);
    FireAt(20, 1);
    // A face that already shows the time, so that the gate has its say.
    win->UpdateDisplay(nullptr);
    EXPECT_FALSE(FireAt(20, 2));
    EXPECT_EQ(ClockTimer()->Period(), 100);
}

struct Firing {
    int minute, second;
    bool changes;
};

struct BeatCase {
    const char* name;
    int changeMode;
    std::vector<Firing> firings;  // the first one only records
};

TEST_F(WinMainBeat, GateAndSameSecondTestAcrossFirings) {
    // clang-format off
    const BeatCase cases[] = {
        {"every second", 0,
         {{20, 2, false}, {20, 2, true}, {20, 2, false}, {20, 3, true}, {20, 3, false}, {21, 3, true}}},
        {"every 4 seconds", 1,
         {{20, 2, false}, {20, 3, true}, {20, 3, false}, {20, 4, true}, {20, 4, false}, {20, 5, false},
          {20, 56, true}, {20, 57, false}, {21, 0, true}, {21, 0, false}, {21, 4, true}}},
        {"every minute", 2,
         {{20, 58, false}, {20, 59, true}, {20, 59, false}, {21, 0, true}, {21, 0, false}, {21, 1, false},
          {21, 59, false}, {23, 0, true}, {23, 0, false}, {24, 0, true}}},
        {"out of range above", 9, {{20, 2, false}, {20, 3, true}, {20, 3, false}, {20, 5, true}}},
        {"out of range below", -1, {{20, 2, false}, {20, 2, true}, {20, 7, true}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OpenWithBeat(c.changeMode);
        for (const auto& f : c.firings) {
            SCOPED_TRACE(::testing::Message() << "at " << f.minute << ":" << f.second);
            EXPECT_EQ(FireAt(f.minute, f.second), f.changes);
        }
        Restart();
    }
}

struct StaleCase {
    const char* name;
    int hour, minute, second;
};

TEST_F(WinMainBeat, FaceShowingAnotherTimeIsMendedAtTheNextFiringWhateverTheBeat) {
    // From 10:20:30 shown, the clock is set, resumed or moved to another zone.
    const StaleCase cases[] = {
        {"set forward within the hour", 10, 27, 15},
        {"set back a minute", 10, 19, 50},
        {"resumed the next day", 7, 5, 33},
        {"another zone, same minute", 11, 20, 31},
        {"set back to the same minute of an hour before", 9, 20, 30},
    };
    for (int beat : {0, 1, 2}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(::testing::Message() << "beat " << beat << ", " << c.name);
            WriteSettings({{"ChangeMode", Int32ToVariant(beat)}, {"24HrMode", framework::BooleanToVariant(true)}});
            OpenClock();
            FireAt(20, 29);
            FireAt(20, 30);
            now.hour = c.hour;
            EXPECT_TRUE(FireAt(c.minute, c.second));
            EXPECT_EQ(LitCounts(), (std::array<int, 4>{c.hour / 10, c.hour % 10, c.minute / 10, c.minute % 10}));
            // Once mended, the beat rules again.
            EXPECT_FALSE(FireAt(c.minute, c.second));
            now.hour = 10;
            Restart();
        }
    }
}

TEST_F(WinMainBeat, OpeningPatternGivesWayAtTheSecondFiringWhateverTheBeat) {
    for (int beat : {0, 1, 2}) {
        SCOPED_TRACE(::testing::Message() << "beat " << beat);
        WriteSettings({{"ChangeMode", Int32ToVariant(beat)}, {"24HrMode", framework::BooleanToVariant(true)}});
        OpenClock();
        EXPECT_FALSE(FireAt(20, 29));
        EXPECT_TRUE(FireAt(20, 31));
        EXPECT_EQ(LitCounts(), (std::array<int, 4>{1, 0, 2, 0}));
        Restart();
    }
}

TEST_F(WinMainBeat, ShowsTheTimeOfTheReadingItPassedTheGateWith) {
    WriteSettings({{"ChangeMode", Int32ToVariant(0)}, {"24HrMode", framework::BooleanToVariant(true)}});
    OpenClock();
    now.hour = 19;
    FireAt(59, 1);
    FireAt(59, 2);
    EXPECT_EQ(LitCounts(), (std::array<int, 4>{1, 9, 5, 9}));
}

TEST_F(WinMainBeat, NewBeatTakesEffectAtTheNextFiring) {
    OpenWithBeat(2);
    FireAt(20, 59);
    EXPECT_TRUE(FireAt(21, 0));
    ChooseFromContextMenu("Change every Second");
    EXPECT_FALSE(FireAt(21, 0));
    EXPECT_TRUE(FireAt(21, 1));
    ChooseFromContextMenu("Change every 4 Seconds");
    EXPECT_FALSE(FireAt(21, 2));
    EXPECT_TRUE(FireAt(21, 4));
}

}  // namespace
}  // namespace kivra
