#include "ui/form/diagram_scale.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using ervalun::DiagramPoints;

// Flattens the six pixel values so a whole placement can be compared at once.
std::vector<int> Flat(const DiagramPoints& p) {
    return {p.x1, p.y1, p.x2, p.y2, p.xr, p.yr};
}

TEST(ScaleDiagram, PlacesExtremesAtTenAndNinetyPercentNorthUp) {
    // 2 E 48 N, 3 E 48 N, result 2.5 E 49 N.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, 2.5, 49.0, 100, 100)),
              (std::vector<int>{10, 90, 90, 90, 50, 10}));
    // The same places with every longitude west are mirrored left to right.
    EXPECT_EQ(Flat(ScaleDiagram(-2.0, 48.0, -3.0, 48.0, -2.5, 49.0, 100, 100)),
              (std::vector<int>{90, 90, 10, 90, 50, 10}));
    // South latitudes: the most southern point is lowest.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, -48.0, 3.0, -48.0, 2.5, -47.0, 100, 100)),
              (std::vector<int>{10, 90, 90, 90, 50, 10}));
    // The axes are scaled on their own: a wide, flat area is filled both ways.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, 2.5, 49.0, 200, 50)),
              (std::vector<int>{20, 45, 180, 45, 100, 5}));
}

TEST(ScaleDiagram, TruncatesTowardZeroInsteadOfRounding) {
    // W = H = 101: margins 10.1, usable 80.8; 90.9 and 50.5 must give 90 and 50, not 91 and 51.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, 2.5, 49.0, 101, 101)),
              (std::vector<int>{10, 90, 90, 90, 50, 10}));
}

TEST(ScaleDiagram, OneMeridianOneParallelAndCoincidentPoints) {
    // One meridian: every x at trunc(0.6 W); y still spread.
    EXPECT_EQ(Flat(ScaleDiagram(6.5, 45.0, 6.5, 46.0, 6.5, 45.5, 100, 100)),
              (std::vector<int>{60, 90, 60, 10, 60, 50}));
    EXPECT_EQ(ScaleDiagram(6.5, 45.0, 6.5, 46.0, 6.5, 45.5, 99, 100).x1, 59);
    // One parallel: every y at trunc(0.4 H); x still spread.
    EXPECT_EQ(Flat(ScaleDiagram(6.0, 45.0, 7.0, 45.0, 6.25, 45.0, 100, 100)),
              (std::vector<int>{10, 40, 90, 40, 30, 40}));
    EXPECT_EQ(ScaleDiagram(6.0, 45.0, 7.0, 45.0, 6.25, 45.0, 100, 99).y1, 39);
    // All three at one place: at (trunc(0.6 W), trunc(0.4 H)), no division of zero by zero.
    EXPECT_EQ(Flat(ScaleDiagram(6.5, 45.0, 6.5, 45.0, 6.5, 45.0, 100, 100)),
              (std::vector<int>{60, 40, 60, 40, 60, 40}));
    EXPECT_EQ(Flat(ScaleDiagram(0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 99, 99)),
              (std::vector<int>{59, 39, 59, 39, 59, 39}));
    // Only an exact zero spread is one meridian or one parallel: a tiny one still spreads.
    EXPECT_EQ(Flat(ScaleDiagram(6.5, 45.0, 6.5 + 1e-7, 45.0, 6.5, 45.0 + 1e-7, 100, 100)),
              (std::vector<int>{10, 90, 90, 90, 10, 10}));
    // An empty area gives the corner, without dividing by zero.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, 2.5, 49.0, 0, 0)),
              (std::vector<int>{0, 0, 0, 0, 0, 0}));
}

TEST(ScaleDiagram, FarOrUndefinedResultsStayDefined) {
    // A result 1e12 degrees away squeezes both known points onto one margin.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, 1e12, 1e12, 100, 100)),
              (std::vector<int>{10, 90, 10, 90, 90, 10}));
    // Towards the south-west; 89.99999999992 truncates to 89.
    EXPECT_EQ(Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, -1e12, -1e12, 100, 100)),
              (std::vector<int>{89, 10, 90, 10, 10, 90}));

    // Infinite or undefined values give defined pixels inside the area.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double far : {inf, -inf, nan}) {
        for (const int v : Flat(ScaleDiagram(2.0, 48.0, 3.0, 48.0, far, far, 100, 100))) {
            EXPECT_GE(v, 0) << far;
            EXPECT_LE(v, 100) << far;
        }
    }
    // Where the scaling product itself overflows, the pixel saturates instead of wrapping.
    const DiagramPoints huge = ScaleDiagram(2.0, 48.0, 3.0, 48.0, 1e308, 1e308, 100, 100);
    EXPECT_EQ(huge.xr, std::numeric_limits<int>::max());
    EXPECT_EQ(huge.yr, std::numeric_limits<int>::min());
    EXPECT_EQ(huge.x1, 10);
    EXPECT_EQ(huge.y1, 90);
}

} // namespace
