// Wheel events as the X11 platform delivers them reach the window as the
// program counts them: deltaY for a turn of the wheel, deltaX for a sideways
// scroll, with or without Alt.

#include <gtest/gtest.h>

#include <QApplication>
#include <QWheelEvent>

#include <memory>
#include <string>
#include <vector>

#include "framework/testing/Testing.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/WindowWidget.h"

namespace fw = kivra::framework;
using fw::Int32;

namespace {

class WheelWindow : public fw::Window {
public:
    void Layout() override {
        SetProperties({{"Width", 200}, {"Height", 100}, {"Frame", 4}, {"Title", std::string("Wheel")}});
    }
    bool Event_MouseWheel(Int32, Int32, Int32 deltaX, Int32 deltaY) override {
        deltas.push_back({deltaX, deltaY});
        return true;
    }
    struct Delta {
        Int32 x, y;
    };
    std::vector<Delta> deltas;
};

TEST(Wheel, AltSwapsBackWhatTheX11PlatformSwapped) {
    // With Alt held, Qt on X11 transposes the angle of every wheel event:
    // a turn arrives as x, a sideways scroll as y.
    struct Case {
        const char* name;
        QPoint angle;
        bool alt;
        Int32 deltaX, deltaY;
    } cases[] = {
        {"turn away", {0, 120}, false, 0, -1},
        {"turn toward", {0, -120}, false, 0, 1},
        {"scroll right", {-120, 0}, false, 1, 0},
        {"scroll left", {120, 0}, false, -1, 0},
        {"a fast turn is one step", {0, 360}, false, 0, -3},
        {"Alt: turn away", {120, 0}, true, 0, -1},
        {"Alt: turn toward", {-120, 0}, true, 0, 1},
        {"Alt: scroll right", {0, -120}, true, 1, 0},
        {"Alt: scroll left", {0, 120}, true, -1, 0},
    };
    auto window = std::make_shared<WheelWindow>();
    window->Constructor("Wheel.Wheel");
    QWidget& widget = window->Widget();
    for (const Case& c : cases) {
        fw::testing::SetModifiers(fw::testing::Modifiers{c.alt, false, false});
        window->deltas.clear();
        const QPointF local(50, 50);
        QWheelEvent event(local, widget.mapToGlobal(local), QPoint(), c.angle, Qt::NoButton,
                          c.alt ? Qt::AltModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&widget, &event);
        ASSERT_EQ(window->deltas.size(), 1u) << c.name;
        EXPECT_EQ(window->deltas[0].x, c.deltaX) << c.name;
        EXPECT_EQ(window->deltas[0].y, c.deltaY) << c.name;
    }
    fw::testing::ResetApplication();
    fw::testing::ResetSeams();
}

}  // namespace
