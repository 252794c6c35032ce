#include "framework/drawing/detail/RecordedShrink.h"

#include <algorithm>
#include <cstring>

namespace kivra::framework::detail {

void RecordedShrink::Draw(QImage& target, const QRect& visible, const Recording& source, const Key& key,
                          const TapsMaker& makeTaps) {
    // The last one only: the clock shrinks one picture at a time.
    static RecordedShrink last;
    if (!last.Fits(source, key)) last.Plan(source, key, makeTaps);
    last.Apply(target, visible, source);
}

bool RecordedShrink::Fits(const Recording& source, const Key& key) const {
    if (!mPlanned || key != mKey || source.Shapes().size() != mShapes.size()) return false;
    const auto samePlace = [](const RecordedShape& a, const RecordedShape& b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.ovalWidth == b.ovalWidth &&
               a.ovalHeight == b.ovalHeight;
    };
    return std::equal(mShapes.begin(), mShapes.end(), source.Shapes().begin(), samePlace);
}

void RecordedShrink::Plan(const Recording& source, const Key& key, const TapsMaker& makeTaps) {
    mPlanned = false;
    std::vector<Tap> rows;
    makeTaps(mColumns, rows);
    const std::size_t n = mColumns.size();

    // The columns read, in increasing order (the taps never go back, and
    // each reads its column and the next), and where each tap finds its two.
    std::vector<int> read;
    read.reserve(2 * n);
    mFirstAt.resize(n);
    mSecondAt.resize(n);
    for (std::size_t u = 0; u < n; ++u) {
        const Tap& c = mColumns[u];
        if (read.empty() || c.first > read.back()) read.push_back(c.first);
        mFirstAt[u] = static_cast<std::uint32_t>(read.size() - (read.back() == c.first ? 1 : 2));
        if (c.second > read.back()) read.push_back(c.second);
        mSecondAt[u] = static_cast<std::uint32_t>(read.size() - (read.back() == c.second ? 1 : 2));
    }
    mRead = read.size();

    mClasses.clear();
    std::vector<Recording::Span> spans;
    std::vector<Run> runs;
    int lastRow = -1;
    std::uint32_t lastClass = 0;
    const auto classOf = [&](int row) {
        if (row == lastRow) return lastClass;
        source.RowSpans(row, spans);
        runs.clear();
        for (const Recording::Span& span : spans) {
            const auto from = std::lower_bound(read.begin(), read.end(), span.from);
            const auto to = std::lower_bound(from, read.end(), span.to);
            if (from != to)
                runs.push_back({static_cast<std::uint32_t>(from - read.begin()),
                                static_cast<std::uint32_t>(to - read.begin()), span.shape});
        }
        const auto known = std::find(mClasses.begin(), mClasses.end(), runs);
        lastClass = static_cast<std::uint32_t>(known - mClasses.begin());
        if (known == mClasses.end()) mClasses.push_back(runs);
        lastRow = row;
        return lastClass;
    };
    mRows.resize(rows.size());
    for (std::size_t v = 0; v < rows.size(); ++v) {
        const std::uint32_t upper = classOf(rows[v].first);
        mRows[v] = {upper, classOf(rows[v].second), rows[v].weight};
    }

    mKey = key;
    mShapes = source.Shapes();
    mPlanned = true;
}

void RecordedShrink::Apply(QImage& target, const QRect& visible, const Recording& source) {
    const std::size_t n = mColumns.size();
    const std::vector<RecordedShape>& shapes = source.Shapes();
    mSamples.resize(mRead);
    mMixed.resize(mClasses.size() * n);
    for (std::size_t k = 0; k < mClasses.size(); ++k) {
        std::fill(mSamples.begin(), mSamples.end(), source.Base());
        for (const Run& run : mClasses[k])
            std::fill(mSamples.begin() + run.from, mSamples.begin() + run.to, shapes[run.shape].encoded);
        quint32* mixed = mMixed.data() + k * n;
        for (std::size_t u = 0; u < n; ++u) {
            const quint32 a = mSamples[mFirstAt[u]], b = mSamples[mSecondAt[u]];
            mixed[u] = a == b ? a : Mix(a, b, mColumns[u].weight);
        }
    }
    uchar* const bits = target.bits();
    for (std::size_t v = 0; v < mRows.size(); ++v) {
        const RowMix& row = mRows[v];
        auto* out =
            reinterpret_cast<quint32*>(bits + (visible.top() + static_cast<qsizetype>(v)) * target.bytesPerLine()) +
            visible.left();
        const quint32* upper = mMixed.data() + row.upper * n;
        if (row.upper == row.lower || row.weight == 0) {
            std::memcpy(out, upper, n * sizeof(quint32));
            continue;
        }
        const quint32* lower = mMixed.data() + row.lower * n;
        for (std::size_t u = 0; u < n; ++u)
            out[u] = upper[u] == lower[u] ? upper[u] : Mix(upper[u], lower[u], row.weight);
    }
}

}  // namespace kivra::framework::detail
