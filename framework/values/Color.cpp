#include "framework/values/Color.h"

#include <algorithm>
#include <cmath>

namespace kivra::framework {

namespace {

struct Channels {
    double r, g, b;
};

Channels UnitChannels(const Color& c) { return {c.Red() / 255.0, c.Green() / 255.0, c.Blue() / 255.0}; }

// NaN would slip through std::clamp, so it counts as 0.
double ClampUnit(double x) {
    if (std::isnan(x)) return 0.0;
    return std::clamp(x, 0.0, 1.0);
}

Int32 ClampChannel(Int32 x) { return std::clamp<Int32>(x, 0, 255); }

}  // namespace

double Color::Hue() const {
    const auto [r, g, b] = UnitChannels(*this);
    const double max = std::max({r, g, b});
    const double delta = max - std::min({r, g, b});
    if (delta <= 0.0) return 0.0;
    double sixths;
    if (max == r)
        sixths = (g - b) / delta;
    else if (max == g)
        sixths = 2.0 + (b - r) / delta;
    else
        sixths = 4.0 + (r - g) / delta;
    if (sixths < 0.0) sixths += 6.0;
    return sixths / 6.0;
}

double Color::Saturation() const {
    const auto [r, g, b] = UnitChannels(*this);
    const double max = std::max({r, g, b});
    if (max <= 0.0) return 0.0;
    return (max - std::min({r, g, b})) / max;
}

double Color::Value() const {
    const auto [r, g, b] = UnitChannels(*this);
    return std::max({r, g, b});
}

Color RGB(Int32 red, Int32 green, Int32 blue) {
    return Color((static_cast<std::uint32_t>(ClampChannel(red)) << 16) |
                 (static_cast<std::uint32_t>(ClampChannel(green)) << 8) |
                 static_cast<std::uint32_t>(ClampChannel(blue)));
}

Color HSV(double hue, double saturation, double value) {
    const double h = ClampUnit(hue), s = ClampUnit(saturation), v = ClampUnit(value);
    const double scaled = h * 6.0;
    const double sector = std::floor(scaled);
    const double f = scaled - sector;
    const double p = v * (1.0 - s);
    const double q = v * (1.0 - s * f);
    const double t = v * (1.0 - s * (1.0 - f));
    double r, g, b;
    // A hue of exactly 1 is the same as 0: red.
    switch (static_cast<int>(sector) % 6) {
        case 0:
            r = v, g = t, b = p;
            break;
        case 1:
            r = q, g = v, b = p;
            break;
        case 2:
            r = p, g = v, b = t;
            break;
        case 3:
            r = p, g = q, b = v;
            break;
        case 4:
            r = t, g = p, b = v;
            break;
        default:
            r = v, g = p, b = q;
            break;
    }
    return RGB(ToInt32(r * 255.0), ToInt32(g * 255.0), ToInt32(b * 255.0));
}

}  // namespace kivra::framework
