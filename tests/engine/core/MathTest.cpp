#include "core/Color.h"
#include "core/Transform.h"
#include "core/Vector2.h"

#include "Printers.h"

#include <gtest/gtest.h>

#include <limits>

#include <sstream>
#include <stdexcept>

using vexa::Clamp;
using vexa::Color;
using vexa::Vector2;

namespace {

Vector2 readVector(const std::string& line) {
    std::istringstream stream(line);
    Vector2 v;
    stream >> v;
    return v;
}

Color readColor(const std::string& line) {
    std::istringstream stream(line);
    Color c;
    stream >> c;
    return c;
}

}  // namespace

TEST(Vector2, LengthDistanceAndArithmetic) {
    EXPECT_FLOAT_EQ(Vector2(3, 4).Length(), 5.0f);
    EXPECT_FLOAT_EQ(Vector2(3, 4).LengthSqr(), 25.0f);
    EXPECT_FLOAT_EQ(Vector2::Distance(Vector2(1, 1), Vector2(4, 5)), 5.0f);

    const Vector2 doubled = Vector2(2, 3) * 2.0f;
    EXPECT_FLOAT_EQ(doubled.x, 4.0f);
    EXPECT_FLOAT_EQ(doubled.y, 6.0f);

    Vector2 halved(2, 3);
    halved *= Vector2(0.5f);
    EXPECT_FLOAT_EQ(halved.x, 1.0f);
    EXPECT_FLOAT_EQ(halved.y, 1.5f);

    Vector2 sum(1, 2);
    sum += Vector2(10, 20);
    const Vector2 difference = sum - Vector2(1, 1);
    EXPECT_FLOAT_EQ(difference.x, 10.0f);
    EXPECT_FLOAT_EQ(difference.y, 21.0f);
}

TEST(Vector2, PositiveAnglesTurnClockwiseOnScreen) {
    const Vector2 down = Vector2(1, 0).Rotate(vexa::kHalfPi);
    EXPECT_NEAR(down.x, 0.0f, 1e-6f);
    EXPECT_NEAR(down.y, 1.0f, 1e-6f);

    EXPECT_FLOAT_EQ(Vector2(0, 1).Angle(), vexa::kHalfPi);
    EXPECT_FLOAT_EQ(Vector2(-1, 0).Angle(), vexa::kPi);
    EXPECT_FLOAT_EQ(Vector2(0, 0).Angle(), 0.0f);

    // Angle gives back the angle a unit vector was rotated by.
    EXPECT_NEAR(Vector2(1, 0).Rotate(0.7f).Angle(), 0.7f, 1e-6f);
}

TEST(Vector2, ReadsItsTextForm) {
    Vector2 v = readVector("{1.5,-2}");
    EXPECT_FLOAT_EQ(v.x, 1.5f);
    EXPECT_FLOAT_EQ(v.y, -2.0f);

    v = readVector("   {  3 ,  4 }  ");
    EXPECT_FLOAT_EQ(v.x, 3.0f);
    EXPECT_FLOAT_EQ(v.y, 4.0f);

    // No braces and no comma: both numbers come from the start of the line.
    v = readVector("1.5");
    EXPECT_FLOAT_EQ(v.x, 1.5f);
    EXPECT_FLOAT_EQ(v.y, 1.5f);

    // A missing closing brace lets the last number run to the end of the line.
    v = readVector("{7, 8");
    EXPECT_FLOAT_EQ(v.y, 8.0f);
}

TEST(Vector2, FieldWithoutANumberReachesTheCaller) {
    EXPECT_THROW(readVector("{abc,1}"), std::invalid_argument);
    // A "{" but no ",": the y text starts at the "{".
    EXPECT_THROW(readVector("{1 2}"), std::invalid_argument);
    EXPECT_THROW(readVector(""), std::invalid_argument);
    EXPECT_THROW(readVector("{1e999, 0}"), std::out_of_range);
}

TEST(Color, ReadsItsTextFormAsOpaque) {
    Color c = readColor("{1, 0.5, 0}");
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_FLOAT_EQ(c.g, 0.5f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);
    EXPECT_FLOAT_EQ(c.a, 1.0f);

    c = readColor("0.5, 1, 1}");
    EXPECT_FLOAT_EQ(c.r, 0.5f);
    EXPECT_FLOAT_EQ(c.g, 1.0f);
    EXPECT_FLOAT_EQ(c.b, 1.0f);

    // A fourth value is ignored; alpha is always 1.
    c = readColor("{0.1, 0.2, 0.3, 0.4}");
    EXPECT_FLOAT_EQ(c.b, 0.3f);
    EXPECT_FLOAT_EQ(c.a, 1.0f);

    // Values outside 0..1 are kept as read.
    EXPECT_FLOAT_EQ(readColor("{1.2, 0, -1}").r, 1.2f);

    EXPECT_THROW(readColor("{1, x, 0}"), std::invalid_argument);
    EXPECT_THROW(readColor(""), std::invalid_argument);
}

TEST(Color, ClampAndToInt) {
    EXPECT_FLOAT_EQ(Clamp(5, 10, 0), 5.0f);
    EXPECT_FLOAT_EQ(Clamp(15, 10, 0), 10.0f);
    EXPECT_FLOAT_EQ(Clamp(-1, 0, 1), 0.0f);
    EXPECT_FLOAT_EQ(Clamp(-1, 1, 0), 0.0f);

    EXPECT_EQ(Color::ToInt(1.5f), 255);
    EXPECT_EQ(Color::ToInt(1.0f), 255);
    EXPECT_EQ(Color::ToInt(0.5f), 127);
    EXPECT_EQ(Color::ToInt(0.999f), 254);
    EXPECT_EQ(Color::ToInt(-0.2f), 0);

    // Every float gives a byte: NaN has no order, so it must not reach the cast.
    EXPECT_EQ(Color::ToInt(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(Color::ToInt(-std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(Color::ToInt(std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(Color::ToInt(-std::numeric_limits<float>::infinity()), 0);
}
