// The dock icon: the face drawn upright and centred on the 128 x 128 tile, the
// option that switches it, and the windows' icon that shows the tile.

#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include <vector>

#include "clock/App.h"
#include "clock/ClockTestFixture.h"
#include "clock/GraphicUtils.h"
#include "framework/app/DockItem.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/values/Types.h"
#include "framework/values/Variant.h"

namespace kivra {
namespace {

namespace fw = framework;
using fw::Int32;

constexpr fw::Color kBackground(0x204060);

QImage TileImage() {
    return App::Instance()->DockItem()->Tile()->Data().image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Kivra's own icon as the tile holds it after a reset.
QImage OwnIcon() {
    App::Instance()->DockItem()->ResetIcon();
    return TileImage();
}

QImage ShownIcon() {
    return QApplication::windowIcon()
        .pixmap(QSize(128, 128))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QRgb Opaque(fw::Color c) { return 0xFF000000u | c.Integer(); }

// The tile made with every picture's pixels painted as soon as they are
// drawn: the window painted into a window-sized picture, shrunk, turned
// upright and laid on Kivra's own icon.
QImage PaintedTile(WinMain& win, Int32 rotation, const QImage& own) {
    constexpr Int32 kOwnSize = -10000;
    const Int32 w = win.Width(), h = win.Height();
    auto p = fw::NewPicture(w, h, 32);
    fw::detail::Pixels(p->Data());
    p->Graphics()->ForeColor(win.ColorBG);
    p->Graphics()->FillRect(0, 0, w, h);
    win.DrawInto(*p->Graphics(), 0, 0, false);
    const Int32 w2 = h < w ? 128 : fw::ToInt32(static_cast<double>(w) * (128.0 / static_cast<double>(h)));
    const Int32 h2 = h < w ? fw::ToInt32(static_cast<double>(h) * (128.0 / static_cast<double>(w))) : 128;
    auto q = fw::NewPicture(w2, h2, 32);
    fw::detail::Pixels(q->Data());
    q->Graphics()->DrawPicture(p, 0, 0, w2, h2, 0, 0, w, h);
    if (rotation == 1) q = GraphicUtils::Rotate90(q, true);
    if (rotation == 2) q = GraphicUtils::Rotate180(q);
    if (rotation == 3) q = GraphicUtils::Rotate90(q, false);
    auto tile = fw::detail::NewTransparentPicture(128, 128);
    fw::detail::Adopt(tile->Data(), own.copy());
    tile->Graphics()->DrawPicture(q, fw::ToInt32((128 - q->Width()) / 2.0), fw::ToInt32((128 - q->Height()) / 2.0),
                                  kOwnSize, kOwnSize, 0, 0, kOwnSize, kOwnSize);
    return tile->Data().image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

class DockIcon : public ClockTestFixture {
protected:
    // Opens the clock at that size and rotation with the dock icon option as given.
    void OpenAt(Int32 width, Int32 height, Int32 rotation, bool updateIcon = true) {
        WriteSettings({{"WinMain.Width", fw::Int32ToVariant(width)},
                       {"WinMain.Height", fw::Int32ToVariant(height)},
                       {"Rotation", fw::Int32ToVariant(rotation)},
                       {"Update Icon", fw::BooleanToVariant(updateIcon)},
                       {"ColorBG", fw::ColorToVariant(kBackground)}});
        OpenClock();
        ASSERT_EQ(win->Width(), width);
        ASSERT_EQ(win->Height(), height);
    }

    // The tile holds the face in `face` and Kivra's own icon everywhere else;
    // the face's edge is the background colour.
    void ExpectFaceAt(const QImage& tile, const QImage& own, const QRect& face) {
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                const QRgb got = tile.pixel(x, y);
                if (!face.contains(x, y)) {
                    ASSERT_EQ(got, own.pixel(x, y)) << "outside the face at " << x << "," << y;
                } else if (x == face.left() || x == face.right() || y == face.top() || y == face.bottom()) {
                    ASSERT_EQ(got, Opaque(kBackground)) << "face edge at " << x << "," << y;
                } else {
                    ASSERT_EQ(qAlpha(got), 255) << "face at " << x << "," << y;
                }
            }
        }
    }

    // Colours at the centres of the squares as an upright face places them
    // on the tile, in square order.
    std::vector<QRgb> SquareCentres(const QImage& tile, const std::vector<QPointF>& centres) {
        std::vector<QRgb> colours;
        for (const QPointF& c : centres)
            colours.push_back(tile.pixel(static_cast<int>(c.x()), static_cast<int>(c.y())));
        return colours;
    }
};

struct PlacementCase {
    Int32 width, height, rotation;
    QRect face;  // where the icon picture lands on the tile
};

TEST_F(DockIcon, FaceIsScaledToTheLongerSideTurnedUprightAndCentred) {
    const PlacementCase cases[] = {
        {510, 150, 0, QRect(0, 45, 128, 38)},  // 150 * 128 / 510 = 37.6 -> 38; (128 - 38) / 2 = 45
        {150, 510, 1, QRect(0, 45, 128, 38)},  // turned back counter-clockwise
        {510, 150, 2, QRect(0, 45, 128, 38)}, {150, 510, 3, QRect(0, 45, 128, 38)},
        {150, 510, 0, QRect(45, 0, 38, 128)},  // higher than wide, not turned
        {510, 150, 5, QRect(45, 0, 38, 128)},  // an edited rotation counts in quarter turns: 5 is 1
        {150, 510, 7, QRect(0, 45, 128, 38)}, {300, 300, 0, QRect(0, 0, 128, 128)},  // square: the second branch
        {49, 49, 0, QRect(0, 0, 128, 128)},    // 49 * (128 / 49) falls just short of 128
        {511, 150, 0, QRect(0, 45, 128, 38)},  // 37.57 -> 38
        {510, 147, 0, QRect(0, 46, 128, 37)},  // 36.89 -> 37; 45.5 -> 46
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " rotation " << c.rotation);
        OpenAt(c.width, c.height, c.rotation);
        const QImage own = OwnIcon();
        win->UpdateAppIcon();
        ExpectFaceAt(TileImage(), own, c.face);
        Restart();
    }
}

TEST_F(DockIcon, TileIsPixelForPixelTheShrunkPaintedWindow) {
    struct Case {
        Int32 width, height, rotation;
    };
    // clang-format off
    const Case cases[] = {
        {510, 150, 0},  {510, 150, 2},   {150, 510, 1},   {150, 510, 3},  {511, 149, 0},  {149, 511, 1},
        {509, 151, 2},  {151, 509, 3},   {1020, 300, 0},  {300, 1020, 3}, {2040, 600, 0}, {2040, 600, 2},
        {600, 2040, 1}, {3840, 1129, 0}, {637, 2159, 3},  {51, 15, 0},    {15, 51, 1},    {15, 51, 3},
        {129, 38, 0},   {128, 38, 2},    {300, 300, 0},   {49, 49, 0},    {510, 150, 5},  {150, 510, 7},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " rotation " << c.rotation);
        OpenAt(c.width, c.height, c.rotation);
        const QImage own = OwnIcon();
        // A pattern of the clock's own, not just the opening one.
        win->UpdateDisplay(nullptr);
        win->UpdateAppIcon();
        const QImage tile = TileImage();
        const QImage expected = PaintedTile(*win, (c.rotation % 4 + 4) % 4, own);
        ASSERT_NE(tile, own);
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x) ASSERT_EQ(tile.pixel(x, y), expected.pixel(x, y)) << "at " << x << "," << y;
        Restart();
    }
}

