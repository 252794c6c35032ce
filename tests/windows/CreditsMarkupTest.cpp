#include <limits>
#include <string>
#include <vector>

#include "framework/ui/EditField.h"
#include "framework/values/Strings.h"
#include "windows/AboutWindow.h"
#include "windows/WindowsTestFixture.h"

namespace kivra {
namespace {

namespace fw = framework;
using fw::Int32;
using fw::Ref;

// Reaches the window's protected helpers.
struct AboutAccess : AboutWindow {
    using AboutWindow::SetCreditsFieldText;
};

struct Span {
    Int32 from, to;
    bool bold = false, italic = false;
    Int32 size = 12;
};

struct MarkupCase {
    const char* name;
    std::string markup;
    std::string text;
    std::vector<Span> spans;  // together they cover the text
};

const MarkupCase Cases[] = {
    {"no tags", "plain text\rline two", "plain text\rline two", {{0, 19}}},
    {"bold", "a<b>bc</b>d", "abcd", {{0, 1}, {1, 3, true}, {3, 4}}},
    {"italic inside bold", "<b>a<i>b</i></b>c", "abc", {{0, 1, true}, {1, 2, true, true}, {2, 3}}},
    {"capitals",
     "<B>x</B><I>y</I><FONT size=\"14\">z</FONT>w",
     "xyzw",
     {{0, 1, true}, {1, 2, false, true}, {2, 3, false, false, 14}, {3, 4}}},
    {"unknown tag", "a<u>b</u>c", "abc", {{0, 3}}},
    {"empty tag", "a<>b", "ab", {{0, 2}}},
    {"name begins after a space", "a< b>b", "ab", {{0, 2}}},
    {"b and a space", "a<b class=x>b", "ab", {{0, 1}, {1, 2, true}}},
    {"size without quotes", "a<font size=14>b", "ab", {{0, 1}, {1, 2, false, false, 0}}},
    {"font alone", "a<font>b", "ab", {{0, 1}, {1, 2, false, false, 0}}},
    {"closing font first", "a</font>b", "ab", {{0, 1}, {1, 2, false, false, 0}}},
    {"nested fonts share one remembered size",
     "<font size=\"14\">a<font size=\"10\">b</font>c</font>d",
     "abcd",
     {{0, 1, false, false, 14}, {1, 2, false, false, 10}, {2, 4, false, false, 14}}},
    {"fraction goes to the nearest size", "<font size=\"10.6\">x", "x", {{0, 1, false, false, 11}}},
    {"size that is no number", "<font size=\"big\">x", "x", {{0, 1, false, false, 0}}},
    {"size past Int32", "<font size=\"99999999999\">x", "x", {{0, 1, false, false, std::numeric_limits<Int32>::max()}}},
    {"unclosed < ends the scan", "a<b>b<c <i d", "ab<c <i d", {{0, 1}, {1, 9, true}}},
    {"a tag runs from the first < to the next >", "a<b>b<c<i>d", "abd", {{0, 1}, {1, 3, true}}},
    {"> before any <", "a>b<b>c", "a>bc", {{0, 3}, {3, 4, true}}},
    {"< inside a tag", "a<<b>c", "ac", {{0, 2}}},
    {"only tags", "<b></b><i><font size=\"3\">", "", {}},
    {"styles run across lines", "<b>one\rtwo</b>\rthree", "one\rtwo\rthree", {{0, 7, true}, {7, 13}}},
    {"a tag between the bytes of a broken character",
     "\xC3<i>\xA9",
     "\xEF\xBF\xBD\xEF\xBF\xBD",
     {{0, 1}, {1, 2, false, true}}},
    {"characters outside the bmp",
     "\xF0\x9F\x98\x80\r<b>x</b>y",
     "\xF0\x9F\x98\x80\rxy",
     {{0, 2}, {2, 3, true}, {3, 4}}},
};

class CreditsMarkup : public WindowsTestFixture {
protected:
    void SetUp() override {
        WindowsTestFixture::SetUp();
        about = AboutWindow::Instance();
        field = about->ControlByName("EditAppCredits").As<fw::EditField>();
        ASSERT_TRUE(field);
    }
    void TearDown() override {
        field = nullptr;
        about = nullptr;
        WindowsTestFixture::TearDown();
    }

    void Set(const std::string& text, bool parseTags) {
        ((*about).*(&AboutAccess::SetCreditsFieldText))(text, parseTags);
    }

    void ExpectSpans(const std::vector<Span>& spans) {
        for (const Span& span : spans) {
            for (Int32 i = span.from; i < span.to; ++i) {
                SCOPED_TRACE("character " + std::to_string(i));
                field->SelStart(i);
                field->SelLength(1);
                EXPECT_EQ(field->SelBold(), span.bold);
                EXPECT_EQ(field->SelItalic(), span.italic);
                EXPECT_EQ(field->SelTextSize(), span.size);
            }
        }
    }

    Ref<AboutWindow> about;
    Ref<fw::EditField> field;
};

TEST_F(CreditsMarkup, TagsBecomeStylesAndLeaveTheText) {
    for (const MarkupCase& c : Cases) {
        SCOPED_TRACE(c.name);
        Set(c.markup, true);
        EXPECT_EQ(field->Text(), c.text);
        EXPECT_EQ(field->SelStart(), 0);
        EXPECT_EQ(field->SelLength(), 0);
        EXPECT_EQ(field->ScrollPosition(), 0);
        ExpectSpans(c.spans);
        EXPECT_EQ(c.spans.empty() ? 0 : c.spans.back().to, fw::Len(c.text));
    }
}

TEST_F(CreditsMarkup, EachCallStartsFromThePlainDesignStyle) {
    Set("<b><i><font size=\"30\">everything", true);
    Set("after", true);
    ExpectSpans({{0, 5}});
}

TEST_F(CreditsMarkup, WithoutParsingTheTagsAreShownAsCharacters) {
    Set("a<b>b</b>", false);
    EXPECT_EQ(field->Text(), "a<b>b</b>");
    ExpectSpans({{0, 9}});
}

TEST_F(CreditsMarkup, ThousandsOfTagsAreAllApplied) {
    std::string markup, text;
    for (int i = 0; i < 5000; ++i) {
        markup += i % 2 ? "<b>x</b>" : "<font size=\"9\"><i>y</i></font>";
        text += i % 2 ? "x" : "y";
    }
    Set(markup, true);
    EXPECT_EQ(field->Text(), text);
    ExpectSpans({{0, 1, false, true, 9}, {1, 2, true}, {4998, 4999, false, true, 9}, {4999, 5000, true}});
}

}  // namespace
}  // namespace kivra
