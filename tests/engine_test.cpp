#include "engine/numeric.h"
#include "engine/triangulation_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

struct Point {
    double lonDeg = 0, lonMin = 0, lonSec = 0;
    int west = 0;
    double latDeg = 0, latMin = 0, latSec = 0;
    int south = 0;
    double bearing = 0;
};

struct Fix {
    double lonDeg = -1, lonMin = -1, lonSec = -1;
    int west = -1;
    double latDeg = -1, latMin = -1, latSec = -1;
    int south = -1;
    std::string name;
    int found = -1;
};

Fix Solve(TriangulationEngine& engine, const Point& a, const Point& b) {
    Fix f;
    f.found = engine.Triangulate(a.lonDeg, a.lonMin, a.lonSec, a.west, a.latDeg, a.latMin, a.latSec,
                                 a.south, a.bearing, b.lonDeg, b.lonMin, b.lonSec, b.west, b.latDeg,
                                 b.latMin, b.latSec, b.south, b.bearing, f.lonDeg, f.lonMin,
                                 f.lonSec, f.west, f.latDeg, f.latMin, f.latSec, f.south, f.name);
    return f;
}

// A point given in whole degrees, signs in the flags.
Point At(double lon, double lat, double bearing) {
    Point p;
    p.lonDeg = std::fabs(lon);
    p.west = std::signbit(lon) ? 1 : 0;
    p.latDeg = std::fabs(lat);
    p.south = std::signbit(lat) ? 1 : 0;
    p.bearing = bearing;
    return p;
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

KnownPosition Entry(const std::string& name, double lon, double lat) {
    KnownPosition e;
    e.name = name;
    e.longitude = lon;
    e.latitude = lat;
    return e;
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
    double v = -1;
    TriangulationEngine::DmsToDecimal(45, 30, 0, v);
    EXPECT_EQ(v, 45.5);
    TriangulationEngine::DmsToDecimal(2, 30, 0, v);
    EXPECT_EQ(v, 2.5);
    TriangulationEngine::DmsToDecimal(0, 0, 0, v);
    EXPECT_EQ(v, 0.0);
    // Minutes are added before seconds, each rounded: the order is visible in the last bit.
    TriangulationEngine::DmsToDecimal(6, 5, 0, v);
    EXPECT_EQ(v, 6 + 5.0 / 60);
    TriangulationEngine::DmsToDecimal(45, 12, 30.5, v);
    EXPECT_EQ(v, (45 + 12.0 / 60) + 30.5 / 3600);

    double d = -1, m = -1, s = -1;
    TriangulationEngine::DecimalToDms(45.5, d, m, s);
    EXPECT_EQ(d, 45);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 0);
    TriangulationEngine::DecimalToDms(1.0, d, m, s);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(s, 0);
    TriangulationEngine::DecimalToDms(0.1, d, m, s);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(m, 6);
    EXPECT_GE(s, 0.0);
    EXPECT_LT(s, 1e-6);
    TriangulationEngine::SnapToZero(s);
    EXPECT_EQ(s, 0.0);
}

TEST(Conversions, NoCarryIntoMinutesOrDegrees) {
    double d = -1, m = -1, s = -1;
    TriangulationEngine::DecimalToDms(45.999999999, d, m, s);
    EXPECT_EQ(d, 45);
    EXPECT_EQ(m, 59);
    EXPECT_NEAR(s, 59.99999640001249, 1e-12);
}

TEST(Conversions, SnapToZeroIsStrictlyBelowTheThreshold) {
    double v = 0.000001;
    TriangulationEngine::SnapToZero(v);
    EXPECT_EQ(v, 0.000001);
    v = -0.0000009;
    TriangulationEngine::SnapToZero(v);
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(std::signbit(v));
    v = -0.0;
    TriangulationEngine::SnapToZero(v);
    EXPECT_FALSE(std::signbit(v));
    v = -3.5;
    TriangulationEngine::SnapToZero(v);
    EXPECT_EQ(v, -3.5);
}

