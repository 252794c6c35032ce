#include <gtest/gtest.h>

#include <string>

#include "framework/testing/Testing.h"
#include "framework/ui/EditField.h"
#include "framework/ui/Window.h"
#include "framework/values/Strings.h"

namespace kivra {
namespace {

namespace fw = framework;
using fw::EditField;
using fw::Ref;

// clang-format off
class FieldWindow : public fw::Window {
public:
    void Layout() override { SetProperties({{"Width", 300}, {"Height", 200}, {"Visible", true}}); }
    void CreateControls() override {
        AddControl(New<EditField>(), "Field");
        ControlByName("Field")->SetProperties({{"Left", 0}, {"Top", 0}, {"Width", 300}, {"Height", 200},
                                               {"TextSize", 12}, {"Styled", true}, {"Multiline", true}});
    }
};
// clang-format on

class EditFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = fw::New<FieldWindow>();
        window->Constructor("EditFieldTest.FieldWindow");
        field = window->ControlByName("Field").As<EditField>();
        ASSERT_TRUE(field);
    }
    void TearDown() override {
        field = nullptr;
        window = nullptr;
        fw::testing::ResetApplication();
    }

    void Select(fw::Int32 start, fw::Int32 length) {
        field->SelStart(start);
        field->SelLength(length);
    }

    Ref<FieldWindow> window;
    Ref<EditField> field;
};

// Characters are counted as the string functions count them, whatever their
// size in UTF-8 or UTF-16: a CR is one, so is a character outside the BMP, so
// is a byte that starts no character.
struct TextCase {
    const char* name;
    std::string text;
    fw::Int32 start, length;
    std::string selected;
    std::string readBack;  // the text as the field gives it back
};

