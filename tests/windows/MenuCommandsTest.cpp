#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>
#include <QWindow>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "clock/WinMain.h"
#include "framework/app/Runtime.h"
#include "framework/testing/Testing.h"
#include "framework/ui/EditField.h"
#include "framework/ui/detail/WindowWidget.h"
#include "windows/AboutWindow.h"
#include "windows/MenuBar1.h"
#include "windows/WindowsTestFixture.h"
#include "windows/winHelp.h"

// Qt's own entry for a key as the platform delivers it, shortcuts first; it is
// what QtTest drives key clicks with.
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* window, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
                                    const QString& text = QString(), bool autorep = false, ushort count = 1);

namespace kivra {
namespace {

namespace fw = framework;
namespace testing = framework::testing;
using fw::Ref;

class MenuCommands : public WindowsTestFixture {
protected:
    static int OpenCount(const std::string& qualifiedName) {
        int n = 0;
        for (const auto& window : fw::OpenWindows()) {
            if (fw::GetImplicitWindow(qualifiedName).get() == window.get()) ++n;
        }
        return n;
    }

    static void Activate(fw::Window& window) {
        window.Widget().activateWindow();
        for (int i = 0; i < 100 && !window.Active(); ++i) QApplication::processEvents();
    }

    static QMenuBar* BarIn(fw::Window& window) {
        return window.Widget().findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    }

    static QAction* ShortcutAction(fw::Window& window, const QKeySequence& keys) {
        for (QAction* action : window.Widget().actions()) {
            if (action->shortcut() == keys) return action;
        }
        return nullptr;
    }
};

TEST_F(MenuCommands, HelpOpensOneHelpWindowHoweverOftenChosen) {
    EXPECT_TRUE(testing::ChooseMenuItem("HelpHelp"));
    Ref<winHelp> help = fw::GetImplicitWindow("winHelp.winHelp").As<winHelp>();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->Visible());
    EXPECT_TRUE(testing::ChooseMenuItem("HelpHelp"));
    EXPECT_EQ(fw::GetImplicitWindow("winHelp.winHelp").get(), help.get());
    EXPECT_EQ(fw::OpenWindows().size(), 1u);
}

TEST_F(MenuCommands, AboutOpensTheAboutWindowWithItsCredits) {
    EXPECT_TRUE(testing::ChooseMenuItem("HelpAboutKivra"));
    Ref<AboutWindow> about = fw::GetImplicitWindow("AboutWindow.AboutWindow").As<AboutWindow>();
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->Visible());
    EXPECT_EQ(about->Height(), 366);
    EXPECT_TRUE(about->ControlByName("EditAppCredits").As<fw::EditField>()->Visible());
}

TEST_F(MenuCommands, HandlersAreFoundByTheItemsNamesOnly) {
    EXPECT_TRUE(app->HandleMenuItem("HelpHelp"));
    EXPECT_TRUE(app->HandleMenuItem("HelpAboutKivra"));
    EXPECT_EQ(fw::OpenWindows().size(), 2u);
    testing::ResetApplication();

    // Registered under another name, a handler leaves the item without effect.
    Ref<App> other = fw::New<App>();
    other->MenuBar(MenuBar1::Instance());
    fw::RuntimeRegisterAppObject(other);
    App& self = *other;
    other->AddMenuHandler("helphelp", [&self] { return self.HelpHelp_Action(); });
    other->AddMenuHandler("HelpAbout", [&self] { return self.HelpAboutKivra_Action(); });
    EXPECT_FALSE(other->HandleMenuItem("Help"));
    EXPECT_TRUE(testing::ChooseMenuItem("HelpHelp"));
    EXPECT_TRUE(testing::ChooseMenuItem("HelpAboutKivra"));
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_TRUE(testing::MsgBoxLog().empty());
    app = other;
}

TEST_F(MenuCommands, NamesThatAreNoItemsAndMenuTitlesChooseNothing) {
    for (const char* name : {"", "Help", "helphelp", "FileMenu", "HelpMenu", "UntitledMenu0"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(testing::ChooseMenuItem(name));
    }
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_FALSE(testing::QuitRequested());
}

TEST_F(MenuCommands, DocumentWindowsShowTheBarTheClockShowsNoneAndAllHaveTheShortcuts) {
    Ref<WinMain> clock = WinMain::Instance();
    AboutWindow::Instance()->Show(true);
    winHelp::Instance()->Show();
    for (fw::Window* window :
         {static_cast<fw::Window*>(clock.get()), fw::GetImplicitWindow("AboutWindow.AboutWindow").get(),
          fw::GetImplicitWindow("winHelp.winHelp").get()}) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(window->Frame());
        for (const char* keys : {"Ctrl+Q", "Ctrl+Z", "Ctrl+X", "Ctrl+C", "Ctrl+V", "Ctrl+A"})
            EXPECT_NE(ShortcutAction(*window, QKeySequence(QString::fromLatin1(keys))), nullptr) << keys;
        QMenuBar* bar = BarIn(*window);
        if (window->Frame() != 0 || (bar && bar->isNativeMenuBar())) {
            EXPECT_TRUE(bar == nullptr || bar->isNativeMenuBar());
            continue;
        }
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->isVisible());
        const QList<QAction*> menus = bar->actions();
        ASSERT_EQ(menus.size(), 3);
        EXPECT_EQ(menus[0]->text(), "&File");
        EXPECT_EQ(menus[1]->text(), "&Edit");
        EXPECT_EQ(menus[2]->text(), "&Help");
        const QList<QAction*> edit = menus[1]->menu()->actions();
        ASSERT_EQ(edit.size(), 8);
        EXPECT_TRUE(edit[1]->isSeparator());
        EXPECT_TRUE(edit[6]->isSeparator());
        EXPECT_EQ(edit[5]->text(), "&Delete");
        EXPECT_TRUE(edit[5]->shortcut().isEmpty());
        const QList<QAction*> help = menus[2]->menu()->actions();
        ASSERT_EQ(help.size(), 2);
        EXPECT_EQ(help[0]->text(), "Help...");
        EXPECT_TRUE(help[0]->shortcut().isEmpty());
        EXPECT_EQ(help[1]->text(), "&About Kivra...");
    }
}

