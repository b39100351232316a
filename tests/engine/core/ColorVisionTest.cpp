#include "core/ColorVision.h"

#include <gtest/gtest.h>

using vexa::Color;
using vexa::ColorDifference;
using vexa::ColorVision;

TEST(ColorVision, Ciede2000MatchesSharmaWuDalalsPublishedPairs) {
    // L1, a1, b1, L2, a2, b2, ΔE00 from their table: the hue wrap near 180°,
    // the mean hue across 0°/360°, the 275° blue term and a dark pair.
    const double pairs[][7] = {{50.0, 2.6772, -79.7751, 50.0, 0.0, -82.7485, 2.0425},
                               {50.0, 2.4900, -0.0010, 50.0, -2.4900, 0.0011, 7.2195},
                               {50.0, -0.0010, 2.4900, 50.0, 0.0009, -2.4900, 4.8045},
                               {50.0, 2.5, 0.0, 73.0, 25.0, -18.0, 27.1492},
                               {50.0, 2.5, 0.0, 56.0, -27.0, -3.0, 31.9030},
                               {60.2574, -34.0099, 36.2677, 60.4626, -34.1751, 39.4387, 1.2644},
                               {2.0776, 0.0795, -1.1350, 0.9033, -0.0636, -0.5514, 0.9082}};
    for (const auto& p : pairs) {
        const vexa::Lab first{p[0], p[1], p[2]};
        const vexa::Lab second{p[3], p[4], p[5]};
        EXPECT_NEAR(vexa::Ciede2000(first, second), p[6], 1e-4) << "L1 " << p[0] << " a1 " << p[1];
    }
    // A grey dark enough for the straight part of both curves.
    EXPECT_NEAR(vexa::ToLab(Color(0.02f, 0.02f, 0.02f, 1)).l, 1.398, 1e-3);
}

TEST(ColorVision, GreysStayAndEachDeficiencyLosesItsOwnAxis) {
    for (const ColorVision vision :
         {ColorVision::Protan, ColorVision::Deutan, ColorVision::Tritan}) {
        const vexa::Matrix3& m = vexa::SimulationMatrix(vision);
        // Rows summing to 1 keep white white and a grey grey.
        for (const auto& row : m) EXPECT_NEAR(row[0] + row[1] + row[2], 1.0, 2e-6);
        // A protanope or deuteranope sees a plane of colours: their matrix
        // flattens one direction entirely.
        const double determinant = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                                   m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                                   m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        if (vision != ColorVision::Tritan) {
            EXPECT_NEAR(determinant, 0.0, 1e-5) << static_cast<int>(vision);
        }
    }
    // An orange and a green run together for protan and deutan eyes, a green
    // and a cyan for tritan eyes only. The figures were measured independently:
    // 47 apart for normal eyes, 12 for deutan, 7 for the second pair under tritan.
    const Color orange(0.85f, 0.6f, 0.35f, 1);
    const Color green(0.3f, 1.0f, 0.4f, 1);
    const Color cyan(0.3f, 0.9f, 1.0f, 1);
    EXPECT_NEAR(ColorDifference(orange, green, ColorVision::Normal), 47.0, 0.5);
    EXPECT_LT(ColorDifference(orange, green, ColorVision::Protan), 47.0 / 2);
    EXPECT_NEAR(ColorDifference(orange, green, ColorVision::Deutan), 12.0, 0.5);
    EXPECT_GT(ColorDifference(orange, green, ColorVision::Tritan), 47.0);
    EXPECT_GT(ColorDifference(green, cyan, ColorVision::Deutan), 40.0);
    EXPECT_NEAR(ColorDifference(green, cyan, ColorVision::Tritan), 7.0, 0.5);
}
