#include "FloorFace.h"

#include <QIcon>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "LocalTime.h"

namespace {

constexpr int kTileSide = 128;
constexpr QRgb kBackground = 0x000000;
constexpr QRgb kOff = 0x7F7F7F;

// The clock's default colours and its four groups: hour tens, hour units,
// minute tens, minute units, by the face's twelve columns (1, 5 and 8 empty).
constexpr std::array<QRgb, 4> kLit{0xFF0000, 0x00FF00, 0x0055FF, 0xFF0000};
constexpr std::array<int, 12> kGroupOfColumn{0, -1, 1, 1, 1, -1, 2, 2, -1, 3, 3, 3};

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

FloorFace::FloorFace(QSize size, int beat) : mBeat(beat), mRandom(std::random_device{}()) {
    setWindowTitle(QStringLiteral("Kivra fair floor"));
    setWindowFlags(Qt::FramelessWindowHint);
    // Every pixel asked for is painted here; Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(10, 40, size.width(), size.height());

    // The clock's geometry: a unit of 1/51 of the width (1/15 of the height
    // if less), squares of 3 units on a pitch of 4 with a margin of 2.
    const double u = std::min(size.width() / 51.0, size.height() / 15.0);
    const int side = Round(3.0 * u);
    mRadius = Round(3.0 * u / 5.0) / 2;
    std::size_t n = 0;
    for (int column = 0; column < 12; ++column) {
        if (kGroupOfColumn[column] < 0) continue;
        for (int row = 0; row < 3; ++row) {
            const QRect rect(Round(u * (4 * column + 2)), Round(u * (4 * row + 2)), side, side);
            mSquares[n++] = {rect, kGroupOfColumn[column], kOff};
        }
    }

    mTile = QImage(kTileSide, kTileSide, QImage::Format_ARGB32_Premultiplied);
    mTimer.setTimerType(Qt::PreciseTimer);
    connect(&mTimer, &QTimer::timeout, this, &FloorFace::Tick);
    mTimer.start(100);
}

void FloorFace::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(kBackground));
    PaintSquares(painter, event->rect());
}

void FloorFace::Tick() {
    std::tm now{};
    if (!ReadLocalTime(now) || now.tm_sec == mLastSecond) return;
    if (mBeat == 1 && now.tm_sec % 4 != 0) return;
    mLastSecond = now.tm_sec;
    Show(now.tm_hour, now.tm_min);
}

void FloorFace::Show(int hour, int minute) {
    const std::array<int, 4> digits{hour / 10, hour % 10, minute / 10, minute % 10};
    for (int group = 0; group < 4; ++group) {
        std::vector<Square*> members;
        for (Square& square : mSquares)
            if (square.group == group) members.push_back(&square);
        std::shuffle(members.begin(), members.end(), mRandom);
        for (std::size_t k = 0; k < members.size(); ++k) {
            const QRgb wanted = static_cast<int>(k) < digits[group] ? kLit[group] : kOff;
            if (members[k]->color == wanted) continue;
            members[k]->color = wanted;
            update(members[k]->rect);
        }
    }
    SetIcon();
}

void FloorFace::PaintSquares(QPainter& painter, const QRect& area) const {
    painter.setPen(Qt::NoPen);
    for (const Square& square : mSquares) {
        if (!area.intersects(square.rect)) continue;
        painter.setBrush(QColor::fromRgb(square.color));
        painter.drawRoundedRect(square.rect, mRadius, mRadius);
    }
}

// The face drawn straight at the icon's scale, 128 wide and centred on the
// tile, as the clock's icon costs the same at every window size.
void FloorFace::SetIcon() {
    mTile.fill(Qt::transparent);
    QPainter painter(&mTile);
    const double scale = static_cast<double>(kTileSide) / width();
    const int stripHeight = Round(height() * scale);
    painter.translate(0, (kTileSide - stripHeight) / 2);
    painter.fillRect(0, 0, kTileSide, stripHeight, QColor::fromRgb(kBackground));
    painter.scale(scale, scale);
    PaintSquares(painter, rect());
    painter.end();
    setWindowIcon(QIcon(QPixmap::fromImage(mTile)));
}
