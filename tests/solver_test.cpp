// The bottom of the library: bearings, the degree conversions and the flat solver over plain
// values.
#include "engine/coordinates.h"
#include "engine/numeric.h"
#include "engine/solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// A point given in whole degrees, signs in the flags.
Observation At(double lon, double lat, double bearing) {
    return {{std::fabs(lon), 0, 0, std::signbit(lon) ? 1 : 0},
            {std::fabs(lat), 0, 0, std::signbit(lat) ? 1 : 0},
            bearing};
}

Vector2 DirectionOf(double bearing) {
    Angle a;
    a.SetInDegrees(1);
    a.SetValue(bearing);
    a.SetValue(a.FromBearing());
    Vector2 d;
    d.FromPolar(1.0, a.ToRadians());
    return d;
}

} // namespace

TEST(Bearing, CompassBearingsBecomeMathematicalAngles) {
    const double cases[][2] = {{0, 90},    {45, 45},   {90, 360},  {135, 315},
                               {180, 270}, {270, 180}, {315, 135}, {360, 90}};
    for (const auto& c : cases) {
        Angle a;
        a.SetValue(c[0]);
        EXPECT_DOUBLE_EQ(a.FromBearing(), c[1]) << "bearing " << c[0];
        EXPECT_EQ(a.inDegrees, 1);
        EXPECT_DOUBLE_EQ(a.value, c[1]);
    }
    // Just under due east snaps to 0, while exactly 90 gives 360: both mean east.
    Angle nearEast;
    nearEast.SetValue(90 - 1e-7);
    EXPECT_EQ(nearEast.FromBearing(), 0.0);
}

TEST(Bearing, CardinalDirectionsAreExactOthersAreNot) {
    const double cases[][3] = {{0, 0, 1}, {90, 1, 0}, {180, 0, -1}, {270, -1, 0}, {360, 0, 1}};
    for (const auto& c : cases) {
        const Vector2 d = DirectionOf(c[0]);
        EXPECT_EQ(d.X(), c[1]) << "bearing " << c[0];
        EXPECT_EQ(d.Y(), c[2]) << "bearing " << c[0];
    }
    // A ten-thousandth of a degree east of north is not snapped away.
    const Vector2 tiny = DirectionOf(0.0001);
    EXPECT_NEAR(tiny.X(), 1.745124148360539e-06, 1e-18);

    // Radians use the rounded pi, multiplied before dividing.
    Angle a;
    a.SetInDegrees(1);
    a.SetValue(180);
    EXPECT_EQ(a.ToRadians(), 3.141592654);
    // Already in radians: returned untouched, even below the threshold.
    Angle raw;
    raw.SetValue(5e-7);
    EXPECT_EQ(raw.ToRadians(), 5e-7);
}

TEST(Conversions, DegreesMinutesSecondsAndBack) {
    using ervalun::SignedDecimal;
    EXPECT_EQ(SignedDecimal(45, 30, 0, 0), 45.5);
    EXPECT_EQ(SignedDecimal(2, 30, 0, 0), 2.5);
    EXPECT_EQ(SignedDecimal(0, 0, 0, 0), 0.0);
    // Minutes are added before seconds, each rounded: the order is visible in the last bit.
    EXPECT_EQ(SignedDecimal(6, 5, 0, 0), 6 + 5.0 / 60);
    EXPECT_EQ(SignedDecimal(45, 12, 30.5, 0), (45 + 12.0 / 60) + 30.5 / 3600);
    // The sign applies to the whole value; any non-zero flag sets it.
    EXPECT_EQ(SignedDecimal(45, 30, 0, 1), -45.5);
    EXPECT_EQ(SignedDecimal(0, 30, 0, 2), -0.5);
    EXPECT_EQ((Dms{1, 30, 0, 1}.Decimal()), -1.5);
    EXPECT_TRUE(std::signbit(Dms{0, 0, 0, 1}.Decimal()));

    double d = -1, m = -1, s = -1;
    ervalun::DecimalToDms(45.5, d, m, s);
    EXPECT_EQ(d, 45);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 0);
    ervalun::DecimalToDms(1.0, d, m, s);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0);
    ervalun::DecimalToDms(0.1, d, m, s);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(m, 6);
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 1e-6);
    ervalun::SnapToZero(s);
    EXPECT_EQ(s, 0.0);
    // DmsOf snaps each part and takes the hemisphere from the sign.
    const Dms tenth = ervalun::DmsOf(-0.1);
    EXPECT_EQ(tenth.degrees, 0.0);
    EXPECT_EQ(tenth.minutes, 6.0);
    EXPECT_EQ(tenth.seconds, 0.0);
    EXPECT_EQ(tenth.hemisphere, 1);
    EXPECT_EQ(ervalun::DmsOf(-0.0).hemisphere, 0);
}

