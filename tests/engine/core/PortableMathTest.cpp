#include "core/PortableMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace portable = vexa::portable;
using vexa::portable::BitsOf;
using vexa::portable::FloatFromBits;

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// How far a float lies from the C library's double result, in units of the float's last place
// there: the double result is accurate far below a float's rounding.
double ulpsFrom(float value, double reference) {
    const float rounded = std::fabs(static_cast<float>(reference));
    const double ulp = static_cast<double>(std::nextafter(rounded, kInfinity)) - rounded;
    return std::fabs(value - reference) / ulp;
}

// How far the C libraries' sin and cos may themselves stray, in float ulps.
constexpr double kLibraryUlps = 2.5;

// Floats spread evenly by bit pattern over every finite magnitude, both signs.
template <typename Check>
void forFloatsAcrossTheRange(Check check) {
    for (std::uint32_t bits = 0; bits < 0x7f800000u; bits += 0x7f800000u / 20000) {
        check(FloatFromBits(bits));
        check(-FloatFromBits(bits));
    }
}

}  // namespace

TEST(PortableMath, SinAndCosAreWithinOneUlpOfTheCLibraryForEveryMagnitude) {
    const auto check = [](float x) {
        float s;
        float c;
        portable::SinCos(x, s, c);
        // Beyond 2^32 some C libraries (MinGW's) reduce the angle with too few bits of pi to
        // serve as a reference; there the identity checks, and the fixed bits below pin it.
        if (std::fabs(x) >= 0x1p32f) {
            ASSERT_NEAR(static_cast<double>(s) * s + static_cast<double>(c) * c, 1.0, 0x1p-22);
        } else {
            // MinGW's own sin and cos stray up to two float ulps from the true value.
            ASSERT_LE(ulpsFrom(s, std::sin(static_cast<double>(x))), kLibraryUlps) << "sin " << x;
            ASSERT_LE(ulpsFrom(c, std::cos(static_cast<double>(x))), kLibraryUlps) << "cos " << x;
        }
        ASSERT_EQ(BitsOf(portable::Sin(x)), BitsOf(s)) << x;
        ASSERT_EQ(BitsOf(portable::Cos(x)), BitsOf(c)) << x;
    };
    forFloatsAcrossTheRange(check);
    // The angles a game turns through, densely.
    for (float x = -20.0f; x < 20.0f; x += 0.000731f) check(x);
}

TEST(PortableMath, SinAndCosOfZerosInfinitiesAndNaN) {
    EXPECT_EQ(BitsOf(portable::Sin(0.0f)), BitsOf(0.0f));
    EXPECT_EQ(BitsOf(portable::Sin(-0.0f)), BitsOf(-0.0f));
    EXPECT_EQ(portable::Cos(-0.0f), 1.0f);
    for (const float x : {kInfinity, -kInfinity, kNaN}) {
        float s;
        float c;
        portable::SinCos(x, s, c);
        EXPECT_TRUE(std::isnan(portable::Sin(x)) && std::isnan(portable::Cos(x)));
        EXPECT_TRUE(std::isnan(s) && std::isnan(c));
    }
}

TEST(PortableMath, Atan2KeepsQuadrantsAxesSignedZerosAndInfinities) {
    const float values[] = {0.0f, -0.0f, 1e-30f, -3e-7f, 0.5f,      -1.0f,
                            2.0f, -7.5f, 640.0f, -1e20f, kInfinity, -kInfinity};
    for (const float y : values) {
        for (const float x : values) {
            const float expected = std::atan2(y, x);
            const float actual = portable::Atan2(y, x);
            // Exact cases (axes, zeros, infinities) keep the C library's exact answer and sign.
            if (expected == 0.0f || std::isinf(x) || std::isinf(y)) {
                EXPECT_EQ(BitsOf(actual), BitsOf(expected)) << y << ", " << x;
            }
            EXPECT_LE(ulpsFrom(actual, std::atan2(static_cast<double>(y), x)), 1.0)
                << y << ", " << x;
        }
    }
    EXPECT_TRUE(std::isnan(portable::Atan2(kNaN, 1.0f)));
    EXPECT_TRUE(std::isnan(portable::Atan2(1.0f, kNaN)));

    forFloatsAcrossTheRange([](float y) {
        for (const float x : {1.0f, -3.0f, 1e-20f, -4e25f}) {
            ASSERT_LE(ulpsFrom(portable::Atan2(y, x), std::atan2(static_cast<double>(y), x)), 1.0)
                << y << ", " << x;
        }
    });
}

