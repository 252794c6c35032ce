#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "framework/values/Strings.h"
#include "framework/values/Types.h"

namespace kivra::framework {
namespace {

using namespace std::string_literals;

constexpr Int32 kMax = std::numeric_limits<Int32>::max();
constexpr Int32 kMin = std::numeric_limits<Int32>::min();

TEST(ValText, ReadsTheNumberAtTheStart) {
    const struct {
        std::string text;
        double value;
        // clang-format off
    } cases[] = {
        {"", 0},           {"abc", 0},         {"  42", 42},       {"\t-7", -7},        {"\n 8", 8},
        {"+3", 3},         {"3.25abc", 3.25},  {".5", 0.5},        {"-.5", -0.5},       {"5.", 5},
        {"1e3", 1000},     {"1E-2", 0.01},     {"2.5e+1x", 25},    {"1e", 1},           {"1e+", 1},
        {"1ex", 1},        {"-", 0},           {".", 0},           {"- 5", 0},          {"12 34", 12},
        {"1,5", 1},        {"0x1F", 0},        {"&hFF", 255},      {"&Hff", 255},       {"&h0055FF", 0x55FF},
        {"&h", 0},         {"&hG", 0},         {"&h-1", 0},        {"&hFFq", 255},      {"&o17", 15},
        {"&O8", 0},        {"&b101", 5},       {"&B2", 0},         {"&x12", 0},         {"&", 0},
        {"&hFFFFFFFF", 4294967295.0},          {"&h7FFFFFFF", 2147483647.0},            {" &h10", 16},
        {"-&h10", 0},      {"inf", 0},         {"nan", 0},         {"1\0" "5"s, 1},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(Val(c.text), c.value) << c.text;
}

TEST(ValText, OverlongNumbersStayDefinedAndSaturate) {
    const std::string hex = "&h" + std::string(1000, 'F');
    EXPECT_TRUE(std::isinf(Val(hex)));
    EXPECT_EQ(ToInt32(Val(hex)), kMax);
    EXPECT_EQ(Val("&h" + std::string(12, 'F')), 281474976710655.0);
    EXPECT_EQ(ToInt32(Val("&h" + std::string(12, 'F'))), kMax);
    EXPECT_EQ(ToInt32(Val(std::string(400, '9'))), kMax);
    EXPECT_EQ(ToInt32(Val("-" + std::string(400, '9'))), kMin);
    EXPECT_EQ(ToInt32(Val("&b" + std::string(2000, '1'))), kMax);
    EXPECT_EQ(Val("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(Val("1e-99999"), 0.0);
    EXPECT_EQ(ToInt32(Val("0." + std::string(400, '0') + "1")), 0);
}

// Qt sets the user's locale at start-up; a decimal comma there must not change Val.
TEST(ValText, IgnoresTheLocalesDecimalPoint) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_EQ(Val("2.5"), 2.5);
    EXPECT_EQ(Val("2,5"), 2.0);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(HexAndStr, TwoComplementPatternAndDecimal) {
    const struct {
        Int32 value;
        const char* hex;
        const char* str;
        // clang-format off
    } cases[] = {
        {0, "0", "0"},         {10, "A", "10"},        {255, "FF", "255"},     {0x55FF, "55FF", "22015"},
        {-1, "FFFFFFFF", "-1"}, {kMax, "7FFFFFFF", "2147483647"}, {kMin, "80000000", "-2147483648"},
    };
    // clang-format on
    for (const auto& c : cases) {
        EXPECT_EQ(Hex(c.value), c.hex);
        EXPECT_EQ(Str(c.value), c.str);
    }
}

TEST(InStrText, CountsCharactersFromOne) {
    const struct {
        Int32 start;
        std::string s, find;
        Int32 pos;
    } cases[] = {
        {1, "hello", "l", 3},
        {4, "hello", "l", 4},
        {5, "hello", "l", 0},
        {0, "hello", "h", 1},
        {-3, "hello", "h", 1},
        {kMin, "hello", "o", 5},
        {1, "hello", "z", 0},
        {1, "hello", "hello!", 0},
        {100, "abc", "a", 0},
        {kMax, "abc", "c", 0},
        {1, "Hello", "h", 0},
        {1, "", "a", 0},
        // An empty find is found where the search starts, if that is inside s.
        {1, "abc", "", 1},
        {3, "abc", "", 3},
        {0, "abc", "", 1},
        {4, "abc", "", 0},
        {1, "", "", 0},
        // UTF-8 characters and invalid bytes count one each.
        {1,
         "\xC3\xA4"
         "bc",
         "b", 2},
        {1,
         "\xE2\x82\xAC"
         "x"
         "\xE2\x82\xAC"
         "y",
         "y", 4},
        {2,
         "\xE2\x82\xAC"
         "x"
         "\xE2\x82\xAC"
         "y",
         "\xE2\x82\xAC", 3},
        {1,
         "\xF0\x9F\x98\x80"
         "a",
         "a", 2},
        {1,
         "\xFF"
         "a",
         "a", 2},
        {1,
         "\xE2\x82"
         "a",
         "a", 3},
        // A byte match inside a character is no match.
        {1, "\xE2\x82\xAC", "\x82", 0},
        {1,
         "\x82"
         "\xE2\x82\xAC"
         "\x82",
         "\x82", 1},
        {2,
         "\x82"
         "\xE2\x82\xAC"
         "\x82",
         "\x82", 3},
        {1, "\xE2\x82\xAC", "\xE2\x82", 0},
        {1,
         "\xE2\x82"
         "x",
         "\xE2\x82", 1},
        {1, "a\0b"s, "b", 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.start, c.s, c.find), c.pos) << c.start << " [" << c.s << "] [" << c.find << "]";
    EXPECT_EQ(InStr("abcabc", "ca"), 3);
}

TEST(InStrText, ByteFormCountsBytes) {
    const struct {
        Int32 start;
        std::string s, find;
        Int32 pos;
        // clang-format off
    } cases[] = {
        {1, "\xC3\xA4" "b", "b", 3}, {0, "abc", "a", 1},   {-5, "abc", "c", 3},   {3, "abcabc", "a", 4},
        {7, "abcabc", "a", 0},       {1, "", "a", 0},      {1, "\xE2\x82\xAC", "\x82", 2},
        {1, "abc", "", 1},           {4, "abc", "", 0},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(InStrB(c.start, c.s, c.find), c.pos) << c.s;
}

TEST(MidText, TakesCharactersFromOne) {
    const struct {
        std::string s;
        Int32 start, length;
        std::string out;
    } cases[] = {
        {"hello", 2, 3, "ell"},
        {"hello", 0, 2, "he"},
        {"hello", -9, 1, "h"},
        {"hello", 4, 10, "lo"},
        {"hello", 4, kMax, "lo"},
        {"hello", 6, 1, ""},
        {"hello", kMax, 1, ""},
        {"hello", 2, 0, ""},
        {"hello", 2, -1, ""},
        {"", 1, 1, ""},
        {"\xC3\xA4\xC3\xB6\xC3\xBC", 2, 1, "\xC3\xB6"},
        {"a\xFF"
         "b",
         2, 1, "\xFF"},
        {"\xE2\x82\xAC"
         "x",
         1, 1, "\xE2\x82\xAC"},
        {"\xE2\x82"
         "x",
         2, 2, "\x82x"},
    };
    for (const auto& c : cases) EXPECT_EQ(Mid(c.s, c.start, c.length), c.out) << c.s << " " << c.start;
    EXPECT_EQ(Mid("\xC3\xA4\xC3\xB6\xC3\xBC", 2), "\xC3\xB6\xC3\xBC");
    EXPECT_EQ(Mid("abc", 0), "abc");
    EXPECT_EQ(Mid("abc", 4), "");
}

TEST(MidText, ByteFormTakesBytes) {
    EXPECT_EQ(MidB("\xC3\xA4"
                   "b",
                   1, 2),
              "\xC3\xA4");
    EXPECT_EQ(MidB("\xC3\xA4"
                   "b",
                   2, 1),
              "\xA4");
    EXPECT_EQ(MidB("abc", 2, 5), "bc");
    EXPECT_EQ(MidB("abc", 0, 1), "a");
    EXPECT_EQ(MidB("abc", 4, 1), "");
    EXPECT_EQ(MidB("abc", 1, -1), "");
    EXPECT_EQ(MidB("abc", kMax, kMax), "");
}

TEST(LenText, CountsCodePointsAndInvalidBytes) {
    const struct {
        std::string s;
        Int32 len, lenB;
    } cases[] = {
        {"", 0, 0},
        {"abc", 3, 3},
        {"\xC3\xA4\xC3\xB6\xC3\xBC", 3, 6},
        {"\xE2\x82\xAC", 1, 3},
        {"\xF0\x9F\x98\x80", 1, 4},
        {"\xFF\xFE", 2, 2},
        {"\xE2\x82", 2, 2},          // truncated sequence
        {"\xC0\xAF", 2, 2},          // overlong form of "/"
        {"\xED\xA0\x80", 3, 3},      // a surrogate
        {"\xF4\x90\x80\x80", 4, 4},  // past U+10FFFF
        {"\x80"
         "a",
         2, 2},  // lone continuation byte
        {"a\0b"s, 3, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Len(c.s), c.len) << c.s;
        EXPECT_EQ(LenB(c.s), c.lenB) << c.s;
    }
}

TEST(NthFieldText, SplitsAtEverySeparator) {
    const struct {
        std::string s, separator;
        Int32 n;
        std::string out;
        // clang-format off
    } cases[] = {
        {"a b c", " ", 1, "a"},      {"a b c", " ", 3, "c"},     {"a b c", " ", 4, ""},
        {"a b c", " ", 0, ""},       {"a b c", " ", -1, ""},     {"a  b", " ", 2, ""},
        {"a  b", " ", 3, "b"},       {"font size=\"10\"", " ", 1, "font"},
        {"abc", " ", 1, "abc"},      {"abc", " ", 2, ""},        {"a::b::c", "::", 2, "b"},
        {"", " ", 1, ""},            {" a", " ", 1, ""},         {"abc", "", 1, "abc"},
        {"abc", "", 2, ""},          {"a b", " ", kMax, ""},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(NthField(c.s, c.separator, c.n), c.out) << "[" << c.s << "] " << c.n;
}

TEST(ReplaceText, ReplacesTheFirstOccurrenceOnly) {
    const struct {
        std::string s, find, replacement, out;
        // clang-format off
    } cases[] = {
        {"#FF00FF", "#", "", "FF00FF"}, {"a#b#c", "#", "-", "a-b#c"}, {"abc", "x", "y", "abc"},
        {"abc", "", "y", "abc"},       {"aaa", "a", "aa", "aaaa"},    {"", "a", "b", ""},
        {"abc", "abc", "", ""},        {"xABCabc", "abc", "!", "xABC!"},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(Replace(c.s, c.find, c.replacement), c.out) << c.s;
}

TEST(ChrText, EncodesOneCodePoint) {
    const struct {
        Int32 codePoint;
        std::string out;
    } cases[] = {
        {65, "A"},
        {0, "\0"s},
        {9, "\t"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0xE4, "\xC3\xA4"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {-1, ""},
        {0xD800, ""},
        {0xDFFF, ""},
        {0x110000, ""},
        {kMax, ""},
        {kMin, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Chr(c.codePoint), c.out) << c.codePoint;
        if (!c.out.empty()) {
            EXPECT_EQ(Len(c.out), 1);
        }
    }
}

TEST(StringEqualsText, IgnoresAsciiCaseOnly) {
    const struct {
        std::string a, b;
        bool equal;
        // clang-format off
    } cases[] = {
        {"abc", "ABC", true},   {"KivraPrefs", "kivraprefs", true}, {"abc", "abd", false},
        {"abc", "abcd", false}, {"", "", true},                      {"", "a", false},
        {"[", "{", false},      {"@", "`", false},                   {"^", "~", false},
        {"\xC3\x84", "\xC3\xA4", false}, {"\xC3\xA4", "\xC3\xA4", true},
        {"a\0b"s, "A\0B"s, true},        {"a\0b"s, "a\0c"s, false},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(StringEquals(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

}  // namespace
}  // namespace kivra::framework
