#include "framework/app/DockItem.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <algorithm>
#include <cstring>

#include "framework/app/detail/NetWmIcon.h"
#include "framework/app/detail/TileIconEngine.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"

namespace kivra::framework {

namespace {

constexpr Int32 kTileSide = 128;

// The program's pictures: <executable's folder>/../share/kivra.
QString ResourcesFolder() {
    const QFileInfo executable(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    return QDir::cleanPath(executable.absolutePath() + QStringLiteral("/../share/kivra"));
}

struct Rows {
    int first, last;  // last not included
};

// Makes `to` a copy of `from` (both premultiplied ARGB), writing only the
// rows that differ, and says which rows those were.
Rows CopyChangedRows(const QImage& from, QImage& to) {
    if (to.size() != from.size() || to.format() != from.format()) {
        to = from.copy();
        return {0, from.height()};
    }
    Rows changed{from.height(), 0};
    const auto rowBytes = static_cast<size_t>(from.width()) * 4;
    uchar* const bits = to.bits();
    for (int y = 0; y < from.height(); ++y) {
        uchar* row = bits + y * to.bytesPerLine();
        if (std::memcmp(row, from.constScanLine(y), rowBytes) == 0) continue;
        std::memcpy(row, from.constScanLine(y), rowBytes);
        changed.first = std::min(changed.first, y);
        changed.last = y + 1;
    }
    return changed;
}

Ref<Picture> LoadOwnIcon() {
    const QDir resources(ResourcesFolder());
    auto icon = Picture::Open(resources.filePath(QStringLiteral("AboutIcon.bmp")).toStdString());
    if (!icon) return {};
    auto mask = Picture::Open(resources.filePath(QStringLiteral("AboutMask.bmp")).toStdString());
    if (mask) icon->Mask(true)->Graphics()->DrawPicture(mask, 0, 0);
    auto tile = detail::NewTransparentPicture(kTileSide, kTileSide);
    if (!tile) return {};
    tile->Graphics()->DrawPicture(icon, 0, 0, kTileSide, kTileSide, 0, 0, icon->Width(), icon->Height());
    return tile;
}

}  // namespace

DockItem::DockItem() : mTile(detail::NewTransparentPicture(kTileSide, kTileSide)) {}

void DockItem::ResetIcon() {
    if (!mOwnIcon) mOwnIcon = LoadOwnIcon();
    QImage& tile = mTile->Data().image;
    if (mOwnIcon)
        // Copied in, not shared: the tile keeps its own pixels, and only the
        // rows drawn on since are written again.
        CopyChangedRows(mOwnIcon->Data().image, tile);
    else
        tile.fill(Qt::transparent);
}

Ref<Graphics> DockItem::Graphics() { return mTile->Graphics(); }

void DockItem::UpdateNow() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) return;
    const QImage& tile = mTile->Data().image;
    const bool first = !mShown;
    if (first) {
        mShown = detail::NewTransparentPicture(kTileSide, kTileSide);
        if (!mShown) return;
    }
    Rows changed = CopyChangedRows(tile, mShown->Data().image);
    if (first) changed = {0, tile.height()};
    if (changed.first >= changed.last) return;

    if (auto* x11 = detail::NetWmIcon::Instance()) {
        x11->Set(tile, changed.first, changed.last);
    } else {
        // The windows take the application's icon: none of them has one of its own.
        QApplication::setWindowIcon(QIcon(new detail::TileIconEngine(tile.copy())));
    }
}

}  // namespace kivra::framework
