// Pictures: sizes, depths, pixels, masks, opening files and how they show.

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app/detail/NetWmIcon.h"
#include "framework/drawing/Graphics.h"
#include "framework/drawing/Group2D.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/RGBSurface.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/values/Color.h"

namespace kivra::framework {
namespace {

struct SizeCase {
    Int32 width, height, depth;
    Int32 expectedWidth, expectedHeight, expectedDepth;
};

TEST(Picture, SidesBelowOneBecomeOneAndUnknownDepthsAre32) {
    // clang-format off
    const SizeCase cases[] = {
        {4, 3, 32, 4, 3, 32},  {4, 3, 16, 4, 3, 16},     {4, 3, 8, 4, 3, 8},
        {0, 0, 32, 1, 1, 32},  {-7, 5, 8, 1, 5, 8},      {5, -2147483647 - 1, 16, 5, 1, 16},
        {2, 2, 24, 2, 2, 32},  {2, 2, 0, 2, 2, 32},      {2, 2, -8, 2, 2, 32},
    };
    // clang-format on
    for (const auto& c : cases) {
        auto p = NewPicture(c.width, c.height, c.depth);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->Width(), c.expectedWidth);
        EXPECT_EQ(p->Height(), c.expectedHeight);
        EXPECT_EQ(p->Depth(), c.expectedDepth);
    }
}

TEST(Picture, NewPictureIsWhiteWithDefaultSettingsAndNoMask) {
    for (Int32 depth : {8, 16, 32}) {
        auto p = NewPicture(3, 2, depth);
        EXPECT_EQ(p->Graphics()->Pixel(2, 1), Color(0xFFFFFF)) << depth;
        EXPECT_EQ(p->HorizontalResolution(), 72);
        EXPECT_EQ(p->VerticalResolution(), 72);
        EXPECT_EQ(p->Transparent(), 0);
        EXPECT_FALSE(p->Objects());
        EXPECT_FALSE(p->HasMask());
        EXPECT_FALSE(p->Mask(false));
        EXPECT_EQ(static_cast<bool>(p->RGBSurface()), depth >= 16) << depth;
    }
}

// Window-sized pictures come and go every second and reuse the buffer of the
// last one dropped: what the old one held must never show in the new one,
// and two pictures alive at once must never share pixels.
TEST(Picture, LargePicturesReusingABufferStartWhiteAndStayApart) {
    // clang-format off
    for (Int32 depth : {8, 16, 32}) {
        const Int32 w = 510, h = 300;  // well above the size that is reused
        {
            auto dropped = NewPicture(w, h, depth);
            dropped->Graphics()->ForeColor(Color(0x102030));
            dropped->Graphics()->FillRect(0, 0, w, h);
        }
        auto first = NewPicture(w, h, depth);
        auto second = NewPicture(w, h, depth);
        ASSERT_TRUE(first && second);
        EXPECT_NE(first->Data().image.constBits(), second->Data().image.constBits()) << depth;
        for (const auto& [x, y] : std::vector<std::pair<Int32, Int32>>{{0, 0}, {w / 2, h / 2}, {w - 1, h - 1}}) {
            EXPECT_EQ(first->Graphics()->Pixel(x, y), Color(0xFFFFFF)) << depth << " at " << x << "," << y;
            EXPECT_EQ(second->Graphics()->Pixel(x, y), Color(0xFFFFFF)) << depth << " at " << x << "," << y;
        }
        first->Graphics()->ForeColor(Color(0x00FF00));
        first->Graphics()->FillRect(0, 0, w, h);
        EXPECT_EQ(second->Graphics()->Pixel(w - 1, h - 1), Color(0xFFFFFF)) << depth;
        // A copy made from a reused buffer keeps its pixels once the picture is gone.
        const QImage copy = detail::Pixels(first->Data());
        first = {};
        auto third = NewPicture(w, h, depth);
        third->Graphics()->ForeColor(Color(0x0000FF));
        third->Graphics()->FillRect(0, 0, w, h);
        EXPECT_EQ(QColor(copy.pixel(w - 1, h - 1)), QColor(0, 255, 0)) << depth;
    }
    // clang-format on
}

TEST(Picture, AbsurdSizeGivesNilInsteadOfExhaustingMemory) {
    EXPECT_FALSE(NewPicture(2147483647, 2147483647, 32));
    EXPECT_FALSE(NewPicture(100000, 100000, 8));
}

TEST(Picture, SettingsAreKept) {
    auto p = NewPicture(1, 1, 32);
    auto objects = std::make_shared<Group2D>();
    p->HorizontalResolution(96);
    p->VerticalResolution(300);
    p->Transparent(1);
    p->Objects(objects);
    EXPECT_EQ(p->HorizontalResolution(), 96);
    EXPECT_EQ(p->VerticalResolution(), 300);
    EXPECT_EQ(p->Transparent(), 1);
    EXPECT_EQ(p->Objects().get(), objects.get());
}

TEST(Picture, MaskIsMadeOnDemandBlackAndKept) {
    auto p = NewPicture(5, 4, 8);
    auto mask = p->Mask(true);
    ASSERT_TRUE(mask);
    EXPECT_TRUE(p->HasMask());
    EXPECT_EQ(mask->Width(), 5);
    EXPECT_EQ(mask->Height(), 4);
    EXPECT_EQ(mask->Depth(), 32);
    for (Int32 y = 0; y < 4; ++y)
        for (Int32 x = 0; x < 5; ++x) EXPECT_EQ(mask->Graphics()->Pixel(x, y), Color(0));
    EXPECT_EQ(p->Mask(true).get(), mask.get());
    EXPECT_EQ(p->Mask(false).get(), mask.get());
}

TEST(Picture, AFreshMaskActsAllBlackUntilDrawnInto) {
    auto p = NewPicture(4, 3, 32);
    auto mask = p->Mask(true);
    auto g = mask->Graphics();
    EXPECT_EQ(g->Width(), 4);
    EXPECT_EQ(g->Height(), 3);
    EXPECT_EQ(mask->RGBSurface()->Pixel(3, 2), Color(0));
    g->ForeColor(Color(0));
    g->FillRect(0, 0, 4, 3);
    g->DrawLine(0, 0, 3, 2);
    g->Pixel(1, 1, Color(0));
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(2, 2)), 255);

    // Drawn as a picture it is black, scaled or not, and opaque.
    auto target = NewPicture(8, 6, 32);
    target->Graphics()->DrawPicture(mask, 1, 1);
    target->Graphics()->DrawPicture(mask, 4, 0, 4, 6, 0, 0, 2, 3);
    EXPECT_EQ(target->Graphics()->Pixel(0, 0), Color(0xFFFFFF));
    EXPECT_EQ(target->Graphics()->Pixel(1, 1), Color(0));
    EXPECT_EQ(target->Graphics()->Pixel(3, 3), Color(0));
    EXPECT_EQ(target->Graphics()->Pixel(1, 4), Color(0xFFFFFF));
    EXPECT_EQ(target->Graphics()->Pixel(7, 5), Color(0));

    // The first other colour gives it pixels of its own; the rest stays black.
    mask->RGBSurface()->Pixel(2, 1, Color(0xFFFFFF));
    EXPECT_EQ(g->Pixel(2, 1), Color(0xFFFFFF));
    EXPECT_EQ(g->Pixel(1, 1), Color(0));
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(2, 1)), 0);
    auto other = NewPicture(2, 2, 32)->Mask(true);
    other->Graphics()->ClearRect(0, 0, 1, 1);
    EXPECT_EQ(other->Graphics()->Pixel(0, 0), Color(0xFFFFFF));
    EXPECT_EQ(other->Graphics()->Pixel(1, 1), Color(0));
    auto grey = NewPicture(2, 2, 32)->Mask(true);
    grey->Graphics()->DrawPicture(NewPicture(1, 1, 8), 1, 1);
    EXPECT_EQ(grey->Graphics()->Pixel(1, 1), Color(0xFFFFFF));
    EXPECT_EQ(grey->Graphics()->Pixel(0, 1), Color(0));
}

