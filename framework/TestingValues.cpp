#include <functional>
#include <optional>

#include "framework/Testing.h"
#include "framework/detail/ValueSeams.h"

namespace kivra::framework {

namespace {

std::function<testing::LocalTime()>& Clock() {
    static std::function<testing::LocalTime()> clock;
    return clock;
}

std::optional<unsigned long long>& Seed() {
    static std::optional<unsigned long long> seed;
    return seed;
}

}  // namespace

namespace testing {

void SetClock(std::function<LocalTime()> clock) { Clock() = std::move(clock); }
void SetTime(const LocalTime& fixed) {
    Clock() = [fixed] { return fixed; };
}
void ResetClock() { Clock() = nullptr; }
void SetRandomSeed(std::optional<unsigned long long> seed) { Seed() = seed; }

}  // namespace testing

namespace detail {

std::optional<testing::LocalTime> TestClockNow() {
    if (!Clock()) return std::nullopt;
    return Clock()();
}

std::optional<unsigned long long> TestRandomSeed() { return Seed(); }

}  // namespace detail

}  // namespace kivra::framework
