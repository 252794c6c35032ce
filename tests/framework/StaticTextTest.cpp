// What a label shows: line breaks in its text, whichever of CR, LF or CR LF
// ends a line.

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>

#include <memory>
#include <string>

#include "framework/testing/Testing.h"
#include "framework/ui/StaticText.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlWidget.h"

namespace fw = kivra::framework;

namespace {

class LabelWindow : public fw::Window {
public:
    // clang-format off
    void Layout() override {
        SetProperties({{"Width", 300}, {"Height", 120}, {"Frame", 0}, {"Title", std::string("Label")}});
    }
    // clang-format on
    // clang-format off
    void CreateControls() override {
        AddControl(New<fw::StaticText>(), "label");
        ControlByName("label")->SetProperties({{"Left", 10}, {"Top", 10}, {"Width", 280}, {"Height", 100},
                                               {"TextSize", 12}, {"Multiline", true}});
    }
    // clang-format on
};

// Bands of rows with ink in them: one per line of text drawn.
int InkedLineCount(const QImage& image) {
    int bands = 0;
    bool inBand = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x) ink = qGray(image.pixel(x, y)) < 128;
        if (ink && !inBand) ++bands;
        inBand = ink;
    }
    return bands;
}

TEST(StaticText, EveryKindOfLineEndBreaksTheLine) {
    struct Case {
        const char* name;
        const char* text;
        int lines;
    } cases[] = {
        {"one line", "Copyright 2026", 1},
        {"CR", "Copyright 2026,\rAll rights", 2},
        {"LF", "Copyright 2026,\nAll rights", 2},
        {"CR LF is one break", "Copyright 2026,\r\nAll rights", 2},
        {"CR CR leaves an empty line", "Copyright 2026,\r\rAll rights", 2},
        {"three lines", "One\rTwo\rThree", 3},
    };
    auto window = std::make_shared<LabelWindow>();
    window->Constructor("Label.Label");
    auto label = window->ControlByName("label").As<fw::StaticText>();
    ASSERT_TRUE(label);
    for (const Case& c : cases) {
        label->Text(c.text);
        EXPECT_EQ(label->Text(), c.text) << c.name;  // kept as given
        const QImage shown = label->Widget()->grab().toImage();
        EXPECT_EQ(InkedLineCount(shown), c.lines) << c.name;
    }
    // An empty line between two lines shows as a gap of a line's height.
    label->Text("One\rTwo");
    const QImage two = label->Widget()->grab().toImage();
    label->Text("One\r\rTwo");
    const QImage gap = label->Widget()->grab().toImage();
    const auto lastInkRow = [](const QImage& image) {
        for (int y = image.height() - 1; y >= 0; --y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 128) return y;
            }
        }
        return -1;
    };
    EXPECT_GT(lastInkRow(gap), lastInkRow(two) + 8);
    fw::testing::ResetApplication();
}

}  // namespace