// Colours that each depth must keep exactly, and ones it may round.
const Color kSamples[] = {Color(0x000000), Color(0xFFFFFF), Color(0xFF0000), Color(0x00FF00), Color(0x0055FF),
                          Color(0x7F7F7F), Color(0x123456), Color(0xFEDCBA), Color(0x010203), Color(0x808080)};

TEST(Picture, Depth32KeepsEveryColourThroughBothWays) {
    auto p = NewPicture(2, 2, 32);
    for (Color c : kSamples) {
        p->Graphics()->Pixel(1, 0, c);
        EXPECT_EQ(p->Graphics()->Pixel(1, 0), c);
        EXPECT_EQ(p->RGBSurface()->Pixel(1, 0), c);
        p->RGBSurface()->Pixel(0, 1, c);
        EXPECT_EQ(p->Graphics()->Pixel(0, 1), c);
    }
}

TEST(Picture, LowerDepthsRoundOnceAndThenKeepWhatTheyRead) {
    for (Int32 depth : {8, 16}) {
        auto p = NewPicture(2, 1, depth);
        auto g = p->Graphics();
        for (Color c : kSamples) {
            g->Pixel(0, 0, c);
            const Color read = g->Pixel(0, 0);
            g->Pixel(1, 0, read);
            EXPECT_EQ(g->Pixel(1, 0), read) << depth << " " << std::hex << c.Integer();
            // Rounding stays near the colour asked for.
            EXPECT_LE(std::abs(read.Red() - c.Red()), depth == 16 ? 8 : 26) << depth;
            EXPECT_LE(std::abs(read.Green() - c.Green()), depth == 16 ? 4 : 26) << depth;
            EXPECT_LE(std::abs(read.Blue() - c.Blue()), depth == 16 ? 8 : 26) << depth;
        }
    }
}

