#include <QCoreApplication>
#include <QFontInfo>
#include <QImage>
#include <QTextCursor>
#include <QTextEdit>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/app/Runtime.h"
#include "framework/drawing/Picture.h"
#include "framework/drawing/detail/PictureData.h"
#include "framework/files/FolderItem.h"
#include "framework/testing/Testing.h"
#include "framework/ui/Canvas.h"
#include "framework/ui/EditField.h"
#include "framework/ui/StaticText.h"
#include "framework/ui/detail/EditFieldWidget.h"
#include "framework/ui/detail/WindowWidget.h"
#include "framework/values/NilObjectException.h"
#include "framework/values/Strings.h"
#include "windows/AboutWindow.h"
#include "windows/BundlePictures.h"
#include "windows/WindowsTestFixture.h"

namespace kivra {
namespace {

namespace fw = framework;
namespace testing = framework::testing;
using fw::Int32;
using fw::Ref;

struct AboutAccess : AboutWindow {
    using AboutWindow::VersionString;
    using AboutWindow::VersionText;
};

struct Place {
    const char* control;
    Int32 left, top, width, height;
    bool visible;
};

class AboutTest : public WindowsTestFixture {
protected:
    Ref<AboutWindow> ShowAbout(bool useCredits) {
        AboutWindow::Instance()->Show(useCredits);
        return fw::GetImplicitWindow("AboutWindow.AboutWindow").As<AboutWindow>();
    }

    template <typename T>
    static Ref<T> Get(const AboutWindow& about, const char* name) {
        Ref<T> control = about.ControlByName(name).As<T>();
        EXPECT_TRUE(control) << name;
        return control;
    }

    static void ExpectPlaces(const AboutWindow& about, Int32 height, const std::vector<Place>& places) {
        EXPECT_EQ(about.Width(), 284);
        EXPECT_EQ(about.Height(), height);
        for (const Place& p : places) {
            SCOPED_TRACE(p.control);
            Ref<fw::RectControl> c = Get<fw::RectControl>(about, p.control);
            ASSERT_TRUE(c);
            EXPECT_EQ(c->Left(), p.left);
            EXPECT_EQ(c->Top(), p.top);
            EXPECT_EQ(c->Width(), p.width);
            EXPECT_EQ(c->Height(), p.height);
            EXPECT_EQ(c->Visible(), p.visible);
        }
    }

    // Styles of the credits field, one entry per character.
    static std::string StyleMap(fw::EditField& field) {
        std::string map;
        const Int32 n = fw::Len(field.Text());
        for (Int32 i = 0; i < n; ++i) {
            field.SelStart(i);
            field.SelLength(1);
            const std::string c = field.SelText();
            if (c == "\r") {
                map += '|';
                continue;
            }
            map += field.SelTextSize() == 10              ? (field.SelBold() ? '?' : 's')
                   : field.SelBold() && field.SelItalic() ? 'X'
                   : field.SelBold()                      ? 'B'
                   : field.SelItalic()                    ? 'I'
                   : field.SelTextSize() == 12            ? '.'
                                                          : '?';
        }
        field.SelStart(-1);
        field.SelLength(0);
        return map;
    }

    static QImage Painted(fw::Canvas& canvas) { return fw::detail::DisplayImage(*canvas.Backing()); }
};

const std::vector<Place> Tall = {
    {"AppIconCanvas", 110, 8, 64, 64, true},      {"StatAppName", 20, 86, 244, 16, true},
    {"StatAppVersion", 20, 112, 244, 12, true},   {"EditAppCredits", 0, 132, 284, 140, true},
    {"StatAppCopyright", 20, 280, 244, 32, true}, {"TolvIconCanvas", 34, 324, 216, 30, true},
};

const std::vector<Place> Short = {
    {"AppIconCanvas", 110, 8, 64, 64, true},    {"StatAppName", 20, 86, 244, 16, true},
    {"StatAppVersion", 20, 112, 244, 12, true}, {"StatAppCopyright", 20, 132, 244, 32, true},
    {"TolvIconCanvas", 34, 176, 216, 30, true},
};

TEST_F(AboutTest, ShowWithCreditsGivesTheTallWindowWithEverythingFilledIn) {
    Ref<AboutWindow> about = ShowAbout(true);
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->Visible());
    EXPECT_EQ(about->Title(), "");
    EXPECT_EQ(about->Frame(), 0);
    ExpectPlaces(*about, 366, Tall);