TEST_F(DockIcon, EveryRotationShowsTheSameUprightStrip) {
    OpenAt(510, 150, 0);
    std::vector<QPointF> centres;
    std::vector<QRgb> expected;
    for (Int32 i = 0; i < 27; ++i) {
        auto sq = Square(i);
        centres.emplace_back((sq->Left() + sq->Width() / 2.0) * 128.0 / 510.0,
                             45 + (sq->Top() + sq->Height() / 2.0) * 38.0 / 150.0);
        expected.push_back(Opaque(sq->FillColor()));
    }
    win->UpdateAppIcon();
    const QImage upright = TileImage();
    ASSERT_EQ(SquareCentres(upright, centres), expected);
    // The opening pattern lights squares of every group, so the strip cannot
    // match itself turned by accident.
    EXPECT_NE(expected.front(), expected.back());

    for (Int32 rotation : {1, 2, 3}) {
        SCOPED_TRACE(rotation);
        Restart();
        if (rotation == 2)
            OpenAt(510, 150, rotation);
        else
            OpenAt(150, 510, rotation);
        win->UpdateAppIcon();
        const QImage tile = TileImage();
        EXPECT_EQ(SquareCentres(tile, centres), expected);
        int differing = 0;
        for (int y = 45; y < 83; ++y)
            for (int x = 0; x < 128; ++x) {
                const QRgb a = tile.pixel(x, y), b = upright.pixel(x, y);
                if (std::abs(qRed(a) - qRed(b)) > 48 || std::abs(qGreen(a) - qGreen(b)) > 48 ||
                    std::abs(qBlue(a) - qBlue(b)) > 48)
                    ++differing;
            }
        // Only where a square's edge falls between two tile pixels may they differ.
        EXPECT_LT(differing, 128 * 38 / 20);
    }
}

