#pragma once

// Framework-internal: a recording shrunk as its painted pixels would be.

#include <QImage>
#include <QRect>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/drawing/detail/Recording.h"
#include "framework/drawing/detail/Smoothing.h"

namespace kivra::framework::detail {

// The dock icon shrinks a picture of the same squares in the same places
// every second; only their colours change. What depends on the places (the
// taps, which source rows read alike, which shape covers each column read)
// is worked out once for them and kept, so that a shrink only mixes
// colours: its cost depends on the size of what it writes, not on that of
// the picture.
class RecordedShrink {
public:
    // What decides the taps besides the recording: the rectangles of the
    // drawing, the part of the target written and the part of the source read.
    using Key = std::array<std::int64_t, 16>;
    using TapsMaker = std::function<void(std::vector<Tap>& columns, std::vector<Tap>& rows)>;

    // Writes into `visible` of the 32-bit target what a smooth shrink of the
    // recording's pixels with the taps of `makeTaps` gives.
    static void Draw(QImage& target, const QRect& visible, const Recording& source, const Key& key,
                     const TapsMaker& makeTaps);

private:
    // Columns read from `from` up to `to` (not included) covered by a shape.
    struct Run {
        std::uint32_t from, to;
        std::size_t shape;
        bool operator==(const Run&) const = default;
    };
    // The two classes of source rows a destination row mixes, and the weight
    // of the second.
    struct RowMix {
        std::uint32_t upper, lower;
        quint32 weight;
    };

    bool Fits(const Recording& source, const Key& key) const;
    void Plan(const Recording& source, const Key& key, const TapsMaker& makeTaps);
    void Apply(QImage& target, const QRect& visible, const Recording& source);

    bool mPlanned = false;
    Key mKey{};
    std::vector<RecordedShape> mShapes;  // for their places: colours are read anew
    std::vector<Tap> mColumns;
    std::size_t mRead = 0;                           // columns read
    std::vector<std::uint32_t> mFirstAt, mSecondAt;  // of each tap, among the columns read
    // Source rows covered alike at the columns read have the same pixels there.
    std::vector<std::vector<Run>> mClasses;
    std::vector<RowMix> mRows;
    std::vector<quint32> mSamples, mMixed;
};

}  // namespace kivra::framework::detail
