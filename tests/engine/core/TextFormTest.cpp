#include "core/TextForm.h"

#include "ReferenceTextForm.h"
#include "core/Color.h"
#include "core/Vector2.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

using vexa::Color;
using vexa::Vector2;
using vexa::textform::Field;
namespace reference = testing_support::reference;

namespace {

// Fields where strtof, strtol and from_chars part ways unless told exactly
// what the throwing conversions take.
const std::vector<std::string> kFields = {
    "",
    " ",
    "1",
    "-1",
    "+1",
    "+-1",
    "-+1",
    "+ 1",
    "- 1",
    "--1",
    "++1",
    "+",
    "-",
    " \t\n\v\f\r7",
    "\xA0"
    "7",
    "007",
    "-0",
    "1.5",
    ".5",
    "5.",
    "-.5e1",
    "1e",
    "1e+",
    "1e-40",
    "1e-50",
    "-1e-46",
    "1e38",
    "3.5e38",
    "1e39",
    "-1e39",
    "1e999",
    "0x10",
    "0x1p3",
    "0x",
    "inf",
    "-INF",
    "infinity",
    "nan",
    "NaN(123)",
    "nan(",
    "2147483647",
    "2147483648",
    "-2147483648",
    "-2147483649",
    "99999999999999999999",
    "12abc",
    "abc12",
    "1,2",
    "1}",
    "3 4",
    std::string("5\0"
                "6",
                3),
    std::string("\0"
                "6",
                2),
    "\xEF\xBB\xBF"
    "5",
    "\r",
};

// Lines of both forms, including the ones with marks missing or reversed.
const std::vector<std::string> kLines = {
    "{1.5,-2}",
    "   {  3 ,  4 }  ",
    "1.5",
    "{7, 8",
    "{abc,1}",
    "{1 2}",
    "",
    "{1e999, 0}",
    "{1, 0.5, 0}",
    "0.5, 1, 1}",
    "{0.1, 0.2, 0.3, 0.4}",
    "{1, x, 0}",
    "}1,{2",
    ",,,",
    "{1,2,3}\r",
    "{nan, inf}",
    "{-inf, nan, 1e-50}",
    "{0.5 0.5 0.5}",
    "2, 3}",
    "{4,",
    "{1,}",
    "{,1}",
    "{1e-45, +2, -3}",
    std::string("{1,\0"
                "2}",
                6),
};

}  // namespace

TEST(TextForm, NumbersReadExactlyAsTheThrowingConversionsReadThem) {
    for (const std::string& field : kFields) {
        float value = -7.0f;
        float expected = -7.0f;
        EXPECT_EQ(vexa::textform::ReadFloat(field, value), reference::ReadFloat(field, expected))
            << "float from \"" << field << "\"";
        EXPECT_TRUE(reference::Same(value, expected)) << "float from \"" << field << "\"";

        int count = -7;
        int expectedCount = -7;
        EXPECT_EQ(vexa::textform::ReadInt(field, count), reference::ReadInt(field, expectedCount))
            << "int from \"" << field << "\"";
        EXPECT_EQ(count, expectedCount) << "int from \"" << field << "\"";
    }
}

TEST(TextForm, LinesReadExactlyAsTheThrowingConversionsReadThem) {
    for (const std::string& line : kLines) {
        Vector2 point(-7.0f, -7.0f);
        Vector2 expectedPoint(-7.0f, -7.0f);
        EXPECT_EQ(vexa::textform::Read(line, point), reference::Read(line, expectedPoint))
            << "\"" << line << "\"";
        EXPECT_TRUE(reference::Same(point, expectedPoint)) << "\"" << line << "\"";

        Color color(-7.0f, -7.0f, -7.0f, -7.0f);
        Color expectedColor(-7.0f, -7.0f, -7.0f, -7.0f);
        EXPECT_EQ(vexa::textform::Read(line, color), reference::Read(line, expectedColor))
            << "\"" << line << "\"";
        EXPECT_TRUE(reference::Same(color, expectedColor)) << "\"" << line << "\"";
    }
}

TEST(TextForm, ReadersLeaveTheCallersErrnoAsItWas) {
    float value = 0.0f;
    int count = 0;
    errno = EINTR;
    EXPECT_EQ(vexa::textform::ReadFloat("1e999", value), Field::OutOfRange);
    EXPECT_EQ(vexa::textform::ReadInt("99999999999", count), Field::OutOfRange);
    EXPECT_EQ(vexa::textform::ReadFloat("2.5", value), Field::Number);
    EXPECT_EQ(errno, EINTR);
    errno = 0;
    EXPECT_EQ(vexa::textform::ReadFloat("1e999", value), Field::OutOfRange);
    EXPECT_EQ(errno, 0);
}