TEST(Conversions, ValuesBeyondThirtyTwoBitsStayDefined) {
    double d = -1, m = -1, s = -1;
    TriangulationEngine::DecimalToDms(1e12 + 0.5, d, m, s);
    EXPECT_EQ(d, 1e12);
    EXPECT_EQ(m, 30);
    EXPECT_NEAR(s, 0, 1e-3);
    TriangulationEngine::DecimalToDms(std::numeric_limits<double>::infinity(), d, m, s);
    EXPECT_TRUE(std::isinf(d));
    TriangulationEngine::DecimalToDms(std::numeric_limits<double>::quiet_NaN(), d, m, s);
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
    TriangulationEngine engine;
    const Fix f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    // The rounded pi leaves the crossing just short of (1, 1).
    EXPECT_NEAR(engine.result.longitude, 0.9999999995897931, 1e-12);
    EXPECT_NEAR(engine.result.latitude, 0.9999999997948966, 1e-12);
    EXPECT_EQ(f.lonDeg, 0);
    EXPECT_EQ(f.lonMin, 59);
    EXPECT_NEAR(f.lonSec, 59.9999985232553, 1e-9);
    EXPECT_EQ(f.west, 0);
    EXPECT_EQ(f.south, 0);
    EXPECT_EQ(f.name, "RESULTAT");
    EXPECT_EQ(f.found, 0);

    // The opposite bearing describes the same line.
    TriangulationEngine other;
    Solve(other, At(0, 0, 225), At(2, 0, 315));
    EXPECT_NEAR(other.result.longitude, engine.result.longitude, 1e-9);
    EXPECT_NEAR(other.result.latitude, engine.result.latitude, 1e-9);
}

TEST(Solver, OneVerticalLine) {
    TriangulationEngine engine;
    Solve(engine, At(0, 0, 0), At(2, 0, 315));
    EXPECT_EQ(engine.result.longitude, 0.0);
    EXPECT_NEAR(engine.result.latitude, 1.9999999987693795, 1e-12);

    // The second line vertical this time.
    Solve(engine, At(0, 0, 315), At(2, 0, 0));
    EXPECT_EQ(engine.result.longitude, 2.0);
    EXPECT_NEAR(engine.result.latitude, -1.9999999987693795, 1e-12);
    EXPECT_EQ(engine.result.south, 1);
}

TEST(Solver, ParallelAndPerpendicularCardinalLines) {
    TriangulationEngine engine;
    // Vertical against horizontal: both slopes read 0, the parallel branch gives the corner.
    Solve(engine, At(0, 0, 0), At(1, 1, 270));
    EXPECT_EQ(engine.result.longitude, 0.0);
    EXPECT_EQ(engine.result.latitude, 1.0);
    Solve(engine, At(1, 1, 270), At(0, 0, 0));
    EXPECT_EQ(engine.result.longitude, 0.0);
    EXPECT_EQ(engine.result.latitude, 1.0);

    // Parallel sloped lines, and two vertical ones: the midpoint.
    Solve(engine, At(0, 0, 45), At(1, 0, 45));
    EXPECT_EQ(engine.result.longitude, 0.5);
    EXPECT_EQ(engine.result.latitude, 0.0);
    Solve(engine, At(0, 0, 0), At(1, 0, 180));
    EXPECT_EQ(engine.result.longitude, 0.5);
    EXPECT_EQ(engine.result.latitude, 0.0);
}

TEST(Solver, EqualInterceptsUseTheInverseMatrix) {
    TriangulationEngine engine;
    // Both lines pass (within rounding) through the origin.
    const Fix f = Solve(engine, At(1, 1, 45), At(1, -1, 135));
    EXPECT_NEAR(engine.result.longitude, -6.153103030881663e-10, 1e-15);
    EXPECT_NEAR(engine.result.latitude, -8.204137929620399e-10, 1e-15);
    // Degrees and minutes snap to 0; the seconds (x times 3600) stay above the threshold.
    EXPECT_EQ(f.lonDeg, 0.0);
    EXPECT_EQ(f.lonMin, 0.0);
    EXPECT_NEAR(f.lonSec, 6.153103030881663e-10 * 3600, 1e-12);
    EXPECT_NEAR(f.latSec, 8.204137929620399e-10 * 3600, 1e-12);
    EXPECT_EQ(f.west, 1);
    EXPECT_EQ(f.south, 1);
}

