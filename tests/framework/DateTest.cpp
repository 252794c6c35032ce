// A new Date is the local time in the zone the system has now, also after the
// zone changed while the program runs.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "framework/testing/Testing.h"
#include "framework/values/Date.h"

namespace fw = kivra::framework;

namespace {

// Puts TZ back as it was when the test ends.
class SavedTZ {
public:
    SavedTZ() {
        if (const char* tz = std::getenv("TZ")) mSaved = tz;
    }
    ~SavedTZ() {
        if (mSaved)
            setenv("TZ", mSaved->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> mSaved;
};

int HoursApart(const fw::Date& later, const fw::Date& earlier) {
    return ((later.Hour() - earlier.Hour()) % 24 + 24) % 24;
}

TEST(Date, FollowsAZoneThatChangesWhileTheProgramRuns) {
    SavedTZ saved;
    fw::testing::ResetClock();
    // Twelve hours apart, so no change of the minute between readings hides it.
    setenv("TZ", "KVA-9", 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const fw::Date before;
    setenv("TZ", "KVB+3", 1);
    // Within a couple of seconds, never at once: the zone is looked at about once a second.
    int apart = 0;
    for (int i = 0; i < 30 && apart != 12; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        apart = HoursApart(before, fw::Date());
    }
    EXPECT_EQ(apart, 12) << "the hour in the new zone";
}

}  // namespace
