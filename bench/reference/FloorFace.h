#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QTimer>
#include <QWidget>

#include <array>
#include <random>

// The clock's visible work done the plain Qt way: a face of 27 rounded
// squares in the clock's layout, recoloured at random on the clock's beat
// (as many lit squares per group as the digits of the time), only the
// squares that changed repainted, and a 128 x 128 window icon of the face
// set on the same beat.
class FloorFace : public QWidget {
public:
    FloorFace(QSize size, int beat);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Square {
        QRect rect;
        int group;
        QRgb color;
    };

    void Tick();
    void Show(int hour, int minute);
    void PaintSquares(QPainter& painter, const QRect& area) const;
    void SetIcon();

    int mBeat;
    int mLastSecond = -1;
    int mRadius = 0;
    std::array<Square, 27> mSquares{};
    QImage mTile;
    QTimer mTimer;
    std::minstd_rand mRandom;
};