TEST(Conversions, NoCarryIntoMinutesOrDegrees) {
    double d = -1, m = -1, s = -1;
    ervalun::DecimalToDms(45.999999999, d, m, s);
    EXPECT_EQ(d, 45);
    EXPECT_EQ(m, 59);
    EXPECT_NEAR(s, 59.99999640001249, 1e-12);
}

TEST(Conversions, SnapToZeroIsStrictlyBelowTheThreshold) {
    double v = 0.000001;
    ervalun::SnapToZero(v);
    EXPECT_EQ(v, 0.000001);
    v = -0.0000009;
    ervalun::SnapToZero(v);
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(std::signbit(v));
    v = -0.0;
    ervalun::SnapToZero(v);
    EXPECT_FALSE(std::signbit(v));
    v = -3.5;
    ervalun::SnapToZero(v);
    EXPECT_EQ(v, -3.5);
}

TEST(Conversions, ValuesBeyondThirtyTwoBitsStayDefined) {
    double d = -1, m = -1, s = -1;
    ervalun::DecimalToDms(1e12 + 0.5, d, m, s);
    EXPECT_EQ(d, 1e12);
    EXPECT_EQ(m, 30);
    EXPECT_NEAR(s, 0, 1e-3);
    ervalun::DecimalToDms(std::numeric_limits<double>::infinity(), d, m, s);
    EXPECT_TRUE(std::isinf(d));
    ervalun::DecimalToDms(std::numeric_limits<double>::quiet_NaN(), d, m, s);
    EXPECT_EQ(d, 0.0);

    EXPECT_EQ(ervalun::TruncToInt(1e12), std::numeric_limits<int>::max());
    EXPECT_EQ(ervalun::TruncToInt(-1e12), std::numeric_limits<int>::min());
    EXPECT_EQ(ervalun::TruncToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ervalun::TruncToInt(-2.9), -2);
    EXPECT_EQ(ervalun::SaturatingSub(std::numeric_limits<int>::min(), 25),
              std::numeric_limits<int>::min());
    EXPECT_EQ(ervalun::SaturatingSub(10, 25), -15);
}

TEST(Solver, TwoSlopedLinesCrossNearTheExpectedPoint) {
    const Fix f = Triangulate(At(0, 0, 45), At(2, 0, 315));
    // The rounded pi leaves the crossing just short of (1, 1).
    EXPECT_NEAR(f.point.X(), 0.9999999995897931, 1e-12);
    EXPECT_NEAR(f.point.Y(), 0.9999999997948966, 1e-12);
    EXPECT_EQ(f.longitude.degrees, 0);
    EXPECT_EQ(f.longitude.minutes, 59);
    EXPECT_NEAR(f.longitude.seconds, 59.9999985232553, 1e-9);
    EXPECT_EQ(f.longitude.hemisphere, 0);
    EXPECT_EQ(f.latitude.hemisphere, 0);

    // The opposite bearing describes the same line.
    const Fix other = Triangulate(At(0, 0, 225), At(2, 0, 315));
    EXPECT_NEAR(other.point.X(), f.point.X(), 1e-9);
    EXPECT_NEAR(other.point.Y(), f.point.Y(), 1e-9);
}

TEST(Solver, OneVerticalLine) {
    Fix f = Triangulate(At(0, 0, 0), At(2, 0, 315));
    EXPECT_EQ(f.point.X(), 0.0);
    EXPECT_NEAR(f.point.Y(), 1.9999999987693795, 1e-12);

    // The second line vertical this time.
    f = Triangulate(At(0, 0, 315), At(2, 0, 0));
    EXPECT_EQ(f.point.X(), 2.0);
    EXPECT_NEAR(f.point.Y(), -1.9999999987693795, 1e-12);
    EXPECT_EQ(f.latitude.hemisphere, 1);
}