TEST(Solver, WestAndSouthSignsAndMagnitudes) {
    TriangulationEngine engine;
    // Mirror of the first example in the south-west quarter.
    const Fix f = Solve(engine, At(-0.0, -0.0, 225), At(-2, -0.0, 135));
    EXPECT_EQ(f.west, 1);
    EXPECT_EQ(f.south, 1);
    EXPECT_EQ(engine.result.west, 1);
    EXPECT_EQ(engine.result.south, 1);
    EXPECT_LT(engine.result.longitude, -0.99);
    EXPECT_LT(engine.result.latitude, -0.99);
    EXPECT_EQ(f.lonDeg, engine.result.longitudeDegrees);
    EXPECT_GE(f.lonDeg, 0.0);
    EXPECT_EQ(f.lonMin, 59);
    EXPECT_EQ(f.latMin, 59);
    // The observation points keep what was entered, with signed decimals.
    EXPECT_EQ(engine.position2.longitudeDegrees, 2);
    EXPECT_EQ(engine.position2.west, 1);
    EXPECT_EQ(engine.position2.longitude, -2.0);
    EXPECT_EQ(engine.position1.bearing, 225);
    EXPECT_EQ(engine.result.bearing, 0.0);
    EXPECT_TRUE(engine.result.name.empty());

    // 45 degrees 30 minutes south is -45.5 as a whole.
    Point p = At(3, 0, 90);
    p.latDeg = 45;
    p.latMin = 30;
    p.south = 1;
    Solve(engine, p, At(4, 0, 0));
    EXPECT_EQ(engine.position1.latitude, -45.5);
}

TEST(Solver, NegativeZeroResultIsEastAndNorth) {
    TriangulationEngine engine;
    // Two meridians through 0 degrees west: the midpoint is a negative zero.
    const Fix f = Solve(engine, At(-0.0, -0.0, 0), At(-0.0, -0.0, 180));
    EXPECT_TRUE(std::signbit(engine.result.longitude));
    EXPECT_EQ(f.west, 0);
    EXPECT_EQ(f.south, 0);
}

TEST(Solver, ResultsFarBeyondThirtyTwoBitsAreDefined) {
    TriangulationEngine engine;
    // Nearly parallel lines far apart put the crossing about 1e12 degrees away.
    Point a = At(0, 0, 45);
    Point b = At(0, 0, 45.0001);
    b.latDeg = 1e6;
    const Fix f = Solve(engine, a, b);
    EXPECT_GT(std::fabs(engine.result.longitude), 1e10);
    EXPECT_TRUE(std::isfinite(f.lonDeg));
    EXPECT_EQ(f.lonDeg, std::trunc(std::fabs(engine.result.longitude)));
    EXPECT_GE(f.lonMin, 0.0);
    EXPECT_LT(f.lonMin, 60.0);

    // Absurd inputs give some point, never a crash.
    const double huge = std::numeric_limits<double>::max();
    Point c = At(0, 0, 10);
    c.lonDeg = huge;
    Solve(engine, c, At(1, 1, 1e300));
}

TEST(Nearest, NamesTheClosestEntryAndRecordsEveryDistance) {
    TriangulationEngine engine;
    engine.directory = {Entry("Aval", 5, 5), Entry("Borne", 1, 1.2), Entry("Cairn", -3, 0)};
    engine.directoryLoaded = 1;
    const Fix f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 1);
    EXPECT_EQ(f.name, "Borne");
    EXPECT_NEAR(engine.directory[0].distance, std::sqrt(32.0), 1e-8);
    EXPECT_NEAR(engine.directory[1].distance, 0.2, 1e-8);
    EXPECT_NEAR(engine.directory[2].distance, std::sqrt(17.0), 1e-8);
}

TEST(Nearest, TieGoesToTheLastEntryAndDistanceIsUnbounded) {
    TriangulationEngine engine;
    std::vector<KnownPosition> list = {Entry("Alpha", 1, 0), Entry("Bravo", -1, 0),
                                       Entry("Charlie", 0, 5)};
    std::string name = "avant";
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Bravo");

    // Within a millionth of a degree counts as a tie too.
    list = {Entry("Alpha", 1, 0), Entry("Bravo", -1.0000005, 0)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Bravo");
    list = {Entry("Alpha", 1, 0), Entry("Bravo", -1.000002, 0)};
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, list), 1);
    EXPECT_EQ(name, "Alpha");

    // However far, the only entry is named; west entries compare by their signed longitude.
    list = {Entry("Loin", -50, 0)};
    EXPECT_EQ(engine.FindNearestPosition(-0.5, 0, name, list), 1);
    EXPECT_EQ(name, "Loin");
    EXPECT_NEAR(list[0].distance, 49.5, 1e-12);
}