TEST_F(MenuCommands, EditCommandsNeedAFocusedTextFieldAndActOnIt) {
    for (const char* name : {"EditUndo", "EditCut", "EditCopy", "EditPaste", "EditClear", "EditSelectAll"})
        EXPECT_FALSE(testing::ChooseMenuItem(name)) << name;

    AboutWindow::Instance()->Show(true);
    Ref<AboutWindow> about = fw::GetImplicitWindow("AboutWindow.AboutWindow").As<AboutWindow>();
    Activate(*about);
    auto* edit = about->Widget().findChild<QTextEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), edit);

    // The credits field is read-only: it can be selected and copied, not changed.
    EXPECT_TRUE(testing::ChooseMenuItem("EditSelectAll"));
    EXPECT_EQ(edit->textCursor().selectedText().size(), edit->document()->characterCount() - 1);
    EXPECT_TRUE(testing::ChooseMenuItem("EditCopy"));
    EXPECT_EQ(QApplication::clipboard()->text().left(7), "Author:");
    for (const char* name : {"EditUndo", "EditCut", "EditPaste", "EditClear"})
        EXPECT_FALSE(testing::ChooseMenuItem(name)) << name;

    edit->setReadOnly(false);
    edit->clearFocus();
    edit->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(testing::ChooseMenuItem("EditClear"));
    EXPECT_TRUE(edit->document()->isEmpty());
    EXPECT_TRUE(testing::ChooseMenuItem("EditUndo"));
    EXPECT_FALSE(edit->document()->isEmpty());
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(MenuCommands, CtrlQQuitsFromAnyWindowAndTheClockSavesItsSettingsOnce) {
    Ref<WinMain> clock = WinMain::Instance();
    const std::string settings = ConfigDir() + "/KivraPrefs.plist";
    ASSERT_TRUE(std::filesystem::exists(settings));
    std::filesystem::remove(settings);
    clock->ColorBG = fw::Color(0x123456);

    winHelp::Instance()->Show();
    fw::Window& help = *fw::GetImplicitWindow("winHelp.winHelp");
    Activate(help);
    ASSERT_TRUE(help.Active());
    qt_handleKeyEvent(help.Widget().windowHandle(), QEvent::KeyPress, Qt::Key_Q, Qt::ControlModifier);
    qt_handleKeyEvent(help.Widget().windowHandle(), QEvent::KeyRelease, Qt::Key_Q, Qt::ControlModifier);

    EXPECT_TRUE(testing::QuitRequested());
    EXPECT_EQ(testing::QuitCode(), 0);
    EXPECT_TRUE(fw::OpenWindows().empty());
    EXPECT_FALSE(clock->IsOpen());
    ASSERT_TRUE(std::filesystem::exists(settings));
    const std::string written = FileText(settings);
    EXPECT_NE(written.find("<key>ColorBG</key>"), std::string::npos);
    EXPECT_NE(written.find("&h00123456"), std::string::npos);

    // A second quit finds nothing to close and writes nothing.
    std::filesystem::remove(settings);
    EXPECT_TRUE(testing::ChooseMenuItem("FileQuit"));
    EXPECT_FALSE(std::filesystem::exists(settings));
}

TEST_F(MenuCommands, SeparatorsShowOnlyTheirLine) {
    AboutWindow::Instance()->Show(true);
    fw::Window& about = *fw::GetImplicitWindow("AboutWindow.AboutWindow");
    QMenuBar* bar = BarIn(about);
    if (!bar || bar->isNativeMenuBar()) GTEST_SKIP() << "the bar is the desktop's global menu";
    QMenu* edit = bar->actions()[1]->menu();
    edit->popup(QPoint(0, 0));
    QApplication::processEvents();
    const QImage shown = edit->grab().toImage();
    edit->hide();
    int separators = 0;
    for (QAction* action : edit->actions()) {
        if (!action->isSeparator()) continue;
        ++separators;
        // The columns that differ from the menu's background form one run, the
        // line; a caption would stand apart from it.
        const QRect r = edit->actionGeometry(action);
        const QRgb background = shown.pixel(r.center().x(), r.top());
        int runs = 0;
        bool inRun = false;
        for (int x = r.left() + 2; x <= r.right() - 2; ++x) {
            bool ink = false;
            for (int y = r.top(); y <= r.bottom() && !ink; ++y) ink = shown.pixel(x, y) != background;
            if (ink && !inRun) ++runs;
            inRun = ink;
        }
        EXPECT_EQ(runs, 1) << "separator at " << r.top();
    }
    EXPECT_EQ(separators, 2);
}

}  // namespace
}  // namespace kivra