TEST(Solver, ParallelAndPerpendicularCardinalLines) {
    const struct {
        Observation first, second;
        double x, y;
    } cases[] = {
        // Vertical against horizontal: both slopes read 0, the parallel branch gives the corner.
        {At(0, 0, 0), At(1, 1, 270), 0.0, 1.0},
        {At(1, 1, 270), At(0, 0, 0), 0.0, 1.0},
        // Parallel sloped lines, and two vertical ones: the midpoint.
        {At(0, 0, 45), At(1, 0, 45), 0.5, 0.0},
        {At(0, 0, 0), At(1, 0, 180), 0.5, 0.0},
    };
    for (const auto& c : cases) {
        const Fix f = Triangulate(c.first, c.second);
        EXPECT_EQ(f.point.X(), c.x) << c.first.bearing << " " << c.second.bearing;
        EXPECT_EQ(f.point.Y(), c.y) << c.first.bearing << " " << c.second.bearing;
    }
}

TEST(Solver, EqualInterceptsUseTheInverseMatrix) {
    // Both lines pass (within rounding) through the origin.
    const Fix f = Triangulate(At(1, 1, 45), At(1, -1, 135));
    EXPECT_NEAR(f.point.X(), -6.153103030881663e-10, 1e-15);
    EXPECT_NEAR(f.point.Y(), -8.204137929620399e-10, 1e-15);
    // Degrees and minutes snap to 0; the seconds (x times 3600) stay above the threshold.
    EXPECT_EQ(f.longitude.degrees, 0.0);
    EXPECT_EQ(f.longitude.minutes, 0.0);
    EXPECT_NEAR(f.longitude.seconds, 6.153103030881663e-10 * 3600, 1e-12);
    EXPECT_NEAR(f.latitude.seconds, 8.204137929620399e-10 * 3600, 1e-12);
    EXPECT_EQ(f.longitude.hemisphere, 1);
    EXPECT_EQ(f.latitude.hemisphere, 1);
}

TEST(Solver, WestAndSouthSignsAndMagnitudes) {
    // Mirror of the first example in the south-west quarter.
    const Fix f = Triangulate(At(-0.0, -0.0, 225), At(-2, -0.0, 135));
    EXPECT_EQ(f.longitude.hemisphere, 1);
    EXPECT_EQ(f.latitude.hemisphere, 1);
    EXPECT_LT(f.point.X(), -0.99);
    EXPECT_LT(f.point.Y(), -0.99);
    EXPECT_GE(f.longitude.degrees, 0.0);
    EXPECT_EQ(f.longitude.minutes, 59);
    EXPECT_EQ(f.latitude.minutes, 59);
}

TEST(Solver, NegativeZeroResultIsEastAndNorth) {
    // Two meridians through 0 degrees west: the midpoint is a negative zero.
    const Fix f = Triangulate(At(-0.0, -0.0, 0), At(-0.0, -0.0, 180));
    EXPECT_TRUE(std::signbit(f.point.X()));
    EXPECT_EQ(f.longitude.hemisphere, 0);
    EXPECT_EQ(f.latitude.hemisphere, 0);
}

TEST(Solver, ResultsFarBeyondThirtyTwoBitsAreDefined) {
    // Nearly parallel lines far apart put the crossing about 1e12 degrees away.
    Observation b = At(0, 0, 45.0001);
    b.latitude.degrees = 1e6;
    const Fix f = Triangulate(At(0, 0, 45), b);
    EXPECT_GT(std::fabs(f.point.X()), 1e10);
    EXPECT_TRUE(std::isfinite(f.longitude.degrees));
    EXPECT_EQ(f.longitude.degrees, std::trunc(std::fabs(f.point.X())));
    EXPECT_GE(f.longitude.minutes, 0.0);
    EXPECT_LT(f.longitude.minutes, 60.0);

    // Absurd inputs give some point, never a crash.
    Observation c = At(0, 0, 10);
    c.longitude.degrees = std::numeric_limits<double>::max();
    Triangulate(c, At(1, 1, 1e300));
}