TEST(Picture, Depth8KeepsEveryPaletteColourAndBlackAndWhite) {
    const auto& palette = detail::Palette8();
    ASSERT_EQ(palette.size(), 256);
    auto p = NewPicture(1, 1, 8);
    for (QRgb rgb : palette) {
        const Color c(rgb & 0xFFFFFFu);
        p->Graphics()->Pixel(0, 0, c);
        EXPECT_EQ(p->Graphics()->Pixel(0, 0), c);
    }
    for (int i = 0; i < 256; ++i) EXPECT_EQ(detail::PaletteIndex(palette[i]), i);
}

TEST(Picture, PixelsOutsideReadBlackAndIgnoreWrites) {
    // clang-format off
    for (Int32 depth : {8, 16, 32}) {
        auto p = NewPicture(3, 3, depth);
        auto g = p->Graphics();
        const std::pair<Int32, Int32> outside[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {-2147483647 - 1, 2147483647}};
        for (auto [x, y] : outside) {
            g->Pixel(x, y, Color(0x000000));
            EXPECT_EQ(g->Pixel(x, y), Color(0)) << depth;
            if (auto surface = p->RGBSurface()) {
                surface->Pixel(x, y, Color(0));
                EXPECT_EQ(surface->Pixel(x, y), Color(0));
            }
        }
        for (Int32 y = 0; y < 3; ++y)
            for (Int32 x = 0; x < 3; ++x) EXPECT_EQ(g->Pixel(x, y), Color(0xFFFFFF)) << depth;
    }
    // clang-format on
}

TEST(Picture, PixelWritesNeverReachACopyAndReadsSeeEveryWrite) {
    auto p = NewPicture(2, 1, 32);
    auto g = p->Graphics();
    auto surface = p->RGBSurface();
    g->Pixel(0, 0, Color(0xFF0000));
    const QImage shown = detail::DisplayImage(*p);
    surface->Pixel(0, 0, Color(0x00FF00));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(g->Pixel(0, 0), Color(0x00FF00));
    g->ForeColor(Color(0x0000FF));
    g->FillRect(0, 0, 2, 1);
    EXPECT_EQ(surface->Pixel(0, 0), Color(0x0000FF));
    p->Graphics()->DrawPicture(Ref<Picture>(NewPicture(1, 1, 8)), 1, 0);
    EXPECT_EQ(surface->Pixel(1, 0), Color(0xFFFFFF));
    p->Data().image = QImage(3, 1, QImage::Format_RGB32);
    p->Data().image.fill(qRgb(1, 2, 3));
    EXPECT_EQ(g->Pixel(2, 0), Color(0x010203));
}

TEST(Picture, PartsKeepThePictureAlive) {
    Ref<Graphics> g = NewPicture(4, 4, 32)->Graphics();
    Ref<RGBSurface> surface = NewPicture(4, 4, 16)->RGBSurface();
    g->ForeColor(Color(0x00FF00));
    g->FillRect(0, 0, 4, 4);
    EXPECT_EQ(g->Pixel(3, 3), Color(0x00FF00));
    surface->Pixel(1, 1, Color(0xFF0000));
    EXPECT_EQ(surface->Pixel(1, 1), Color(0xFF0000));
}

TEST(Picture, OpenReadsByContentWhateverTheName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(0x12, 0x34, 0x56));
    image.setPixel(2, 1, qRgb(0xFF, 0x00, 0x00));
    const QString png = dir.filePath("picture.png"), pct = dir.filePath("badge.pct"), bmp = dir.filePath("icon.bmp");
    ASSERT_TRUE(image.save(pct, "PNG"));
    ASSERT_TRUE(image.save(bmp, "BMP"));
    ASSERT_TRUE(image.save(png, "PNG"));
    for (const QString& path : {pct, bmp, png}) {
        auto p = Picture::Open(path.toStdString());
        ASSERT_TRUE(p) << path.toStdString();
        EXPECT_EQ(p->Width(), 3);
        EXPECT_EQ(p->Height(), 2);
        EXPECT_EQ(p->Depth(), 32);
        EXPECT_FALSE(p->HasMask());
        EXPECT_EQ(p->Graphics()->Pixel(0, 0), Color(0x123456));
        EXPECT_EQ(p->Graphics()->Pixel(2, 1), Color(0xFF0000));
    }
}