TEST(Nearest, EmptyOrUnloadedDirectoryGivesResultat) {
    TriangulationEngine engine;
    std::string name = "inchangé";
    std::vector<KnownPosition> empty;
    EXPECT_EQ(engine.FindNearestPosition(0, 0, name, empty), 0);
    EXPECT_EQ(name, "inchangé");

    // Loaded but empty.
    engine.directoryLoaded = 1;
    Fix f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 0);
    EXPECT_EQ(f.name, "RESULTAT");

    // Entries present but the load failed: they are not consulted.
    engine.directoryLoaded = 0;
    engine.directory = {Entry("Ici", 1, 1)};
    engine.directory[0].distance = 42;
    f = Solve(engine, At(0, 0, 45), At(2, 0, 315));
    EXPECT_EQ(f.found, 0);
    EXPECT_EQ(f.name, "RESULTAT");
    EXPECT_EQ(engine.directory[0].distance, 42);
}

TEST(Records, DefaultsAndCopies) {
    const KnownPosition k;
    EXPECT_EQ(k.distance, 0.0);
    EXPECT_EQ(k.latitude, 0.0);
    EXPECT_EQ(k.longitude, 0.0);
    EXPECT_TRUE(k.name.empty());
    const Member m;
    EXPECT_EQ(m.role, -1);
    EXPECT_TRUE(m.name.empty());

    Member p;
    p.name = "Bravo";
    p.role = 1;
    const Member pc = p;
    EXPECT_EQ(pc.role, 1);
    EXPECT_EQ(pc.name, "Bravo");

    KnownPosition e = Entry("Refuge", 6, 45);
    e.distance = 3.25;
    const KnownPosition ec = e;
    EXPECT_EQ(ec.distance, 3.25);

    GeoPosition g;
    EXPECT_EQ(g.west, 0);
    EXPECT_EQ(g.bearing, 0.0);
    g.south = 1;
    g.name = "Point";
    GeoPosition gc = g;
    g.name = "Autre";
    EXPECT_EQ(gc.south, 1);
    EXPECT_EQ(gc.name, "Point");
}

TEST(NameOrder, UnsignedBytesAndPrefixFirst) {
    EXPECT_TRUE(NameLess("Bravo", "alpha"));
    EXPECT_FALSE(NameLess("alpha", "Bravo"));
    EXPECT_TRUE(NameLess("Eric", "\xC9mile"));     // Latin-1 E acute
    EXPECT_TRUE(NameLess("Eric", "\xC3\x89mile")); // the same in UTF-8
    EXPECT_TRUE(NameLess("Port", "Portail"));
    EXPECT_FALSE(NameLess("Portail", "Port"));
    EXPECT_FALSE(NameLess("Port", "Port"));
    EXPECT_TRUE(NameLess("", "A"));
    EXPECT_TRUE(NameLess(std::string("a\0b", 3), std::string("a\x01", 2)));

    std::vector<Member> roster(4);
    roster[0].name = "\xC9mile";
    roster[1].name = "alpha";
    roster[2].name = "Portail";
    roster[3].name = "Port";
    SortByName(roster);
    EXPECT_EQ(roster[0].name, "Port");
    EXPECT_EQ(roster[1].name, "Portail");
    EXPECT_EQ(roster[2].name, "alpha");
    EXPECT_EQ(roster[3].name, "\xC9mile");

    std::vector<KnownPosition> directory = {Entry("col", 0, 0), Entry("Col", 0, 0),
                                            Entry("Cap", 0, 0)};
    SortByName(directory);
    EXPECT_EQ(directory[0].name, "Cap");
    EXPECT_EQ(directory[1].name, "Col");
    EXPECT_EQ(directory[2].name, "col");
}
