#include "framework/values/Date.h"

#include <ctime>
#include <tuple>

#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

namespace {

// localtime_r keeps the zone that glibc read first. tzset() reads it again
// when the text of TZ changed or, without TZ, when /etc/localtime did (one
// stat); asked at most once a second, a new system zone shows within a
// second at no cost per beat.
void FollowZoneChanges() {
    static std::time_t checked = -1;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    if (now.tv_sec == checked) return;
    checked = now.tv_sec;
    tzset();
}

}  // namespace

Date::Date() {
    if (const auto& clock = detail::Seams().clock) {
        const testing::LocalTime fixed = clock();
        *this = Date(fixed.year, fixed.month, fixed.day, fixed.hour, fixed.minute, fixed.second);
        return;
    }
    FollowZoneChanges();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return;
    *this = Date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

Date::Date(Int32 year, Int32 month, Int32 day, Int32 hour, Int32 minute, Int32 second)
    : mYear(year), mMonth(month), mDay(day), mHour(hour), mMinute(minute), mSecond(second) {}

Int32 Date::Operator_Compare(const Ref<Date>& other) const {
    if (other.IsNil()) return 1;
    const auto key = [](const Date& d) { return std::tie(d.mYear, d.mMonth, d.mDay, d.mHour, d.mMinute, d.mSecond); };
    const auto mine = key(*this);
    const auto theirs = key(*other);
    if (mine < theirs) return -1;
    return mine == theirs ? 0 : 1;
}

}  // namespace kivra::framework