    EXPECT_EQ(Get<fw::StaticText>(*about, "StatAppName")->Text(), "Kivra");
    EXPECT_EQ(Get<fw::StaticText>(*about, "StatAppVersion")->Text(),
              "Version " + AboutAccess::VersionText(app->MajorVersion(), app->MinorVersion(), app->BugVersion(),
                                                    app->StageCode(), app->NonReleaseVersion()));
    const std::string notice = Get<fw::StaticText>(*about, "StatAppCopyright")->Text();
    const std::string first = fw::NthField(notice, "\r", 1);
    EXPECT_EQ(fw::NthField(notice, "\r", 3), "");
    EXPECT_EQ(first.back(), ',');
    EXPECT_NE(first.find("2026"), std::string::npos);
    EXPECT_FALSE(fw::NthField(notice, "\r", 2).empty());

    Ref<fw::EditField> credits = Get<fw::EditField>(*about, "EditAppCredits");
    const std::string text = credits->Text();
    EXPECT_EQ(text.find('<'), std::string::npos);
    EXPECT_EQ(fw::NthField(text, "\r", 1), "Author:");
    EXPECT_EQ(fw::NthField(text, "\r", 4), "With special thanks to:");
    EXPECT_EQ(fw::NthField(text, "\r", 10), "Disclaimer:");
    EXPECT_EQ(fw::NthField(text, "\r", 12), "");
    for (int n : {2, 5, 6}) {
        const std::string line = fw::NthField(text, "\r", n);
        EXPECT_EQ(line.find_first_not_of(' '), 6u) << line;
    }
    for (int line : {3, 7, 9}) EXPECT_EQ(fw::NthField(text, "\r", line), "") << line;
    const std::string disclaimer = fw::NthField(text, "\r", 11);
    EXPECT_FALSE(disclaimer.empty());
    for (char c : disclaimer) EXPECT_FALSE(c >= 'a' && c <= 'z') << disclaimer;
    EXPECT_EQ(credits->SelStart(), 0);
    EXPECT_EQ(credits->SelLength(), 0);
    EXPECT_EQ(credits->ScrollPosition(), 0);