TEST_F(DockIcon, BackgroundAroundTheSquaresIsTheBackgroundColour) {
    OpenAt(510, 150, 0);
    win->UpdateAppIcon();
    const QImage tile = TileImage();
    // Between the rows of squares and in the margins.
    for (Int32 i = 0; i < 27; ++i) {
        auto sq = Square(i);
        const int below = 45 + static_cast<int>((sq->Top() + sq->Height() + 2) * 38.0 / 150.0);
        const int x = static_cast<int>((sq->Left() + sq->Width() / 2.0) * 128.0 / 510.0);
        if (below < 82) {
            EXPECT_EQ(tile.pixel(x, below), Opaque(kBackground)) << i;
        }
    }
    for (int x = 0; x < 128; ++x) {
        EXPECT_EQ(tile.pixel(x, 45), Opaque(kBackground)) << x;
        EXPECT_EQ(tile.pixel(x, 82), Opaque(kBackground)) << x;
    }
}

TEST_F(DockIcon, DisplayChangesAndResizesRedrawItWhileTheOptionIsOn) {
    OpenAt(510, 150, 0);
    const QImage own = OwnIcon();
    win->UpdateDisplay(nullptr);
    ExpectFaceAt(TileImage(), own, QRect(0, 45, 128, 38));
    EXPECT_EQ(ShownIcon(), TileImage());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            EXPECT_EQ(w->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
        }

    win->Height(300);  // 510 x 300: 128 x 75 at (0, 26.5 -> 27)
    ExpectFaceAt(TileImage(), own, QRect(0, 27, 128, 75));
    EXPECT_EQ(ShownIcon(), TileImage());
}

TEST_F(DockIcon, WithTheOptionOffTheIconIsNotTouched) {
    OpenAt(510, 150, 0, false);
    const qint64 before = QApplication::windowIcon().cacheKey();
    win->UpdateDisplay(nullptr);
    win->Width(600);
    fw::testing::Fire(*ClockTimer());
    fw::testing::Fire(*ClockTimer());
    // What the tile shows is Kivra's own icon, put there when the application started.
    EXPECT_EQ(TileImage(), OwnIcon());
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), before);
}

TEST_F(DockIcon, SwitchingItOffPutsKivrasOwnIconBackAndOnDrawsTheFace) {
    OpenAt(510, 150, 0);
    const QImage own = OwnIcon();
    win->UpdateAppIcon();
    ASSERT_NE(ShownIcon(), own);

    ChooseFromContextMenu("Update Dock Icon");
    EXPECT_EQ(TileImage(), own);
    EXPECT_EQ(ShownIcon(), own);
    win->UpdateDisplay(nullptr);
    EXPECT_EQ(ShownIcon(), own);

    ChooseFromContextMenu("Update Dock Icon");
    ExpectFaceAt(TileImage(), own, QRect(0, 45, 128, 38));
    EXPECT_EQ(ShownIcon(), TileImage());
}

TEST_F(DockIcon, KivrasOwnIconIsTheBundlePictureThroughItsMask) {
    const QImage own = OwnIcon();
    const QString resources = QCoreApplication::applicationDirPath() + "/../share/kivra/";
    const QImage icon(resources + "AboutIcon.bmp"), mask(resources + "AboutMask.bmp");
    ASSERT_FALSE(icon.isNull());
    ASSERT_FALSE(mask.isNull());
    ASSERT_EQ(icon.size(), QSize(128, 128));
    int opaque = 0, clear = 0;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const QRgb m = mask.pixel(x, y), got = own.pixel(x, y);
            if (qGray(m) == 0) {
                ++opaque;
                EXPECT_EQ(got, icon.pixel(x, y) | 0xFF000000u) << x << "," << y;
            } else if (qGray(m) == 255) {
                ++clear;
                EXPECT_EQ(qAlpha(got), 0) << x << "," << y;
            }
        }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(clear, 0);
}

TEST_F(DockIcon, AnUnchangedTileSetsNoNewIcon) {
    auto dock = App::Instance()->DockItem();
    dock->ResetIcon();
    dock->UpdateNow();
    const qint64 shown = QApplication::windowIcon().cacheKey();
    dock->ResetIcon();
    dock->UpdateNow();
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), shown);

    dock->Graphics()->ForeColor(fw::Color(0xFF0000));
    dock->Graphics()->FillRect(0, 0, 1, 1);
    dock->UpdateNow();
    EXPECT_NE(QApplication::windowIcon().cacheKey(), shown);
    EXPECT_EQ(ShownIcon().pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(ShownIcon().size(), QSize(128, 128));
}

}  // namespace
}  // namespace kivra
