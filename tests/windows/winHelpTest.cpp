#include <QApplication>
#include <QCloseEvent>

#include <functional>

#include "framework/testing/Testing.h"
#include "framework/ui/PushButton.h"
#include "framework/ui/StaticText.h"
#include "framework/ui/detail/WindowWidget.h"
#include "windows/WindowsTestFixture.h"
#include "windows/winHelp.h"

namespace kivra {
namespace {

namespace fw = framework;
using fw::Ref;

class HelpWindow : public WindowsTestFixture {
protected:
    static Ref<winHelp> Open() {
        EXPECT_TRUE(App::Instance()->HelpHelp_Action());
        return fw::GetImplicitWindow("winHelp.winHelp").As<winHelp>();
    }

    static void ExpectContent(winHelp& help) {
        EXPECT_EQ(help.Title(), "Kivra Help");
        EXPECT_EQ(help.Width(), 300);
        EXPECT_EQ(help.Height(), 86);
        EXPECT_EQ(help.Frame(), 0);
        Ref<fw::StaticText> text = help.ControlByName("StaticText1").As<fw::StaticText>();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->Text(), "Help for Kivra is not available");
        EXPECT_EQ(text->TextAlign(), 1);
        EXPECT_FALSE(text->Multiline());
        EXPECT_EQ(text->Left() * 2 + text->Width(), 300);
        Ref<fw::PushButton> ok = help.ControlByName("PushButton1").As<fw::PushButton>();
        ASSERT_TRUE(ok);
        EXPECT_EQ(ok->Caption(), "OK");
        EXPECT_TRUE(ok->Default());
        EXPECT_FALSE(ok->Cancel());
        EXPECT_EQ(ok->Left() * 2 + ok->Width(), 300);
        ASSERT_EQ(help.Controls().size(), 2u);
        EXPECT_EQ(help.Controls()[0]->Name(), "StaticText1");
        EXPECT_EQ(help.Controls()[1]->Name(), "PushButton1");
    }
};

TEST_F(HelpWindow, ShowsItsOneLineAndTitle) {
    Ref<winHelp> help = Open();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->Visible());
    ExpectContent(*help);
}

TEST_F(HelpWindow, TwoHelpCommandsGiveOneWindow) {
    Ref<winHelp> first = Open();
    Ref<winHelp> second = Open();
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(fw::OpenWindows().size(), 1u);
}

TEST_F(HelpWindow, AfterOkOrTheCloseBoxTheNextHelpIsAFreshWindow) {
    const auto byOk = [](winHelp& help) { help.ControlByName("PushButton1").As<fw::PushButton>()->Push(); };
    const auto byCloseBox = [](winHelp& help) {
        QCloseEvent event;
        QApplication::sendEvent(&help.Widget(), &event);
    };
    for (const auto& close : {std::function<void(winHelp&)>(byOk), std::function<void(winHelp&)>(byCloseBox)}) {
        Ref<winHelp> before = Open();
        ASSERT_TRUE(before);
        close(*before);
        EXPECT_FALSE(before->IsOpen());
        EXPECT_FALSE(before->Visible());
        EXPECT_TRUE(fw::GetImplicitWindow("winHelp.winHelp").IsNil());
        Ref<winHelp> after = Open();
        ASSERT_TRUE(after);
        EXPECT_NE(after.get(), before.get());
        ExpectContent(*after);
        after->Close();
    }
    EXPECT_TRUE(fw::testing::MsgBoxLog().empty());
}

}  // namespace
}  // namespace kivra
