#pragma once

#include <cstdint>

#include "framework/values/Types.h"

namespace kivra::framework {

// An RGB colour held as 0x00RRGGBB.
class Color {
public:
    constexpr Color() = default;
    constexpr explicit Color(std::uint32_t rrggbb) : mValue(rrggbb & 0xFFFFFFu) {}

    constexpr std::uint32_t Integer() const { return mValue; }
    constexpr Int32 Red() const { return static_cast<Int32>((mValue >> 16) & 0xFFu); }
    constexpr Int32 Green() const { return static_cast<Int32>((mValue >> 8) & 0xFFu); }
    constexpr Int32 Blue() const { return static_cast<Int32>(mValue & 0xFFu); }

    // Hue, saturation and value, each 0.0 to 1.0.
    double Hue() const;
    double Saturation() const;
    double Value() const;

    friend constexpr bool operator==(Color a, Color b) { return a.mValue == b.mValue; }

private:
    std::uint32_t mValue = 0;
};

// Channels outside 0 to 255 are clamped.
Color RGB(Int32 red, Int32 green, Int32 blue);
// Hue, saturation and value from 0.0 to 1.0, clamped.
Color HSV(double hue, double saturation, double value);

}  // namespace kivra::framework
