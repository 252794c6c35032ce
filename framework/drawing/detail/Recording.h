#pragma once

// Framework-internal: the drawing of a depth-32 picture kept as its fills
// until its pixels are needed.

#include <QImage>
#include <QSize>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivra::framework::detail {

// A filled rectangle, rounded when both ovals are above 0. Rounded ones are
// kept whole, since their corners depend on the whole shape; plain ones are
// kept clipped to the picture.
struct RecordedShape {
    std::int64_t x, y, width, height;
    std::int64_t ovalWidth, ovalHeight;
    quint32 encoded;
};

// The dock icon draws the whole window into a picture every second only to
// shrink it to 128 pixels: kept as a background and the squares on it, the
// picture costs nothing for its size, and a shrink reads just the pixels it
// samples. The pixels are the same as painting each fill in turn.
class Recording {
public:
    // Past this many fills the pixels are cheaper than looking through them.
    static constexpr std::size_t kMaxShapes = 256;

    Recording(QSize size, quint32 encoded) : mSize(size), mBase(encoded) {}

    QSize Size() const { return mSize; }
    // All of one value: nothing recorded on the background.
    bool Uniform() const { return mShapes.empty(); }
    quint32 Base() const { return mBase; }
    bool Full() const { return mShapes.size() >= kMaxShapes; }

    // Both need room (not Full).
    void FillRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, quint32 encoded);
    void FillRoundRect(const RecordedShape& shape);

    // The columns from, up to to (not included), of a row that a shape covers.
    struct Span {
        std::int64_t from, to;
        std::size_t shape;
    };

    const std::vector<RecordedShape>& Shapes() const { return mShapes; }
    // Paints the recording into an RGB32 image of its size.
    void Paint(QImage& image) const;
    // What the shapes cover of row y, in painting order.
    void RowSpans(int y, std::vector<Span>& spans) const;

private:
    QSize mSize;
    quint32 mBase;
    std::vector<RecordedShape> mShapes;
};

// Fills what lies inside the image of the rectangle; sums taken in 64 bits.
void FillClipped(QImage& image, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                 quint32 encoded);
// Fills what lies inside the image of the rounded rectangle.
void FillRoundRectClipped(QImage& image, const RecordedShape& shape);

}  // namespace kivra::framework::detail
