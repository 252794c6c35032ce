#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <set>
#include <vector>

#include "framework/files/FileType.h"
#include "framework/testing/Testing.h"
#include "framework/values/Color.h"
#include "framework/values/Date.h"
#include "framework/values/Dictionary.h"
#include "framework/values/KeyNotFoundException.h"
#include "framework/values/Random.h"
#include "framework/values/Types.h"
#include "framework/values/Variant.h"

namespace kivra::framework {
namespace {

constexpr Int32 kMax = std::numeric_limits<Int32>::max();
constexpr Int32 kMin = std::numeric_limits<Int32>::min();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ToInt32, RoundsHalvesAwayFromZeroAndSaturates) {
    const struct {
        double in;
        Int32 out;
    } cases[] = {
        {0.0, 0},
        {-0.0, 0},
        {0.4, 0},
        {0.49999999999999994, 0},
        {0.5, 1},
        {-0.5, -1},
        {1.5, 2},
        {2.5, 3},
        {-2.5, -3},
        {-1.4, -1},
        {2147483646.4, 2147483646},
        {2147483646.5, kMax},
        {2147483647.0, kMax},
        {2147483647.6, kMax},
        {2147483648.0, kMax},
        {1e300, kMax},
        {kInf, kMax},
        {-2147483647.5, kMin},
        {-2147483648.0, kMin},
        {-2147483648.6, kMin},
        {-1e300, kMin},
        {-kInf, kMin},
        {std::numeric_limits<double>::quiet_NaN(), 0},
        {std::numeric_limits<double>::denorm_min(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ToInt32(c.in), c.out) << c.in;
}

TEST(ColorValues, RGBClampsEachChannel) {
    EXPECT_EQ(RGB(1, 2, 3).Integer(), 0x010203u);
    EXPECT_EQ(RGB(-5, 300, 128).Integer(), 0x00FF80u);
    EXPECT_EQ(RGB(kMin, kMax, 0).Integer(), 0x00FF00u);
    EXPECT_EQ(Color(0xFF123456u).Integer(), 0x123456u);
}

TEST(ColorValues, HSVGivesEightBitChannels) {
    const struct {
        double h, s, v;
        std::uint32_t rgb;
        // clang-format off
    } cases[] = {
        {0, 0, 0, 0x000000},        {0, 0, 1, 0xFFFFFF},           {0, 0, 0.5, 0x808080},
        {0, 1, 1, 0xFF0000},        {1.0 / 3, 1, 1, 0x00FF00},     {2.0 / 3, 1, 1, 0x0000FF},
        {1, 1, 1, 0xFF0000},        {1.0 / 6, 1, 1, 0xFFFF00},     {5.0 / 6, 1, 1, 0xFF00FF},
        {0, 0, 0.56, 0x8F8F8F},     {2, -1, 5, 0xFFFFFF},          {-1, 2, 1, 0xFF0000},
        {NAN, NAN, NAN, 0x000000},  {0.5, 0.5, 0.5, 0x408080},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(HSV(c.h, c.s, c.v).Integer(), c.rgb) << c.h << " " << c.s << " " << c.v;
}

TEST(ColorValues, HueSaturationValueReaders) {
    const struct {
        std::uint32_t rgb;
        double h, s, v;
    } cases[] = {
        {0x000000, 0, 0, 0},           {0xFFFFFF, 0, 0, 1},
        {0x7F7F7F, 0, 0, 127.0 / 255}, {0xFF0000, 0, 1, 1},
        {0x00FF00, 1.0 / 3, 1, 1},     {0x0000FF, 2.0 / 3, 1, 1},
        {0xFF00FF, 5.0 / 6, 1, 1},     {0xFF0080, 1 - 128.0 / 255 / 6, 1, 1},
        {0x0055FF, 11.0 / 18, 1, 1},   {0x804040, 0, 0.5, 128.0 / 255},
    };
    for (const auto& c : cases) {
        const Color color(c.rgb);
        EXPECT_NEAR(color.Hue(), c.h, 1e-12) << std::hex << c.rgb;
        EXPECT_NEAR(color.Saturation(), c.s, 1e-12) << std::hex << c.rgb;
        EXPECT_NEAR(color.Value(), c.v, 1e-12) << std::hex << c.rgb;
        EXPECT_LT(color.Hue(), 1.0);
    }
}

// Darkening in the colour well reads a colour's HSV and builds it again: that
// must give back the same 8-bit colour.
TEST(ColorValues, HSVReadersRoundTripThroughHSV) {
    for (std::uint32_t rgb = 0; rgb <= 0xFFFFFF; rgb += 997) {
        const Color c(rgb);
        ASSERT_EQ(HSV(c.Hue(), c.Saturation(), c.Value()).Integer(), rgb) << std::hex << rgb;
    }
}

TEST(VariantValues, KindsAndTextForms) {
    const struct {
        Variant value;
        Variant::Kind kind;
        const char* text;
    } cases[] = {
        {Variant(), Variant::Kind::Nil, ""},
        {Int32ToVariant(-5), Variant::Kind::Int32, "-5"},
        {Int32ToVariant(kMin), Variant::Kind::Int32, "-2147483648"},
        {BooleanToVariant(true), Variant::Kind::Boolean, "True"},
        {BooleanToVariant(false), Variant::Kind::Boolean, "False"},
        {ColorToVariant(Color(0x0055FF)), Variant::Kind::Color, "&h000055FF"},
        {ColorToVariant(Color(0xFFFFFF)), Variant::Kind::Color, "&h00FFFFFF"},
        {StringToVariant("a<b>&c"), Variant::Kind::String, "a<b>&c"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.Type(), c.kind) << c.text;
        EXPECT_EQ(VariantToString(c.value), c.text);
    }
}

// Settings are stored as text and read back as Strings: each text must give the value back.
TEST(VariantValues, TextRoundTripsThroughItsOwnConversion) {
    for (const Int32 v : {kMin, kMax, 0, -1, 1, 42, -123456}) {
        const Variant text = StringToVariant(VariantToString(Int32ToVariant(v)));
        EXPECT_EQ(VariantToInt32(text), v);
    }
    for (const bool v : {true, false}) {
        const Variant text = StringToVariant(VariantToString(BooleanToVariant(v)));
        EXPECT_EQ(VariantToBoolean(text), v);
    }
    for (const std::uint32_t v : {0x000000u, 0xFFFFFFu, 0x0055FFu, 0x7F7F7Fu, 0x800000u, 0x000001u}) {
        const Variant text = StringToVariant(VariantToString(ColorToVariant(Color(v))));
        EXPECT_EQ(VariantToColor(text).Integer(), v);
    }
}

TEST(VariantValues, StringsToInt32) {
    const struct {
        const char* text;
        Int32 out;
        // clang-format off
    } cases[] = {
        {"", 0},           {"abc", 0},          {"  7", 7},
        {"12.5", 13},      {"-12.5", -13},      {"&hFF", 255},
        {"&h7FFFFFFF", kMax}, {"&hFFFFFFFF", kMax}, {"99999999999", kMax},
        {"-99999999999", kMin}, {"1e400", kMax}, {"3 apples", 3},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(VariantToInt32(StringToVariant(c.text)), c.out) << c.text;
}

TEST(VariantValues, StringsToBoolean) {
    const struct {
        const char* text;
        bool out;
        // clang-format off
    } cases[] = {
        {"True", true},  {"true", true},   {" TRUE \t", true}, {"\ntrue\n", true}, {"False", false},
        {"false", false}, {" FALSE ", false}, {"1", true},     {"-1", true},       {"2.5", true},
        {"&h1", true},   {"0", false},     {"0.0", false},     {"", false},        {"yes", false},
        {"Truex", false}, {"T rue", false},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(VariantToBoolean(StringToVariant(c.text)), c.out) << c.text;
}

TEST(VariantValues, StringsToColor) {
    const struct {
        std::string text;
        std::uint32_t out;
    } cases[] = {
        {"&h00FF0000", 0xFF0000},
        {"&hFF0055FF", 0x0055FF},
        {"&h1FFFFFFFF", 0xFFFFFF},
        {"255", 0x0000FF},
        {"-1", 0xFFFFFF},
        {"16777216", 0x000000},
        {"16777217.4", 0x000001},
        {"abc", 0x000000},
        {"", 0x000000},
        {"&h" + std::string(300, 'F'), 0x000000},
        {"1e400", 0x000000},
    };
    for (const auto& c : cases) EXPECT_EQ(VariantToColor(StringToVariant(c.text)).Integer(), c.out) << c.text;
}

TEST(VariantValues, ConversionsBetweenKinds) {
    EXPECT_EQ(VariantToColor(Int32ToVariant(-1)).Integer(), 0xFFFFFFu);
    EXPECT_EQ(VariantToColor(Int32ToVariant(0x12345678)).Integer(), 0x345678u);
    EXPECT_EQ(VariantToInt32(ColorToVariant(Color(0x0055FF))), 0x0055FF);
    EXPECT_EQ(VariantToInt32(BooleanToVariant(true)), 1);
    EXPECT_EQ(VariantToInt32(BooleanToVariant(false)), 0);
    EXPECT_TRUE(VariantToBoolean(Int32ToVariant(-3)));
    EXPECT_FALSE(VariantToBoolean(Int32ToVariant(0)));
    EXPECT_EQ(VariantToInt32(Variant()), 0);
    EXPECT_FALSE(VariantToBoolean(Variant()));
    EXPECT_EQ(VariantToColor(Variant()).Integer(), 0u);
}

TEST(VariantValues, EqualityNeedsSameKindAndValue) {
    EXPECT_EQ(StringToVariant("a"), StringToVariant("a"));
    EXPECT_FALSE(StringToVariant("a") == StringToVariant("A"));
    EXPECT_FALSE(Int32ToVariant(1) == StringToVariant("1"));
    EXPECT_FALSE(Int32ToVariant(1) == BooleanToVariant(true));
    EXPECT_FALSE(Int32ToVariant(1) == ColorToVariant(Color(1)));
    EXPECT_EQ(Variant(), Variant());
}

TEST(DictionaryValues, ListsKeysInFirstStoredOrderAndReplacesInPlace) {
    Dictionary d;
    d.Value(StringToVariant("b"), Int32ToVariant(1));
    d.Value(StringToVariant("a"), Int32ToVariant(2));
    d.Value(StringToVariant("c"), Int32ToVariant(3));
    d.Value(StringToVariant("a"), StringToVariant("two"));
    ASSERT_EQ(d.Count(), 3);
    const std::vector<Variant> keys = {StringToVariant("b"), StringToVariant("a"), StringToVariant("c")};
    const std::vector<Variant> values = {Int32ToVariant(1), StringToVariant("two"), Int32ToVariant(3)};
    EXPECT_EQ(d.Keys(), keys);
    EXPECT_EQ(d.Values(), values);
    EXPECT_EQ(d.Value(StringToVariant("a")), StringToVariant("two"));
}

TEST(DictionaryValues, KeysAreKindAndValueWithExactStrings) {
    Dictionary d;
    const Variant keys[] = {
        Int32ToVariant(1),      StringToVariant("1"),   BooleanToVariant(true), ColorToVariant(Color(1)),
        StringToVariant("Key"), StringToVariant("key"), StringToVariant(""),    Variant(),
        Int32ToVariant(kMin)};
    Int32 n = 0;
    for (const auto& k : keys) d.Value(k, Int32ToVariant(n++));
    EXPECT_EQ(d.Count(), n);
    n = 0;
    for (const auto& k : keys) {
        EXPECT_TRUE(d.HasKey(k));
        EXPECT_EQ(d.Value(k), Int32ToVariant(n++));
    }
    EXPECT_FALSE(d.HasKey(StringToVariant("KEY")));
    EXPECT_FALSE(d.HasKey(Int32ToVariant(2)));
    EXPECT_FALSE(d.HasKey(BooleanToVariant(false)));
}

TEST(DictionaryValues, MissingKeyRaisesKeyNotFound) {
    Dictionary d;
    d.Value(StringToVariant("present"), Int32ToVariant(1));
    EXPECT_THROW(d.Value(StringToVariant("absent")), KeyNotFoundException);
    try {
        d.Value(Int32ToVariant(1));
        ADD_FAILURE() << "no exception";
    } catch (const RuntimeException&) {
    }
}

class ClockSeam : public ::testing::Test {
protected:
    void TearDown() override { testing::ResetSeams(); }
};

TEST_F(ClockSeam, DateReadsTheFixedTime) {
    testing::SetTime({2031, 12, 24, 23, 59, 58});
    const Date d;
    EXPECT_EQ(d.Year(), 2031);
    EXPECT_EQ(d.Month(), 12);
    EXPECT_EQ(d.Day(), 24);
    EXPECT_EQ(d.Hour(), 23);
    EXPECT_EQ(d.Minute(), 59);
    EXPECT_EQ(d.Second(), 58);
}

TEST_F(ClockSeam, DateAsksTheClockEachTime) {
    Int32 second = 0;
    testing::SetClock([&second] { return testing::LocalTime{2026, 1, 1, 12, 0, second++}; });
    EXPECT_EQ(Date().Second(), 0);
    EXPECT_EQ(Date().Second(), 1);
}

TEST_F(ClockSeam, ResetGoesBackToTheLocalTime) {
    testing::SetTime({1999, 1, 1, 0, 0, 0});
    testing::ResetClock();
    const auto localDate = [] {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        return New<Date>(t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    };
    const auto before = localDate();
    const Date now;
    const auto after = localDate();
    EXPECT_GE(now.Operator_Compare(before), 0);
    EXPECT_LE(now.Operator_Compare(after), 0);
}

TEST(DateValues, CompareOrdersByEachField) {
    const Date d(2026, 5, 10, 12, 30, 30);
    const struct {
        Date other;
        Int32 sign;
        // clang-format off
    } cases[] = {
        {Date(2026, 5, 10, 12, 30, 30), 0},  {Date(2027, 1, 1, 0, 0, 0), -1}, {Date(2025, 12, 31, 23, 59, 59), 1},
        {Date(2026, 6, 1, 0, 0, 0), -1},     {Date(2026, 5, 9, 23, 0, 0), 1}, {Date(2026, 5, 10, 13, 0, 0), -1},
        {Date(2026, 5, 10, 12, 29, 59), 1},  {Date(2026, 5, 10, 12, 30, 31), -1},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Int32 r = d.Operator_Compare(New<Date>(c.other));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.other.Year() << "-" << c.other.Month() << "-" << c.other.Day();
    }
    EXPECT_GT(d.Operator_Compare(nullptr), 0);
}

class RandomSeam : public ::testing::Test {
protected:
    void TearDown() override { testing::ResetSeams(); }
};

TEST_F(RandomSeam, SameSeedSameSequence) {
    testing::SetRandomSeed(1234);
    Random a, b;
    for (int i = 0; i < 100; ++i) ASSERT_EQ(a.InRange(0, 1000000), b.InRange(0, 1000000));
}

TEST_F(RandomSeam, InRangeIsInclusiveAndUnbiased) {
    testing::SetRandomSeed(7);
    Random r;
    std::vector<int> counts(3);
    for (int i = 0; i < 30000; ++i) {
        const Int32 v = r.InRange(3, 5);
        ASSERT_GE(v, 3);
        ASSERT_LE(v, 5);
        ++counts[static_cast<std::size_t>(v - 3)];
    }
    for (const int c : counts) EXPECT_NEAR(c, 10000, 500);
}

TEST_F(RandomSeam, DegenerateAndExtremeRanges) {
    testing::SetRandomSeed(99);
    Random r;
    EXPECT_EQ(r.InRange(4, 4), 4);
    EXPECT_EQ(r.InRange(5, 2), 5);
    EXPECT_EQ(r.InRange(kMax, kMin), kMax);
    std::set<Int32> seen;
    for (int i = 0; i < 200; ++i) seen.insert(r.InRange(kMin, kMax));
    EXPECT_GT(seen.size(), 190u);
    for (int i = 0; i < 50; ++i) EXPECT_GE(r.InRange(kMax - 1, kMax), kMax - 1);
}

TEST(FileTypeValues, ToStringRegistersAndGivesTheName) {
    FileType t;
    t.Name("kivra-test-text");
    t.MacType("TEXT");
    t.MacCreator("R*ch");
    EXPECT_FALSE(t.IsRegistered());
    EXPECT_EQ(t.ToString(), "kivra-test-text");
    EXPECT_TRUE(t.IsRegistered());
    t.MacCreator("????");
    EXPECT_FALSE(t.IsRegistered());
}

}  // namespace
}  // namespace kivra::framework
