// Ending the program from outside: a signal, and an exit() from inside the
// platform (Qt's answer to a broken X connection).

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/app/Runtime.h"
#include "framework/dialogs/Dialogs.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Window.h"

namespace fw = kivra::framework;

namespace {

// Each window notes its Close in a shared log and reports a failure in a box,
// as the clock does when its settings cannot be saved.
class ClosingWindow : public fw::Window {
public:
    ClosingWindow(std::string name, std::vector<std::string>& log) : mName(std::move(name)), mLog(log) {}
    void Layout() override { SetProperties({{"Width", 120}, {"Height", 60}, {"Title", mName}}); }
    void Event_Close() override {
        mLog.push_back(mName);
        fw::MsgBox("couldn't save " + mName);
        std::fflush(stderr);
    }

private:
    std::string mName;
    std::vector<std::string>& mLog;
};

class Shutdown : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fw::testing::MsgBoxLog().clear();
        for (const char* name : {"First", "Second"}) {
            auto window = std::make_shared<ClosingWindow>(name, closed);
            window->Constructor(std::string(name) + "." + name);
            windows.push_back(window);
        }
    }
    void TearDown() override {
        fw::testing::ResetApplication();
        fw::testing::MsgBoxLog().clear();
    }

    std::vector<std::string> closed;
    std::vector<std::shared_ptr<ClosingWindow>> windows;
};

TEST_P(Shutdown, SignalQuitsOnceStartUpIsOverAndTellsBoxesOnStandardError) {
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(std::raise(GetParam()), 0);
    // The signal is handled on the event loop, at its next turns.
    for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
    // Still in start-up: a window's Open may be on the stack.
    EXPECT_FALSE(fw::testing::QuitRequested());
    EXPECT_TRUE(closed.empty());

    fw::RuntimeRun();  // start-up is over: it quits instead of running
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(fw::testing::QuitRequested());
    EXPECT_EQ(fw::testing::QuitCode(), 0);
    EXPECT_EQ(closed, (std::vector<std::string>{"Second", "First"}));
    EXPECT_TRUE(fw::OpenWindows().empty());
    // Nobody may be there to answer a box after a signal.
    EXPECT_TRUE(fw::testing::MsgBoxLog().empty());
    EXPECT_EQ(told, "kivra: couldn't save Second\nkivra: couldn't save First\n");
}

INSTANTIATE_TEST_SUITE_P(
    Signals, Shutdown, ::testing::Values(SIGTERM, SIGINT, SIGHUP), [](const ::testing::TestParamInfo<int>& given) {
        return std::string(given.param == SIGTERM ? "SIGTERM" : given.param == SIGINT ? "SIGINT" : "SIGHUP");
    });

using ShutdownDeathTest = Shutdown;

TEST_P(ShutdownDeathTest, ExitFromInsideThePlatformClosesEveryWindowAndEndsAtOnce) {
    // Qt calls exit(1) when its X connection breaks; any other code exit()
    // takes the same road. The windows close newest first, their boxes go to
    // standard error, and the process ends with status 1 rather than running
    // the destructors of a platform that is gone.
    EXPECT_EXIT(std::exit(GetParam()), ::testing::ExitedWithCode(1),
                "kivra: couldn't save Second\nkivra: couldn't save First\n");
}

INSTANTIATE_TEST_SUITE_P(Statuses, ShutdownDeathTest, ::testing::Values(0, 1));

}  // namespace
