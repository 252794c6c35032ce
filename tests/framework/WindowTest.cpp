// The window life cycle, sizes, mouse delivery, context menus and the
// exception guard, as the program relies on them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QRegion>
#include <QScreen>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/app/Application.h"
#include "framework/app/MenuItem.h"
#include "framework/app/Runtime.h"
#include "framework/app/Timer.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Keyboard.h"
#include "framework/ui/RoundRectangle.h"
#include "framework/ui/Window.h"
#include "framework/ui/detail/EchoFilter.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/RuntimeException.h"

namespace fw = kivra::framework;
using fw::Int32;

namespace {

class ProbeApp : public fw::Application {
public:
    bool Event_UnhandledException(const fw::RuntimeException& error) override {
        reports.push_back(error.what());
        return true;
    }
    std::vector<std::string> reports;
};

class ProbeWindow : public fw::Window {
public:
    // clang-format off
    void Layout() override {
        SetProperties({{"Width", 200}, {"Height", 100}, {"Frame", 4}, {"HasBackColor", true},
                       {"BackColor", fw::Color(0x112233)}, {"Title", std::string("Probe")}});
    }
    // clang-format on
    // clang-format off
    void CreateControls() override {
        auto square = New<fw::RoundRectangle>();
        AddControl(square, "sq");
        square->SetProperties({{"Name", std::string("sq")}, {"Index", 3}, {"Left", 10}, {"Top", 10},
                               {"Width", 30}, {"Height", 30}});
    }
    // clang-format on
    void Event_Open() override {
        log.push_back("Open");
        if (openPlace) {
            Left(openPlace->left);
            Top(openPlace->top);
            Width(openPlace->width);
            Height(openPlace->height);
        }
        foundDuringOpen = fw::GetImplicitWindow("Probe.Probe").get() == this;
    }
    void Event_Close() override {
        log.push_back("Close");
        foundDuringClose = fw::GetImplicitWindow("Probe.Probe").get() == this;
        if (quitFromClose) fw::Quit(0);
    }
    void Event_Resized() override {
        log.push_back("Resized " + std::to_string(Width()) + "x" + std::to_string(Height()));
    }
    bool Event_MouseDown(Int32 X, Int32 Y) override {
        log.push_back("Down " + std::to_string(X) + "," + std::to_string(Y) + (fw::IsContextualClick() ? " ctx" : ""));
        if (throwOnPress) throw std::runtime_error("boom");
        return !fw::IsContextualClick();
    }
    void Event_MouseDrag(Int32 X, Int32 Y) override {
        log.push_back("Drag " + std::to_string(X) + "," + std::to_string(Y));
    }
    void Event_MouseUp(Int32, Int32) override { log.push_back("Up"); }
    void Event_MouseMove(Int32, Int32) override { log.push_back("Move"); }
    bool Event_ConstructContextualMenu(fw::MenuItem& menu, Int32, Int32) override {
        menu.Append(fw::New<fw::MenuItem>("First"));
        menu.Append(fw::New<fw::MenuItem>("-"));
        auto second = fw::New<fw::MenuItem>("Second");
        second->Checked(true);
        menu.Append(second);
        return true;
    }
    bool Event_ContextualMenuAction(fw::MenuItem& item) override {
        log.push_back("Chose " + item.Text());
        return true;
    }

    struct Place {
        Int32 left, top, width, height;
    };
    std::optional<Place> openPlace;
    std::vector<std::string> log;
    bool foundDuringOpen = false, foundDuringClose = false, quitFromClose = false, throwOnPress = false;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_shared<ProbeApp>();
        fw::RuntimeRegisterAppObject(fw::Ref<fw::Application>(app));
        window = std::make_shared<ProbeWindow>();
        window->Constructor("Probe.Probe");
    }
    void TearDown() override { fw::testing::ResetApplication(); }

    std::shared_ptr<ProbeApp> app;
    std::shared_ptr<ProbeWindow> window;
};

