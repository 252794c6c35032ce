#pragma once

// What the value classes read from the test seams of framework/Testing.h.

#include <optional>

#include "framework/Testing.h"

namespace kivra::framework::detail {

// The replaced clock's time, or nullopt when Date reads the system clock.
std::optional<testing::LocalTime> TestClockNow();
// The seed every new Random takes, or nullopt for a seed from the system.
std::optional<unsigned long long> TestRandomSeed();

}  // namespace kivra::framework::detail