TEST(PortableMath, PowIsWithinOneUlpForDampingOverAFrameAndKeepsSpecialCases) {
    for (float base = 0.0f; base <= 1.0f; base += 1.0f / 1024) {
        for (float dt = 0.0f; dt <= 0.25f; dt += 0.25f / 97) {
            ASSERT_LE(ulpsFrom(portable::Pow(base, dt), std::pow(static_cast<double>(base), dt)),
                      1.0)
                << base << " ^ " << dt;
        }
    }
    forFloatsAcrossTheRange([](float base) {
        for (const float exponent : {0.5f, -2.0f, 3.0f, 1.0f / 60, -0.3f, 25.0f}) {
            const float actual = portable::Pow(base, exponent);
            const double reference = std::pow(static_cast<double>(base), exponent);
            if (std::isnan(reference)) {
                ASSERT_TRUE(std::isnan(actual)) << base << " ^ " << exponent;
            } else if (std::fabs(reference) > std::numeric_limits<float>::max()) {
                ASSERT_EQ(actual, static_cast<float>(reference)) << base << " ^ " << exponent;
            } else {
                ASSERT_LE(ulpsFrom(actual, reference), 1.0) << base << " ^ " << exponent;
            }
        }
    });

    EXPECT_EQ(portable::Pow(kNaN, 0.0f), 1.0f);
    EXPECT_EQ(portable::Pow(1.0f, kNaN), 1.0f);
    EXPECT_EQ(portable::Pow(-1.0f, kInfinity), 1.0f);
    EXPECT_EQ(portable::Pow(0.5f, kInfinity), 0.0f);
    EXPECT_EQ(portable::Pow(0.5f, -kInfinity), kInfinity);
    EXPECT_EQ(BitsOf(portable::Pow(-0.0f, 3.0f)), BitsOf(-0.0f));
    EXPECT_EQ(portable::Pow(-0.0f, -3.0f), -kInfinity);
    EXPECT_EQ(portable::Pow(0.0f, -0.5f), kInfinity);
    EXPECT_EQ(portable::Pow(-kInfinity, 3.0f), -kInfinity);
    EXPECT_EQ(portable::Pow(-kInfinity, 0.5f), kInfinity);
    EXPECT_EQ(portable::Pow(-2.0f, 3.0f), -8.0f);
    EXPECT_TRUE(std::isnan(portable::Pow(-2.0f, 0.5f)));
    EXPECT_TRUE(std::isnan(portable::Pow(kNaN, 2.0f)));
}