    // Only the headings are bold, the second one italic too, the trademark line
    // italic, and the disclaimer small.
    const std::string styles = StyleMap(*credits);
    std::vector<std::string> lines;
    for (int i = 1; i <= 11; ++i) lines.push_back(fw::NthField(styles, "|", i));
    EXPECT_EQ(lines[0], std::string(7, 'B'));
    EXPECT_EQ(lines[1], std::string(fw::Len(fw::NthField(text, "\r", 2)), '.'));
    EXPECT_EQ(lines[3], std::string(23, 'X'));
    EXPECT_EQ(lines[4], std::string(fw::Len(fw::NthField(text, "\r", 5)), '.'));
    EXPECT_EQ(lines[7], std::string(fw::Len(fw::NthField(text, "\r", 8)), 'I'));
    EXPECT_EQ(lines[9], std::string(11, 'B'));
    EXPECT_EQ(lines[10], std::string(fw::Len(disclaimer), 's'));
}

TEST_F(AboutTest, TextSizesAreShownInPixelsInEveryControl) {
    // Labels and the credits field alike: the name is the largest text, the
    // disclaimer the smallest, whatever the screen's resolution.
    Ref<AboutWindow> about = ShowAbout(true);
    const auto shownPixels = [](const QFont& font) { return QFontInfo(font).pixelSize(); };
    EXPECT_EQ(shownPixels(Get<fw::StaticText>(*about, "StatAppName")->Widget()->font()), 14);

    Ref<fw::EditField> credits = Get<fw::EditField>(*about, "EditAppCredits");
    auto* field = static_cast<fw::detail::EditFieldWidget*>(credits->Widget());
    const QFont base = field->Edit().font();
    const auto shownAt = [&](Int32 line) {
        const std::string text = credits->Text();
        Int32 at = 0;
        for (Int32 n = 1; n < line; ++n) at += fw::Len(fw::NthField(text, "\r", n)) + 1;
        QTextCursor cursor(&field->Document());
        cursor.setPosition(at + 1);
        return shownPixels(cursor.charFormat().font().resolve(base));
    };
    EXPECT_EQ(shownAt(2), 12) << "credits";
    EXPECT_EQ(shownAt(11), 10) << "disclaimer";
}

TEST_F(AboutTest, ShowingAgainReachesTheSameWindowWithTheSameTextsAndStyles) {
    Ref<AboutWindow> about = ShowAbout(true);
    Ref<fw::EditField> credits = Get<fw::EditField>(*about, "EditAppCredits");
    const std::string text = credits->Text(), styles = StyleMap(*credits);
    Ref<AboutWindow> again = ShowAbout(true);
    EXPECT_EQ(again.get(), about.get());
    EXPECT_EQ(fw::OpenWindows().size(), 1u);
    EXPECT_EQ(credits->Text(), text);
    EXPECT_EQ(StyleMap(*credits), styles);
    ExpectPlaces(*about, 366, Tall);
}

TEST_F(AboutTest, ShortLayoutHidesTheCreditsAndATallOneBringsThemBack) {
    Ref<AboutWindow> about = ShowAbout(false);
    ExpectPlaces(*about, 218, Short);
    EXPECT_FALSE(Get<fw::EditField>(*about, "EditAppCredits")->Visible());
    EXPECT_EQ(Get<fw::StaticText>(*about, "StatAppName")->Text(), "Kivra");
    ShowAbout(true);
    ExpectPlaces(*about, 366, Tall);
    EXPECT_EQ(fw::NthField(Get<fw::EditField>(*about, "EditAppCredits")->Text(), "\r", 1), "Author:");
}

TEST_F(AboutTest, AfterTheUserClosesItTheNextShowMakesANewWindow) {
    Ref<AboutWindow> first = ShowAbout(true);
    first->Close();
    EXPECT_TRUE(fw::GetImplicitWindow("AboutWindow.AboutWindow").IsNil());
    Ref<AboutWindow> second = ShowAbout(true);
    EXPECT_NE(second.get(), first.get());
    ExpectPlaces(*second, 366, Tall);
}

TEST_F(AboutTest, VersionTextForEveryStage) {
    struct Row {
        Int32 stage;
        const char* text;
    };
    for (const Row& row : {Row{0, "1.2.3 (Dev. 4)"}, Row{1, "1.2.3a (4)"}, Row{2, "1.2.3b (4)"}, Row{3, "1.2.3 (4)"},
                           Row{4, "1.2.3"}, Row{-1, "1.2.3"}, Row{2147483647, "1.2.3"}}) {
        EXPECT_EQ(AboutAccess::VersionText(1, 2, 3, row.stage, 4), row.text) << row.stage;
    }
    EXPECT_EQ(AboutAccess::VersionText(0, 0, 0, 3, 0), "0.0.0 (0)");
    EXPECT_EQ(AboutAccess::VersionText(10, -1, 2147483647, 0, -5), "10.-1.2147483647 (Dev. -5)");
}

TEST_F(AboutTest, VersionStringReadsTheApplicationsNumbers) {
    Ref<AboutWindow> about = AboutWindow::Instance();
    const auto version = &AboutAccess::VersionString;
    EXPECT_EQ(((*about).*version)(),
              AboutAccess::VersionText(app->MajorVersion(), app->MinorVersion(), app->BugVersion(), app->StageCode(),
                                       app->NonReleaseVersion()));
    fw::RuntimeRegisterAppObject(nullptr);
    EXPECT_THROW(((*about).*version)(), fw::NilObjectException);
    fw::RuntimeRegisterAppObject(app);
}

TEST_F(AboutTest, APressOnTheBadgeOpensTheWebPageAtOnce) {
    Ref<AboutWindow> about = ShowAbout(true);
    Ref<fw::Canvas> badge = Get<fw::Canvas>(*about, "TolvIconCanvas");
    testing::Press(*badge, 100, 15);
    EXPECT_EQ(testing::ShowURLLog(), std::vector<std::string>{AboutWindow::kWebPage});
    EXPECT_EQ(std::string(AboutWindow::kWebPage).rfind("https://", 0), 0u);
    EXPECT_FALSE(about->TolvIconCanvas_MouseDown(0, 0));
    EXPECT_EQ(testing::ShowURLLog().size(), 2u);
    // The icon is no link.
    testing::Press(*Get<fw::Canvas>(*about, "AppIconCanvas"), 10, 10);
    EXPECT_EQ(testing::ShowURLLog().size(), 2u);
}

TEST_F(AboutTest, IconAndBadgeArePaintedThroughTheirMasks) {
    Ref<AboutWindow> about = ShowAbout(true);
    about->Widget().grab();
    const QImage icon = Painted(*Get<fw::Canvas>(*about, "AppIconCanvas"));
    ASSERT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(icon.pixelColor(0, 0).alpha(), 0);  // a rounded corner of the tile
    EXPECT_EQ(icon.pixelColor(3, 32), QColor(Qt::black));
    const QImage badge = Painted(*Get<fw::Canvas>(*about, "TolvIconCanvas"));
    ASSERT_EQ(badge.size(), QSize(216, 30));
    EXPECT_EQ(badge.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(badge.pixelColor(215, 29).alpha(), 0);
    EXPECT_EQ(badge.pixelColor(108, 2).alpha(), 255);
    EXPECT_TRUE(testing::MsgBoxLog().empty());
}

TEST_F(AboutTest, AMissingPictureEndsInTheUnhandledExceptionReport) {
    const std::string empty = ConfigDir() + "/no-pictures";
    std::filesystem::create_directory(empty);
    UseBundleResourcesForTesting(fw::New<fw::FolderItem>(empty));
    Ref<AboutWindow> about = ShowAbout(true);
    about->Widget().grab();
    QCoreApplication::processEvents();  // reported once the paint is over
    ASSERT_FALSE(testing::MsgBoxLog().empty());
    EXPECT_EQ(testing::MsgBoxLog().front(), "An unhandled Exeption has occured");
    // One report for each canvas whose picture is missing, however often the
    // window is painted again.
    EXPECT_EQ(testing::MsgBoxLog().size(), 2u);
    for (int i = 0; i < 3; ++i) {
        about->Widget().grab();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(testing::MsgBoxLog().size(), 2u);
    // The window stays usable.
    EXPECT_TRUE(about->IsOpen());
    testing::Press(*Get<fw::Canvas>(*about, "TolvIconCanvas"), 5, 5);
    EXPECT_EQ(testing::ShowURLLog().size(), 1u);

    // Pictures put in place later show at the next paint.
    const auto built = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "share" / "kivra";
    for (const char* name : {"AboutIcon.bmp", "AboutMask.bmp", "Plenko.pct", "PlenkoMask.pct"})
        std::filesystem::copy_file(built / name, std::filesystem::path(empty) / name);
    about->Widget().grab();
    QCoreApplication::processEvents();
    EXPECT_EQ(Painted(*Get<fw::Canvas>(*about, "AppIconCanvas")).pixelColor(3, 32), QColor(Qt::black));
    EXPECT_EQ(Painted(*Get<fw::Canvas>(*about, "TolvIconCanvas")).pixelColor(108, 2).alpha(), 255);
    EXPECT_EQ(testing::MsgBoxLog().size(), 2u);
}

}  // namespace
}  // namespace kivra
