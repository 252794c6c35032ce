#include <gtest/gtest.h>

#include "clock/ClockDigits.h"

namespace kivra {
namespace {

struct DigitsCase {
    int hour, minute;
    bool twentyFour;
    int hourTens, hourUnits, minuteTens, minuteUnits;
};

TEST(ClockDigits, SplitsHourAndMinuteInBothModes) {
    const DigitsCase cases[] = {
        {0, 0, true, 0, 0, 0, 0},   {0, 0, false, 1, 2, 0, 0},    // midnight shows 12 in 12-hour form
        {12, 5, true, 1, 2, 0, 5},  {12, 5, false, 1, 2, 0, 5},   // noon is 12 in both
        {13, 40, true, 1, 3, 4, 0}, {13, 40, false, 0, 1, 4, 0},  // afternoon loses its tens
        {19, 59, true, 1, 9, 5, 9}, {23, 59, false, 1, 1, 5, 9}, {1, 7, false, 0, 1, 0, 7}, {10, 30, false, 1, 0, 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.hour << ":" << c.minute << (c.twentyFour ? " 24h" : " 12h"));
        const ClockDigits d = ClockDigits::FromTime(c.hour, c.minute, c.twentyFour);
        EXPECT_EQ(d.hourTens, c.hourTens);
        EXPECT_EQ(d.hourUnits, c.hourUnits);
        EXPECT_EQ(d.minuteTens, c.minuteTens);
        EXPECT_EQ(d.minuteUnits, c.minuteUnits);
    }
}

}  // namespace
}  // namespace kivra