// These bits were computed once and are each within one ulp of the C library; a platform or
// compiler that rounds any step differently fails here and would play a different game.
TEST(PortableMath, GivesTheSameBitsOnEveryPlatform) {
    struct Golden {
        char function;
        float a;
        float b;
        std::uint32_t bits;
    };
    const Golden goldens[] = {
        {'s', 0x1p-1f, 0.0f, 0x3EF57744},
        {'c', 0x1p-1f, 0.0f, 0x3F60A940},
        {'s', 0x1p+0f, 0.0f, 0x3F576AA4},
        {'c', 0x1p+0f, 0.0f, 0x3F0A5140},
        {'s', 0x1p+1f, 0.0f, 0x3F68C7B7},
        {'c', 0x1p+1f, 0.0f, 0xBED51133},
        {'s', 0x1.921fb6p+1f, 0.0f, 0xB3BBBD2E},
        {'c', 0x1.921fb6p+1f, 0.0f, 0xBF800000},
        {'s', 0x1.921fb6p+0f, 0.0f, 0x3F800000},
        {'c', 0x1.921fb6p+0f, 0.0f, 0xB33BBD2E},
        {'s', -0x1.4p+1f, 0.0f, 0xBF193578},
        {'c', -0x1.4p+1f, 0.0f, 0xBF4D17BF},
        {'s', 0x1.4p+3f, 0.0f, 0xBF0B44F8},
        {'c', 0x1.4p+3f, 0.0f, 0xBF56CD64},
        {'s', 0x1.9p+6f, 0.0f, 0xBF01A12E},
        {'c', 0x1.9p+6f, 0.0f, 0x3F5CC0EE},
        {'s', 0x1.f44p+9f, 0.0f, 0x3F7ECA46},
        {'c', 0x1.f44p+9f, 0.0f, 0x3DC6DFFC},
        {'s', 0x1.81cd6cp+13f, 0.0f, 0xBF344B08},
        {'c', 0x1.81cd6cp+13f, 0.0f, 0x3F35BE20},
        {'s', 0x1.e848p+19f, 0.0f, 0xBEB33259},
        {'c', 0x1.e848p+19f, 0.0f, 0x3F6FCEFD},
        {'s', 0x1.1e1a3p+28f, 0.0f, 0xBEE10CF7},
        {'c', 0x1.1e1a3p+28f, 0.0f, 0x3F65F18F},
        {'s', 0x1.2a05f2p+33f, 0.0f, 0xBEF99A64},
        {'c', 0x1.2a05f2p+33f, 0.0f, 0x3F5F84C5},
        {'s', -0x1.93e594p+99f, 0.0f, 0x3F4A89B0},
        {'c', -0x1.93e594p+99f, 0.0f, 0xBF1C9222},
        {'s', 0x1.ff933cp+127f, 0.0f, 0xBE79F163},
        {'c', 0x1.ff933cp+127f, 0.0f, 0x3F7841CA},
        {'s', 0x1.0624dep-10f, 0.0f, 0x3A83126E},
        {'c', 0x1.0624dep-10f, 0.0f, 0x3F7FFFF8},
        {'s', -0x1.d33334p+2f, 0.0f, 0xBF59B639},
        {'c', -0x1.d33334p+2f, 0.0f, 0x3F06AD01},
        {'s', 0x1.921fb6p-1f, 0.0f, 0x3F3504F3},
        {'c', 0x1.921fb6p-1f, 0.0f, 0x3F3504F3},
        {'s', 0x1.6p+2f, 0.0f, 0xBF349E4A},
        {'c', 0x1.6p+2f, 0.0f, 0x3F356B62},
        {'s', 0x1.6p+4f, 0.0f, 0xBC110515},
        {'c', 0x1.6p+4f, 0.0f, 0xBF7FFD6F},
        {'a', 0x1p+0f, 0x1p+0f, 0x3F490FDB},
        {'a', 0x1p+0f, -0x1p+0f, 0x4016CBE4},
        {'a', -0x1p+0f, -0x1p+0f, 0xC016CBE4},
        {'a', -0x1p+0f, 0x1p+0f, 0xBF490FDB},
        {'a', 0x1.8p+1f, 0x1p+2f, 0x3F24BC7D},
        {'a', -0x1.333334p-2f, 0x1.4p+2f, 0xBD75773A},
        {'a', 0x1.4p+2f, 0x1.333334p-2f, 0x3FC16421},
        {'a', 0x1.0624dep-10f, -0x1.9p+9f, 0x40490FD5},
        {'a', 0x1.2cp+9f, 0x1.9p+9f, 0x3F24BC7D},
        {'a', -0x1.c2p+8f, -0x1p+1f, 0xBFC9A17D},
        {'a', 0x1p-2f, -0x1.8p-1f, 0x4034784B},
        {'a', -0x1.cp+2f, 0x1.0c6f7ap-20f, 0xBFC90FD9},
        {'p', 0x1.ccccccp-1f, 0x1.111112p-6f, 0x3F7F8D05},
        {'p', 0x1p-1f, 0x1.111112p-6f, 0x3F7D0F41},
        {'p', 0x1.f5c29p-1f, 0x1.c71c72p-8f, 0x3F7FF6CE},
        {'p', 0x1.99999ap-4f, 0x1p-2f, 0x3F0FF59A},
        {'p', 0x1.ff7ceep-1f, 0x1.0ff972p-6f, 0x3F7FFEE9},
        {'p', 0x1.666666p-1f, 0x1.0624dep-8f, 0x3F7FA291},
        {'p', 0x1.47ae14p-7f, 0x1p-2f, 0x3EA1E89B},
        {'p', 0x1.333334p-2f, 0x1.111112p-5f, 0x3F75EDF5},
        {'p', 0x1.e66666p-1f, 0x1.99999ap-3f, 0x3F7D6320},
        {'p', 0x1.4p+1f, -0x1.cp+1f, 0x3D25CB5F},
    };
    for (const Golden& golden : goldens) {
        float result = kNaN;
        switch (golden.function) {
        case 's':
            result = portable::Sin(golden.a);
            break;
        case 'c':
            result = portable::Cos(golden.a);
            break;
        case 'a':
            result = portable::Atan2(golden.a, golden.b);
            break;
        case 'p':
            result = portable::Pow(golden.a, golden.b);
            break;
        }
        EXPECT_EQ(BitsOf(result), golden.bits)
            << golden.function << "(" << golden.a << ", " << golden.b << ") = " << result;
    }
}
