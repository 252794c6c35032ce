#include "clock/ClockTestFixture.h"

#include <stdexcept>

#include "clock/App.h"
#include "clock/FileTypes.h"
#include "framework/app/Runtime.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/Random.h"

namespace kivra {
namespace {

using framework::Int32ToVariant;
namespace testing = framework::testing;

const char* const Message = "An unhandled Exeption has occured";

class Startup : public ClockTestFixture {};

TEST_F(Startup, FileTypesRegistersPlainText) {
    FileTypes::Initialize();
    ASSERT_FALSE(FileTypes::pText.IsNil());
    EXPECT_EQ(FileTypes::pText->Name(), "text");
    EXPECT_EQ(FileTypes::pText->Extensions(), "");
    EXPECT_EQ(FileTypes::pText->MacType(), "TEXT");
    EXPECT_EQ(FileTypes::pText->MacCreator(), "R*ch");
    EXPECT_TRUE(FileTypes::pText->IsRegistered());
    FileTypes::pText = nullptr;
}

TEST_F(Startup, AppIsTheRegisteredApplicationObject) {
    EXPECT_EQ(App::Instance().get(), framework::GetAppObject().get());
    testing::ResetApplication();
    EXPECT_TRUE(App::Instance().IsNil());
    EXPECT_THROW(App::Instance()->HelpHelp_Action(), framework::NilObjectException);
}

TEST_F(Startup, UnhandledExceptionShowsOneMessageWhateverItsClass) {
    for (const framework::RuntimeException& error :
         {framework::RuntimeException(), framework::RuntimeException("disk"),
          static_cast<framework::RuntimeException>(framework::NilObjectException())}) {
        testing::MsgBoxLog().clear();
        EXPECT_FALSE(App::Instance()->Event_UnhandledException(error));
        EXPECT_EQ(testing::MsgBoxLog(), std::vector<std::string>{Message});
    }
}

TEST_F(Startup, ExceptionInAHandlerReachesTheAppAndTheClockKeepsTicking) {
    WriteSettings({{"ChangeMode", Int32ToVariant(0)}});
    OpenClock();
    auto fire = [this](int second) {
        now.second = second;
        const int before = testing::BackColorWrites(*win);
        testing::Fire(*ClockTimer());
        return testing::BackColorWrites(*win) != before;
    };
    fire(1);
    // Without its generator the display fails while it picks squares.
    win->r = nullptr;
    EXPECT_FALSE(fire(2));
    EXPECT_EQ(testing::MsgBoxLog(), std::vector<std::string>{Message});
    EXPECT_TRUE(framework::GetImplicitWindow("WinMain.WinMain") == win);

    win->r = framework::New<framework::Random>();
    EXPECT_FALSE(fire(2));  // that second counts as done
    EXPECT_TRUE(fire(3));
    EXPECT_EQ(testing::MsgBoxLog().size(), 1u);
}

TEST_F(Startup, HelpMenuHandlersCountAsHandled) {
    EXPECT_TRUE(App::Instance()->HelpAboutKivra_Action());
    EXPECT_TRUE(App::Instance()->HelpHelp_Action());
}

}  // namespace
}  // namespace kivra