const TextCase TextCases[] = {
    {"ascii", "Kivra clock", 6, 5, "clock", "Kivra clock"},
    {"cr lines", "ab\rcd\ref", 3, 4, "cd\re", "ab\rcd\ref"},
    {"empty lines", "\r\r\rx", 3, 1, "x", "\r\r\rx"},
    {"lf taken as cr", "ab\ncd", 2, 2, "\rc", "ab\rcd"},
    {"crlf is two", "a\r\nb", 3, 1, "b", "a\r\rb"},
    {"two-byte", "\xC3\xA9t\xC3\xA9", 1, 2, "t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
    {"outside the bmp", "\xF0\x9F\x98\x80x\xF0\x9F\x98\x80yz", 2, 2, "\xF0\x9F\x98\x80y",
     "\xF0\x9F\x98\x80x\xF0\x9F\x98\x80yz"},
    {"invalid byte",
     "a\xFF"
     "bc",
     2, 2, "bc",
     "a\xEF\xBF\xBD"
     "bc"},
    {"selection cut at the end", "abc", 1, 99, "bc", "abc"},
    {"start past the end", "abc", 10, 2, "", "abc"},
};

TEST_F(EditFieldTest, PositionsCountCharacters) {
    for (const TextCase& c : TextCases) {
        SCOPED_TRACE(c.name);
        field->Text(c.text);
        EXPECT_EQ(field->Text(), c.readBack);
        Select(c.start, c.length);
        EXPECT_EQ(field->SelText(), c.selected);
        EXPECT_EQ(field->SelStart(), std::min<fw::Int32>(c.start, fw::Len(c.readBack)));
        EXPECT_EQ(field->SelLength(), fw::Len(c.selected));
    }
}

TEST_F(EditFieldTest, SelTextReplacesTheSelectionAndKeepsLaterPositionsRight) {
    field->Text("\xF0\x9F\x98\x80<b>x\ry");
    Select(1, 3);
    field->SelText("");
    EXPECT_EQ(field->Text(), "\xF0\x9F\x98\x80x\ry");
    Select(1, 2);
    field->SelText("\xF0\x9F\x98\x81\r");
    EXPECT_EQ(field->Text(), "\xF0\x9F\x98\x80\xF0\x9F\x98\x81\ry");
    EXPECT_EQ(field->SelStart(), 3);
    EXPECT_EQ(field->SelLength(), 0);
    Select(3, 1);
    EXPECT_EQ(field->SelText(), "y");
}

TEST_F(EditFieldTest, NegativeStartMeansNoSelection) {
    field->Text("abc");
    Select(1, 2);
    field->SelStart(-1);
    field->SelLength(0);
    EXPECT_EQ(field->SelStart(), 0);
    EXPECT_EQ(field->SelLength(), 0);
    EXPECT_EQ(field->SelText(), "");
    Select(0, -5);
    EXPECT_EQ(field->SelLength(), 0);
}

TEST_F(EditFieldTest, StylesApplyToTheSelectionAndReadBackPerCharacter) {
    field->Text("plain bold big");
    Select(6, 4);
    field->SelBold(true);
    Select(11, 3);
    field->SelTextSize(20);
    Select(0, 5);
    field->SelItalic(true);

    struct Expect {
        fw::Int32 from, to;
        bool bold, italic;
        fw::Int32 size;
    };
    for (const Expect& e :
         {Expect{0, 5, false, true, 12}, Expect{5, 6, false, false, 12}, Expect{6, 10, true, false, 12},
          Expect{10, 11, false, false, 12}, Expect{11, 14, false, false, 20}}) {
        for (fw::Int32 i = e.from; i < e.to; ++i) {
            SCOPED_TRACE(i);
            Select(i, 1);
            EXPECT_EQ(field->SelBold(), e.bold);
            EXPECT_EQ(field->SelItalic(), e.italic);
            EXPECT_EQ(field->SelTextSize(), e.size);
        }
    }
    // Bold reads true only when all of the selection is bold.
    Select(5, 5);
    EXPECT_FALSE(field->SelBold());
    Select(6, 4);
    EXPECT_TRUE(field->SelBold());
    // A new text drops every style.
    field->Text("fresh");
    Select(0, 5);
    EXPECT_FALSE(field->SelBold());
    EXPECT_FALSE(field->SelItalic());
    EXPECT_EQ(field->SelTextSize(), 12);
}

TEST_F(EditFieldTest, SizesOfZeroAndBelowAndHugeOnesReadBackAsSet) {
    field->Text("abcd");
    const fw::Int32 sizes[] = {0, -3, 2000000000, 1};
    for (fw::Int32 i = 0; i < 4; ++i) {
        Select(i, 1);
        field->SelTextSize(sizes[i]);
    }
    for (fw::Int32 i = 0; i < 4; ++i) {
        Select(i, 1);
        EXPECT_EQ(field->SelTextSize(), sizes[i]);
    }
}

TEST_F(EditFieldTest, UnstyledFieldStylesTheWholeText) {
    field->Styled(false);
    field->Text("one two");
    Select(0, 3);
    field->SelBold(true);
    Select(4, 3);
    EXPECT_TRUE(field->SelBold());
}

TEST_F(EditFieldTest, ScrollPositionNamesTheTopLine) {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\r";
    field->Text(text);
    field->ScrollPosition(50);
    EXPECT_EQ(field->ScrollPosition(), 50);
    field->ScrollPosition(0);
    EXPECT_EQ(field->ScrollPosition(), 0);
}

TEST_F(EditFieldTest, PropertiesItCannotHonourFailLoudly) {
    EXPECT_THROW(field->SetProperty("Password", true), fw::PropertyError);
    EXPECT_THROW(field->SetProperty("Mask", std::string("###")), fw::PropertyError);
    EXPECT_THROW(field->SetProperty("LimitText", 10), fw::PropertyError);
    EXPECT_THROW(field->SetProperty("Colour", 1), fw::PropertyError);
    EXPECT_NO_THROW(field->SetProperty("ReadOnly", true));
    EXPECT_TRUE(field->ReadOnly());
}

}  // namespace
}  // namespace kivra
