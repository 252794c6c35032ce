#include "framework/values/Random.h"

#include "framework/testing/detail/TestSeams.h"

namespace kivra::framework {

namespace {

unsigned long long InitialSeed() {
    if (const auto seed = detail::Seams().randomSeed) return *seed;
    std::random_device device;
    const unsigned long long high = device();
    return (high << 32) ^ device();
}

}  // namespace

Random::Random() : mEngine(InitialSeed()) {}

Int32 Random::InRange(Int32 lo, Int32 hi) {
    if (hi < lo) return lo;
    return std::uniform_int_distribution<Int32>(lo, hi)(mEngine);
}

}  // namespace kivra::framework
