#pragma once

// Framework-internal: the sampling and the mix of a smooth shrink, shared by
// the shrink of pixels and that of a recording, which must give the same.

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace kivra::framework::detail {

// Where a destination pixel reads an opaque source when shrinking: the two
// source pixels around the point under its centre and the weight (of 256) of
// the second.
struct Tap {
    int first, second;
    quint32 weight;
};

inline std::vector<Tap> Taps(int count, int from, int lo, int hi, const std::function<double(double)>& toSource) {
    std::vector<Tap> taps(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double at = std::clamp(toSource(from + i + 0.5) - 0.5, static_cast<double>(lo), static_cast<double>(hi));
        const int first = std::min(static_cast<int>(at), hi);
        const auto weight = static_cast<quint32>(std::lround((at - first) * 256.0));
        taps[static_cast<size_t>(i)] = {first, std::min(first + 1, hi), std::min(weight, 255u)};
    }
    return taps;
}

// Mixes two pixels, all four channels, the second by weight / 256: equal
// pixels give themselves back exactly.
inline quint32 Mix(quint32 a, quint32 b, quint32 weight) {
    const quint32 keep = 256u - weight;
    const quint32 rb = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const quint32 ag = ((((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight)) & 0xFF00FF00u;
    return rb | ag;
}

}  // namespace kivra::framework::detail
