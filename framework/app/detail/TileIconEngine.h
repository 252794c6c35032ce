#pragma once

// Framework-internal: the icon engine of the taskbar tile.

#include <QIconEngine>
#include <QImage>

namespace kivra::framework::detail {

// Hands out the tile's pixels as they are. Qt's own pixmap icons put every
// pixmap they give out into the global pixmap cache, which an icon that
// changes every second fills up.
class TileIconEngine : public QIconEngine {
public:
    explicit TileIconEngine(QImage image) : mImage(std::move(image)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QIconEngine* clone() const override;
    QString key() const override;

private:
    QImage mImage;
};

}  // namespace kivra::framework::detail
