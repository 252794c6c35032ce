#include <gtest/gtest.h>

#include "clock/FaceGeometry.h"

namespace kivra {
namespace {

TEST(FaceGeometry, BaseUnitIsTheLimitingSide) {
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(510, 150, 0), 10.0);
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(1000, 150, 2), 10.0);
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(510, 1000, 0), 10.0);
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(150, 510, 1), 10.0);
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(150, 510, 3), 10.0);
    // A rotation from a hand-edited file is measured as vertical.
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(150, 510, 7), 10.0);
    EXPECT_DOUBLE_EQ(FaceGeometry::BaseUnit(510, 150, -1), 150 / 51.0);
}

TEST(FaceGeometry, RoundingGivesWholeSidesWhereTruncationWouldNot) {
    // 15.0 * (123 / 15.0) is a hair below 123 in Double.
    const double u = FaceGeometry::BaseUnit(1000, 123, 0);
    EXPECT_LT(15.0 * u, 123.0);
    EXPECT_EQ(framework::ToInt32(15.0 * u), 123);
    EXPECT_EQ(FaceGeometry::SquareSide(1.0), 3);
    EXPECT_EQ(FaceGeometry::SquareOval(1.0), 1);  // 0.6 rounds up
    EXPECT_EQ(FaceGeometry::SquareOval(10.0), 6);
}

TEST(FaceGeometry, ProportionBoundIsExclusiveAbove) {
    struct Case {
        int w, h, dir;
        bool off;
    };
    const Case cases[] = {
        {510, 150, 0, false}, {357, 100, 0, true},  {323, 100, 2, false}, {322, 100, 0, true},
        {100, 357, 1, true},  {100, 323, 3, false}, {1000, 150, 0, true}, {150, 510, 9, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " dir " << c.dir);
        EXPECT_EQ(FaceGeometry::IsOffProportion(c.w, c.h, c.dir), c.off);
    }
}

}  // namespace
}  // namespace kivra