TEST(Picture, OpenGivesNilForWhatIsNoPicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile text(dir.filePath("notes.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is no picture at all");
    text.close();
    QFile empty(dir.filePath("empty.png"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    for (const QString& path :
         {dir.filePath("missing.bmp"), dir.filePath("notes.bmp"), dir.filePath("empty.png"), dir.path(), QString()})
        EXPECT_FALSE(Picture::Open(path.toStdString())) << path.toStdString();
}

TEST(Picture, DisplayImageShowsTheMaskAsAlpha) {
    auto p = NewPicture(3, 1, 32);
    p->Graphics()->ForeColor(Color(0xFF0000));
    p->Graphics()->FillRect(0, 0, 3, 1);
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(0, 0)), 255);  // no mask: opaque

    auto mask = p->Mask(true)->Graphics();
    mask->Pixel(1, 0, Color(0xFFFFFF));
    mask->Pixel(2, 0, Color(0x808080));
    const QImage shown = detail::DisplayImage(*p);
    EXPECT_EQ(shown.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(shown.pixel(1, 0)), 0);
    EXPECT_NEAR(qAlpha(shown.pixel(2, 0)), 127, 1);
    EXPECT_NEAR(qRed(qUnpremultiply(shown.pixel(2, 0))), 255, 2);
}

TEST(Picture, TransparentPictureStartsClearAndClearsToTransparent) {
    auto p = detail::NewTransparentPicture(4, 3);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Width(), 4);
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(3, 2)), 0);
    auto g = p->Graphics();
    g->ForeColor(Color(0x0000FF));
    g->FillRect(0, 0, 4, 3);
    EXPECT_EQ(detail::DisplayImage(*p).pixel(1, 1), qRgba(0, 0, 255, 255));
    EXPECT_EQ(g->Pixel(1, 1), Color(0x0000FF));
    g->ClearRect(1, 1, 2, 1);
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(1, 1)), 0);
    EXPECT_EQ(qAlpha(detail::DisplayImage(*p).pixel(3, 1)), 255);
}

TEST(Picture, PictureFromImageCopiesAtDepth32) {
    QImage image(2, 2, QImage::Format_Indexed8);
    image.setColorTable({qRgb(1, 2, 3), qRgb(200, 100, 50)});
    image.fill(0);
    image.setPixel(1, 1, 1);
    auto p = detail::PictureFromImage(image);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Depth(), 32);
    EXPECT_EQ(p->Graphics()->Pixel(1, 1), Color(0xC86432));
    image.setPixel(1, 1, 0);
    EXPECT_EQ(p->Graphics()->Pixel(1, 1), Color(0xC86432));
    EXPECT_FALSE(detail::PictureFromImage(QImage()));
}

TEST(WindowIconPixels, PlainAsThePropertyHoldsThemWhereverThePartlyClearOnesAre) {
    // Runs of opaque and clear pixels are passed over several at a time: a
    // partly clear pixel must be divided wherever it stands in such a run.
    const std::uint32_t opaque = 0xFF336699u, clearWithColour = 0x00102030u;
    const std::uint32_t half = qPremultiply(qRgba(0x40, 0x80, 0xC0, 0x80));
    for (size_t count : {1u, 4u, 7u, 9u, 16u})
        for (size_t at = 0; at <= count; ++at) {  // at == count: none partly clear
            std::vector<std::uint32_t> pixels(count);
            for (size_t i = 0; i < count; ++i) pixels[i] = i % 3 == 1 ? clearWithColour : opaque;
            if (at < count) pixels[at] = half;
            std::vector<std::uint32_t> expected(pixels);
            for (auto& p : expected) p = p == opaque ? p : p == clearWithColour ? 0u : qUnpremultiply(p);
            std::vector<std::uint32_t> plain(count, 0xDEADBEEFu);
            detail::Unpremultiply(pixels.data(), plain.data(), count);
            EXPECT_EQ(plain, expected) << count << " pixels, partly clear at " << at;
        }
}

}  // namespace
}  // namespace kivra::framework