TEST_F(WindowTest, RegisteredFromOpenUntilCloseHasFinished) {
    EXPECT_TRUE(window->foundDuringOpen);
    EXPECT_EQ(fw::GetImplicitWindow("Probe.Probe").get(), window.get());
    window->Close();
    EXPECT_TRUE(window->foundDuringClose);
    EXPECT_TRUE(fw::GetImplicitWindow("Probe.Probe").IsNil());
    window->Close();  // a second close does nothing
    EXPECT_EQ(std::count(window->log.begin(), window->log.end(), "Close"), 1);
}

TEST_F(WindowTest, ResizedOncePerRealChangeAndNotDuringLayout) {
    EXPECT_EQ(std::count_if(window->log.begin(), window->log.end(),
                            [](const std::string& s) { return s.rfind("Resized", 0) == 0; }),
              0);
    window->log.clear();
    window->Width(300);
    window->Width(300);
    window->Height(100);
    window->Height(120);
    EXPECT_EQ(window->log, (std::vector<std::string>{"Resized 300x100", "Resized 300x120"}));
}

TEST_F(WindowTest, SizesStayPositiveAndWithinTheDesktop) {
    struct Case {
        Int32 width, height, expectedWidth, expectedHeight;
    } cases[] = {
        {0, 0, 1, 1},
        {-5, -2147483647 - 1, 1, 1},
        {2147483647, 2147483647, 2160, 2160},
        {3000, 3000, 2160, 2160},  // higher than the 2160 of the desktop
        {15, 51, 15, 51},          // below MinWidth: the program's own sizes are kept
        {3840, 2160, 3840, 2160},  // the whole desktop
    };
    for (const auto& c : cases) {
        window->Width(c.width);
        window->Height(c.height);
        EXPECT_EQ(window->Width(), c.expectedWidth) << c.width;
        EXPECT_EQ(window->Height(), c.expectedHeight) << c.height;
    }
}

// The program sets a size as a width and then a height; the desktop
// (3840 x 2160) cuts the two as one size, in the proportion asked for.
TEST_F(WindowTest, ASizeTooLargeForTheDesktopIsCutInProportion) {
    struct Case {
        const char* name;
        Int32 width, height, expectedWidth, expectedHeight;
    } cases[] = {
        {"wide", 100000, 30000, 3840, 1152},
        {"tall", 30000, 100000, 648, 2160},
        {"only too high", 1050, 3570, 635, 2160},
        {"only too wide", 7680, 1000, 3840, 500},
        {"thin", 100000, 15, 3840, 1},
        {"largest", 2147483647, 2147483647, 2160, 2160},
        {"fits", 3570, 1050, 3570, 1050},
    };
    for (const auto& c : cases) {
        window->Width(200);
        window->Height(100);
        window->Width(c.width);
        window->Height(c.height);
        EXPECT_EQ(window->Width(), c.expectedWidth) << c.name;
        EXPECT_EQ(window->Height(), c.expectedHeight) << c.name;
        EXPECT_EQ(window->Widget().size(), QSize(c.expectedWidth, c.expectedHeight)) << c.name;
    }
}

TEST_F(WindowTest, ACutWidthGoesOnlyWithTheNextHeight) {
    window->Width(100000);
    window->Height(30000);
    ASSERT_EQ(window->Width(), 3840);
    ASSERT_EQ(window->Height(), 1152);
    // The pair is done: a new width goes with the height the window has.
    window->Width(3000);
    EXPECT_EQ(window->Height(), 1152);
    window->Height(1000);
    EXPECT_EQ(window->Width(), 3000);

    // A height cut by the desktop cuts the width with it, and is not carried
    // on to the next width (a turned clock turned back).
    window->Width(1050);
    window->Height(3570);
    ASSERT_EQ(window->Width(), 635);
    window->Width(2160);
    window->Height(635);
    EXPECT_EQ(window->Width(), 2160);
    EXPECT_EQ(window->Height(), 635);

    // A size the manager gives in between ends the request.
    window->Width(5000);
    ASSERT_EQ(window->Width(), 3840);
    window->Widget().resize(1000, 500);
    window->Height(600);
    EXPECT_EQ(window->Width(), 1000);
    EXPECT_EQ(window->Height(), 600);
}

