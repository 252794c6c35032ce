#include "framework/app/detail/TileIconEngine.h"

#include <QPainter>
#include <QPixmap>

namespace kivra::framework::detail {

void TileIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) {
    painter->drawImage(rect, mImage);
}

QSize TileIconEngine::actualSize(const QSize& size, QIcon::Mode, QIcon::State) {
    return mImage.size().scaled(size.boundedTo(mImage.size()), Qt::KeepAspectRatio);
}

QPixmap TileIconEngine::pixmap(const QSize& size, QIcon::Mode, QIcon::State) {
    if (size == mImage.size()) return QPixmap::fromImage(mImage);
    return QPixmap::fromImage(mImage.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QList<QSize> TileIconEngine::availableSizes(QIcon::Mode, QIcon::State) { return {mImage.size()}; }

QIconEngine* TileIconEngine::clone() const { return new TileIconEngine(mImage); }

QString TileIconEngine::key() const { return QStringLiteral("KivraTile"); }

}  // namespace kivra::framework::detail
