#include "framework/drawing/detail/Recording.h"

#include <algorithm>

#include "framework/drawing/detail/PictureData.h"
#include "framework/drawing/detail/RoundRectShape.h"

namespace kivra::framework::detail {

void FillClipped(QImage& image, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                 quint32 encoded) {
    if (width <= 0 || height <= 0) return;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(x + width, image.width());
    const std::int64_t y1 = std::min<std::int64_t>(y + height, image.height());
    if (x0 >= x1 || y0 >= y1) return;
    FillEncoded(image, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0),
                encoded);
}

void FillRoundRectClipped(QImage& image, const RecordedShape& s) {
    const std::int64_t firstRow = std::max<std::int64_t>(0, -s.y);
    const std::int64_t lastRow = std::min<std::int64_t>(s.height, image.height() - s.y);
    ForEachRoundRectRun(s.width, s.height, s.ovalWidth, s.ovalHeight, firstRow, lastRow,
                        [&](std::int64_t inset, std::int64_t top, std::int64_t rows) {
                            FillClipped(image, s.x + inset, s.y + top, s.width - 2 * inset, rows, s.encoded);
                        });
}

void Recording::FillRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, quint32 encoded) {
    if (width <= 0 || height <= 0) return;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0), y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t x1 = std::min<std::int64_t>(x + width, mSize.width());
    const std::int64_t y1 = std::min<std::int64_t>(y + height, mSize.height());
    if (x0 >= x1 || y0 >= y1) return;
    if (x0 == 0 && y0 == 0 && x1 == mSize.width() && y1 == mSize.height()) {
        // Covers everything drawn before.
        mBase = encoded;
        mShapes.clear();
        return;
    }
    mShapes.push_back({x0, y0, x1 - x0, y1 - y0, 0, 0, encoded});
}

void Recording::FillRoundRect(const RecordedShape& shape) {
    if (shape.width <= 0 || shape.height <= 0) return;
    if (shape.x >= mSize.width() || shape.y >= mSize.height() || shape.x + shape.width <= 0 ||
        shape.y + shape.height <= 0)
        return;
    mShapes.push_back(shape);
}

void Recording::Paint(QImage& image) const {
    FillEncoded(image, 0, 0, image.width(), image.height(), mBase);
    for (const RecordedShape& s : mShapes) {
        if (s.ovalWidth > 0)
            FillRoundRectClipped(image, s);
        else
            FillClipped(image, s.x, s.y, s.width, s.height, s.encoded);
    }
}

void Recording::RowSpans(int y, std::vector<Span>& spans) const {
    spans.clear();
    for (std::size_t i = 0; i < mShapes.size(); ++i) {
        const RecordedShape& s = mShapes[i];
        const std::int64_t j = y - s.y;
        if (j < 0 || j >= s.height) continue;
        const std::int64_t inset =
            s.ovalWidth > 0 ? RoundRectInset(j, s.width, s.height, s.ovalWidth, s.ovalHeight) : 0;
        if (s.width - 2 * inset > 0) spans.push_back({s.x + inset, s.x + s.width - inset, i});
    }
}

}  // namespace kivra::framework::detail