// Where the screens' change left the window (the manager put it there, and the
// desktop of 3840 x 2160 no longer shows it), and where it is afterwards. The
// screens before the change were the same, or twice as wide: a second screen
// on the right was unplugged.
TEST(WindowScreensChange, AWindowTheChangeHidesOrLeavesTooLargeComesBack) {
    struct Case {
        const char* name;
        ProbeWindow::Place left, after;
        bool secondScreenBefore = false;
    } cases[] = {
        {"on no screen", {100000, 100000, 300, 120}, {3540, 2040, 300, 120}},
        {"above and left of every screen", {-5000, -400, 300, 120}, {0, 0, 300, 120}},
        {"partly on the screen: stays", {3700, 2100, 300, 120}, {3700, 2100, 300, 120}},
        {"partly hidden by the change", {3700, 100, 300, 120}, {3540, 100, 300, 120}, true},
        {"wholly hidden by the change", {5000, 100, 300, 120}, {3540, 100, 300, 120}, true},
        {"on the screen that stays", {100, 100, 300, 120}, {100, 100, 300, 120}, true},
        {"larger than the desktop: cut in proportion", {0, 0, 5100, 1500}, {0, 0, 3840, 1129}},
        {"larger and on no screen", {9000, 0, 5100, 1500}, {0, 0, 3840, 1129}},
        {"larger: cut and wholly on the screen", {1000, 1500, 5100, 1500}, {0, 1031, 3840, 1129}},
    };
    for (const auto& c : cases) {
        auto app = std::make_shared<ProbeApp>();
        fw::RuntimeRegisterAppObject(fw::Ref<fw::Application>(app));
        auto window = std::make_shared<ProbeWindow>();
        window->Constructor("Probe.Probe");
        QWidget& widget = window->Widget();
        widget.move(c.left.left, c.left.top);
        widget.resize(c.left.width, c.left.height);
        window->log.clear();
        if (c.secondScreenBefore) window->Widget().SeenScreens(QRegion(0, 0, 7680, 2160));
        // One change comes as several reports; the window looks once, after them.
        QScreen* screen = QGuiApplication::primaryScreen();
        emit screen->geometryChanged(screen->geometry());
        emit screen->geometryChanged(screen->geometry());
        QApplication::processEvents();
        EXPECT_EQ(window->Left(), c.after.left) << c.name;
        EXPECT_EQ(window->Top(), c.after.top) << c.name;
        EXPECT_EQ(window->Width(), c.after.width) << c.name;
        EXPECT_EQ(window->Height(), c.after.height) << c.name;
        EXPECT_EQ(widget.geometry(), QRect(c.after.left, c.after.top, c.after.width, c.after.height)) << c.name;
        const bool cut = c.after.width != c.left.width;
        EXPECT_EQ(window->log.size(), cut ? 1u : 0u) << c.name << ": Resized once when cut";
        fw::testing::ResetApplication();
    }
}

// What a window manager does to a window, seen as the server reports it.
TEST_F(WindowTest, FollowsThePlaceAndSizeTheManagerGivesIt) {
    QWidget& widget = window->Widget();
    window->Left(10);
    window->Top(40);
    window->log.clear();
    widget.move(210, 140);
    EXPECT_EQ(window->Left(), 210);
    EXPECT_EQ(window->Top(), 140);
    // The program goes on from the real place.
    window->Left(window->Left() + 12);
    EXPECT_EQ(window->Left(), 222);
    EXPECT_EQ(widget.pos(), QPoint(222, 140));

    widget.resize(320, 130);
    EXPECT_EQ(window->Width(), 320);
    EXPECT_EQ(window->Height(), 130);
    window->Width(330);
    EXPECT_EQ(window->log, (std::vector<std::string>{"Resized 320x130", "Resized 330x130"}))
        << "once per real change, whoever made it";
}

