// A canvas whose Paint handler raises: the report comes after the paint, and
// once for a failure that every repaint meets again.

#include <gtest/gtest.h>

#include <QApplication>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/app/Application.h"
#include "framework/app/Runtime.h"
#include "framework/drawing/Graphics.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Canvas.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/ControlWidget.h"

namespace fw = kivra::framework;

namespace {

class ReportingApp : public fw::Application {
public:
    bool Event_UnhandledException(const fw::RuntimeException& error) override {
        const bool inPaint = canvas && canvas->testAttribute(Qt::WA_WState_InPaintEvent);
        reports.push_back(std::string(error.what()) + (inPaint ? " during the paint" : ""));
        return true;
    }
    std::vector<std::string> reports;
    QWidget* canvas = nullptr;
};

class CanvasWindow : public fw::Window {
public:
    void Layout() override {
        SetProperties({{"Width", 100}, {"Height", 60}, {"Frame", 0}, {"Title", std::string("Canvas")}});
    }
    void CreateControls() override {
        auto canvas = New<fw::Canvas>();
        AddControl(canvas, "canvas");
        canvas->SetProperties({{"Left", 10}, {"Top", 10}, {"Width", 40}, {"Height", 40}});
        canvas->Paint.Bind(this, &CanvasWindow::Canvas_Paint);
    }
    void Canvas_Paint(fw::Graphics& g) {
        ++paints;
        g.ForeColor(fw::Color(0x00FF00));
        g.FillRect(0, 0, 10, 10);
        if (failing) throw std::runtime_error("no picture");
    }
    bool failing = true;
    int paints = 0;
};

TEST(Canvas, AFailingPaintIsReportedAfterThePaintAndOnceWhileItKeepsFailing) {
    auto app = std::make_shared<ReportingApp>();
    fw::RuntimeRegisterAppObject(fw::Ref<fw::Application>(app));
    auto window = std::make_shared<CanvasWindow>();
    window->Constructor("Canvas.Canvas");
    QWidget& canvas = *window->ControlByName("canvas").As<fw::Canvas>()->Widget();
    app->canvas = &canvas;
    const auto repaint = [&canvas] {
        canvas.grab();
        QApplication::processEvents();
    };

    repaint();
    ASSERT_GE(window->paints, 1);
    EXPECT_EQ(app->reports, std::vector<std::string>{"no picture"});
    // What the handler drew before it failed is shown.
    EXPECT_EQ(canvas.grab().toImage().pixelColor(5, 5), QColor(0x00, 0xFF, 0x00));
    const int paintsSoFar = window->paints;
    for (int i = 0; i < 3; ++i) repaint();
    EXPECT_GT(window->paints, paintsSoFar);
    EXPECT_EQ(app->reports.size(), 1u);

    // Once a paint succeeds, a new failure is reported again.
    window->failing = false;
    repaint();
    window->failing = true;
    repaint();
    repaint();
    EXPECT_EQ(app->reports, (std::vector<std::string>{"no picture", "no picture"}));
    fw::testing::ResetApplication();
}

}  // namespace