TEST_F(WindowTest, ANotResizeableWindowAllowsTheManagerOnlyItsOwnSize) {
    QWidget& widget = window->Widget();
    window->SetProperty("Resizeable", false);
    EXPECT_EQ(widget.minimumSize(), QSize(200, 100));
    EXPECT_EQ(widget.maximumSize(), QSize(200, 100));
    for (const QSize size : {QSize(260, 90), QSize(100, 300), QSize(15, 51)}) {
        window->Width(size.width());
        window->Height(size.height());
        EXPECT_EQ(widget.size(), size);
        EXPECT_EQ(widget.minimumSize(), size);
        EXPECT_EQ(widget.maximumSize(), size);
    }
    // A manager that ignores the hints has the last word; the hints follow.
    widget.setMinimumSize(0, 0);
    widget.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    widget.resize(400, 120);
    EXPECT_EQ(window->Width(), 400);
    EXPECT_EQ(window->log.back(), "Resized 400x120");
    EXPECT_EQ(widget.maximumSize(), QSize(400, 120));

    window->SetProperty("Resizeable", true);
    EXPECT_EQ(widget.minimumSize(), QSize(0, 0));
}

TEST(EchoFilter, TellsTheProgramsOwnRequestsFromOtherChanges) {
    struct Case {
        const char* name;
        std::vector<int> expected;
        std::vector<std::pair<int, bool>> reports;  // value, is an echo
        // clang-format off
    } cases[] = {
        {"each answered", {1, 2}, {{1, true}, {2, true}}},
        {"only the last answered", {1, 2, 3}, {{3, true}, {1, false}}},
        {"nothing asked", {}, {{5, false}}},
        {"a late echo of an answered one", {1, 2}, {{1, true}, {2, true}, {1, false}}},
        {"someone else's change settles what was pending", {1, 2}, {{7, false}, {2, false}}},
        {"asked twice for one value", {4, 4}, {{4, true}, {4, true}, {4, false}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        kivra::framework::detail::EchoFilter<int> filter;
        for (int v : c.expected) filter.Expect(v);
        for (const auto& [value, echo] : c.reports) EXPECT_EQ(filter.IsEcho(value), echo) << c.name << ": " << value;
    }
}

TEST_F(WindowTest, ControlsFoundByNameAndIndex) {
    EXPECT_FALSE(window->ControlByNameIndex("sq", 3).IsNil());
    EXPECT_TRUE(window->ControlByNameIndex("sq", 4).IsNil());
    EXPECT_TRUE(window->ControlByName("nothing").IsNil());
    EXPECT_THROW(window->ControlByName("nothing")->Name(), fw::NilObjectException);
}

TEST_F(WindowTest, UnknownPropertyFailsLoudly) {
    EXPECT_THROW(window->SetProperty("Colour", fw::Color(0)), fw::PropertyError);
    EXPECT_THROW(window->SetProperty("Width", std::string("wide")), fw::PropertyError);
    auto square = window->ControlByName("sq").As<fw::RoundRectangle>();
    EXPECT_THROW(square->SetProperty("Name", std::string("other")), fw::PropertyError);
}

TEST_F(WindowTest, ClaimedPressGetsDragAndUpElseHover) {
    fw::testing::Move(*window, 5, 5);
    fw::testing::Press(*window, 5, 6);
    fw::testing::Move(*window, 7, 8);
    fw::testing::Release(*window, 7, 8);
    fw::testing::Release(*window, 7, 8);  // no press held: nothing
    EXPECT_EQ(window->log.back(), "Up");
    EXPECT_EQ(std::vector<std::string>(window->log.end() - 4, window->log.end()),
              (std::vector<std::string>{"Move", "Down 5,6", "Drag 7,8", "Up"}));
}

TEST_F(WindowTest, DeclinedContextualPressShowsTheMenu) {
    fw::testing::ScriptContextMenu("Second");
    fw::testing::Press(*window, 1, 2, fw::testing::Button::Right);
    EXPECT_EQ(window->log.back(), "Chose Second");
    const auto& menu = fw::testing::LastContextMenu();
    ASSERT_EQ(menu.size(), 3u);
    EXPECT_FALSE(menu[0].checked);
    EXPECT_TRUE(menu[1].separator);
    EXPECT_TRUE(menu[2].checked);
    EXPECT_FALSE(fw::IsContextualClick());

    window->log.clear();
    fw::testing::Press(*window, 1, 2, fw::testing::Button::Right);  // nothing scripted: dismissed
    EXPECT_EQ(window->log, (std::vector<std::string>{"Down 1,2 ctx"}));
}

TEST_F(WindowTest, EscapingExceptionReachesTheApplicationAndInputGoesOn) {
    window->throwOnPress = true;
    fw::testing::Press(*window, 1, 1);
    ASSERT_EQ(app->reports.size(), 1u);
    EXPECT_EQ(app->reports[0], "boom");
    window->throwOnPress = false;
    fw::testing::Press(*window, 2, 2);
    EXPECT_EQ(window->log.back(), "Down 2,2");
}

TEST_F(WindowTest, QuitClosesEveryWindowOnceAlsoFromItsOwnClose) {
    auto second = std::make_shared<ProbeWindow>();
    second->Constructor("Second.Second");
    window->quitFromClose = true;
    fw::Quit(0);
    EXPECT_TRUE(fw::testing::QuitRequested());
    EXPECT_EQ(fw::testing::QuitCode(), 0);
    EXPECT_EQ(std::count(window->log.begin(), window->log.end(), "Close"), 1);
    EXPECT_EQ(std::count(second->log.begin(), second->log.end(), "Close"), 1);
    EXPECT_TRUE(fw::OpenWindows().empty());
}

TEST_F(WindowTest, FillColorWritesRequestRedrawsAndBackColorWritesAreCounted) {
    auto square = window->ControlByName("sq").As<fw::RoundRectangle>();
    const Int32 before = fw::testing::RedrawCount(*square);
    square->FillColor(fw::Color(0x010203));
    square->FillColor(fw::Color(0x010203));
    EXPECT_EQ(fw::testing::RedrawCount(*square), before + 2);
    const Int32 writes = fw::testing::BackColorWrites(*window);
    window->BackColor(fw::Color(0x112233));
    EXPECT_EQ(fw::testing::BackColorWrites(*window), writes + 1);
}

TEST_F(WindowTest, ASquareKeptAfterItsWindowIsGoneCanStillBeChanged) {
    auto square = window->ControlByName("sq").As<fw::RoundRectangle>();
    std::weak_ptr<ProbeWindow> gone = window;
    window->Close();
    window.reset();
    QApplication::processEvents();  // closed windows are let go from the event loop
    ASSERT_TRUE(gone.expired());
    EXPECT_EQ(square->OwnerWindow(), nullptr);
    square->FillColor(fw::Color(0x123456));
    square->Left(3);
    square->Visible(false);
    EXPECT_EQ(square->FillColor(), fw::Color(0x123456));
}

// Every way a control comes into a window; each is kept past the window,
// changed and made to raise its events.
TEST(ControlPastItsWindow, NeverPointsAtTheWindowThatIsGone) {
    struct Path {
        const char* name;
        std::function<fw::Ref<fw::RoundRectangle>(ProbeWindow&)> make;
    } paths[] = {
        {"made and never named", [](ProbeWindow& w) { return w.New<fw::RoundRectangle>(); }},
        {"made and named",
         [](ProbeWindow& w) {
             auto c = w.New<fw::RoundRectangle>();
             w.AddControl(c, "made");
             return c;
         }},
        {"made elsewhere and added",
         [](ProbeWindow& w) {
             auto c = fw::New<fw::RoundRectangle>();
             w.AddControl(c, "added");
             return c;
         }},
        {"from the window's own controls",
         [](ProbeWindow& w) { return w.ControlByName("sq").As<fw::RoundRectangle>(); }},
    };
    for (const auto& path : paths) {
        auto window = std::make_shared<ProbeWindow>();
        window->Constructor("Probe.Probe");
        fw::Ref<fw::RoundRectangle> control = path.make(*window);
        int raised = 0;
        control->MouseDown.Bind(window.get(), &ProbeWindow::Event_MouseDown);
        control->Open.Bind([&raised] { ++raised; });
        std::weak_ptr<ProbeWindow> gone = window;
        window->Close();
        window.reset();
        QApplication::processEvents();  // closed windows are let go from the event loop
        ASSERT_TRUE(gone.expired()) << path.name;
        EXPECT_EQ(control->OwnerWindow(), nullptr) << path.name;
        control->FillColor(fw::Color(0x123456));
        control->Left(3);
        control->Visible(false);
        control->Refresh();
        EXPECT_FALSE(control->Event_MouseDown(1, 1)) << path.name << ": raised into the window that is gone";
        control->Event_Open();
        EXPECT_EQ(raised, 1) << path.name;
        fw::testing::ResetApplication();
    }
}

TEST_F(WindowTest, AControlBelongsToOneWindowUnderOneName) {
    auto other = std::make_shared<ProbeWindow>();
    other->Constructor("Other.Other");
    auto square = window->ControlByName("sq");
    EXPECT_THROW(other->AddControl(square, "stolen"), fw::RuntimeException);
    EXPECT_THROW(window->AddControl(square, "again"), fw::RuntimeException);
    EXPECT_EQ(square->OwnerWindow(), window.get());
    EXPECT_EQ(window->ControlByName("again"), nullptr);
}

// What reached the screen, after the repaints the changes asked for: the
// squares are drawn by their window, so a change must repaint the right area.
QImage OnScreen(fw::Window& window) {
    QApplication::processEvents();
    QWidget& widget = window.Widget();
    return widget.screen()->grabWindow(widget.winId()).toImage();
}

TEST_F(WindowTest, SquaresShowWhereAndAsTheyAreAfterEachChange) {
    const QRgb back = qRgb(0x11, 0x22, 0x33);
    auto square = window->ControlByName("sq").As<fw::RoundRectangle>();
    square->FillColor(fw::Color(0x00FF00));
    square->BorderWidth(0);
    square->OvalWidth(10);
    square->OvalHeight(10);
    window->Widget().show();
    QImage shown = OnScreen(*window);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixel(25, 25), qRgb(0, 0xFF, 0)) << "centre";
    EXPECT_EQ(shown.pixel(10, 10), back) << "a rounded corner is left out";
    EXPECT_EQ(shown.pixel(25, 10), qRgb(0, 0xFF, 0)) << "the middle of the top edge";

    square->FillColor(fw::Color(0xFF0000));
    EXPECT_EQ(OnScreen(*window).pixel(25, 25), qRgb(0xFF, 0, 0)) << "new colour";

    square->Left(100);
    shown = OnScreen(*window);
    EXPECT_EQ(shown.pixel(25, 25), back) << "moved away: the old place is cleared";
    EXPECT_EQ(shown.pixel(115, 25), qRgb(0xFF, 0, 0)) << "moved: drawn at the new place";

    square->Width(60);
    EXPECT_EQ(OnScreen(*window).pixel(150, 25), qRgb(0xFF, 0, 0)) << "widened";

    square->Visible(false);
    EXPECT_EQ(OnScreen(*window).pixel(115, 25), back) << "hidden";
    square->Visible(true);
    EXPECT_EQ(OnScreen(*window).pixel(115, 25), qRgb(0xFF, 0, 0)) << "shown again";

    square->BorderWidth(4);
    square->BorderColor(fw::Color(0x0000FF));
    shown = OnScreen(*window);
    EXPECT_EQ(shown.pixel(130, 11), qRgb(0, 0, 0xFF)) << "border";
    EXPECT_EQ(shown.pixel(130, 25), qRgb(0xFF, 0, 0)) << "fill inside the border";
}

}  // namespace
