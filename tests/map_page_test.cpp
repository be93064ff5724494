// The map page: where the three markers go on the map image, and the page's lines.
#include "output/map_page.h"

#include "engine/triangulation_engine.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

using testing_support::Lines;

namespace {

constexpr int kIntMax = std::numeric_limits<int>::max();
constexpr int kIntMin = std::numeric_limits<int>::min();

MapCorner Corner(double lonDeg, double lonMin, double lonSec, int west, double latDeg,
                 double latMin, double latSec, int south) {
    MapCorner c;
    c.longitudeDegrees = lonDeg;
    c.longitudeMinutes = lonMin;
    c.longitudeSeconds = lonSec;
    c.west = west;
    c.latitudeDegrees = latDeg;
    c.latitudeMinutes = latMin;
    c.latitudeSeconds = latSec;
    c.south = south;
    return c;
}

// A point given in degrees, minutes and seconds, kept as the signed decimals it is placed by.
GeoPosition At(double lonDeg, double lonMin, double lonSec, int west, double latDeg, double latMin,
               double latSec, int south) {
    GeoPosition p;
    TriangulationEngine::DmsToDecimal(lonDeg, lonMin, lonSec, p.longitude);
    TriangulationEngine::DmsToDecimal(latDeg, latMin, latSec, p.latitude);
    if (west != 0) {
        p.longitude = -p.longitude;
    }
    if (south != 0) {
        p.latitude = -p.latitude;
    }
    return p;
}

GeoPosition Decimal(double lon, double lat) {
    GeoPosition p;
    p.longitude = lon;
    p.latitude = lat;
    return p;
}

// The example map: 640 x 480, from 1 30 W / 48 10 N to 0 50 E / 47 40 N.
const MapCorner kTopLeft = Corner(1, 30, 0, 1, 48, 10, 0, 0);
const MapCorner kBottomRight = Corner(0, 50, 0, 0, 47, 40, 0, 0);

struct Offsets {
    int v[6] = {-1, -2, -3, -4, -5, -6};
};

int Place(const GeoPosition& a, const GeoPosition& b, const GeoPosition& r, int width, int height,
          const MapCorner& tl, const MapCorner& br, Offsets& o) {
    TriangulationEngine engine;
    const int placed = engine.PlaceMarkers(a, b, r, width, height, o.v[0], o.v[1], o.v[2], o.v[3],
                                           o.v[4], o.v[5], tl, br);
    // The library's own face places the same markers, or refuses alike.
    const auto markers =
        ervalun::PlaceMarkers({width, height, tl, br}, {a.longitude, a.latitude},
                              {b.longitude, b.latitude}, {r.longitude, r.latitude});
    EXPECT_EQ(markers.has_value(), placed == 1);
    if (markers && placed == 1) {
        EXPECT_EQ(
            (std::vector<int>{markers->first.left, markers->first.top, markers->second.left,
                              markers->second.top, markers->result.left, markers->result.top}),
            (std::vector<int>(o.v, o.v + 6)));
    }
    return placed;
}

} // namespace

TEST(MapPage, WorkedExampleMarkers) {
    Offsets o;
    ASSERT_EQ(Place(At(0, 45, 0, 1, 47, 58, 10, 0), At(1, 30, 0, 1, 48, 10, 0, 0),
                    At(0, 10, 0, 0, 47, 45, 20, 0), 640, 480, kTopLeft, kBottomRight, o),
              1);
    EXPECT_EQ(o.v[0], 180);
    EXPECT_EQ(o.v[1], 164);
    EXPECT_EQ(o.v[2], -25); // the top-left corner itself
    EXPECT_EQ(o.v[3], -25);
    EXPECT_EQ(o.v[4], 432);
    EXPECT_EQ(o.v[5], 369);

    // Southern and western corners: -0.5 latitude for 0 30 S; a point west of the map gets a
    // negative left, one south of it a top beyond the image.
    const MapCorner tl = Corner(1, 0, 0, 1, 0, 30, 0, 0);
    const MapCorner br = Corner(1, 0, 0, 0, 0, 30, 0, 1);
    ASSERT_EQ(Place(Decimal(0, 0), Decimal(-1.5, -1), Decimal(-0.5, -0.25), 200, 100, tl, br, o),
              1);
    EXPECT_EQ((std::vector<int>(o.v, o.v + 6)), (std::vector<int>{75, 25, -75, 125, 25, 50}));

    // Image sizes of 0: every marker sits at -25.
    ASSERT_EQ(Place(Decimal(0, 0), Decimal(-1.5, -1), Decimal(3, 3), 0, 0, tl, br, o), 1);
    EXPECT_EQ((std::vector<int>(o.v, o.v + 6)), (std::vector<int>(6, -25)));
}

TEST(MapPage, RefusesMapsWithoutAUsableRectangle) {
    const GeoPosition p = Decimal(0.05, 0.05);
    Offsets o;
    // A span of exactly 0.1 degree (6 minutes) is accepted.
    EXPECT_EQ(
        Place(p, p, p, 100, 100, Corner(0, 0, 0, 0, 0, 6, 0, 0), Corner(0, 6, 0, 0, 0, 0, 0, 0), o),
        1);
    EXPECT_EQ(o.v[0], 25);
    EXPECT_EQ(o.v[1], 25);

    const Offsets untouched;
    const std::vector<std::pair<MapCorner, MapCorner>> refused{
        {Corner(0, 0, 0, 0, 0, 6, 0, 0), Corner(0, 5, 59, 0, 0, 0, 0, 0)},      // lon span short
        {Corner(0, 0, 0, 0, 0, 5, 59, 0), Corner(0, 6, 0, 0, 0, 0, 0, 0)},      // lat span short
        {kBottomRight, kTopLeft},                                               // swapped
        {Corner(0, 50, 0, 0, 48, 10, 0, 0), Corner(1, 30, 0, 1, 47, 40, 0, 0)}, // west > east
        {Corner(1, 30, 0, 1, 47, 40, 0, 0), Corner(0, 50, 0, 0, 48, 10, 0, 0)}, // south > north
        {Corner(2, 0, 0, 0, 5, 0, 0, 0), Corner(2, 0, 0, 0, 4, 0, 0, 0)},       // no width
    };
    for (const auto& [tl, br] : refused) {
        Offsets r;
        EXPECT_EQ(Place(p, p, p, 640, 480, tl, br, r), 0);
        EXPECT_EQ((std::vector<int>(r.v, r.v + 6)),
                  (std::vector<int>(untouched.v, untouched.v + 6)));
    }
}

TEST(MapPage, FarAwayResultsSaturateInsteadOfOverflowing) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const GeoPosition p = At(0, 45, 0, 1, 47, 58, 10, 0);
    Offsets o;
    ASSERT_EQ(
        Place(p, Decimal(1e12, -1e12), Decimal(-1e12, 1e12), 640, 480, kTopLeft, kBottomRight, o),
        1);
    EXPECT_EQ(o.v[0], 180);
    EXPECT_EQ(o.v[2], kIntMax - 25);
    EXPECT_EQ(o.v[3], kIntMax - 25);
    EXPECT_EQ(o.v[4], kIntMin);
    EXPECT_EQ(o.v[5], kIntMin);

    ASSERT_EQ(Place(Decimal(inf, -inf), Decimal(nan, nan), Decimal(-inf, inf), 640, 480, kTopLeft,
                    kBottomRight, o),
              1);
    EXPECT_EQ(o.v[0], kIntMax - 25);
    EXPECT_EQ(o.v[1], kIntMax - 25);
    EXPECT_EQ(o.v[4], kIntMin);
    EXPECT_EQ(o.v[5], kIntMin);
    EXPECT_EQ(o.v[2], -25); // NaN has no position; it lands on the corner
    EXPECT_EQ(o.v[3], -25);

    // An infinite point on a zero-width image: 0 times infinity.
    ASSERT_EQ(Place(Decimal(inf, inf), p, p, 0, 0, kTopLeft, kBottomRight, o), 1);
    EXPECT_EQ(o.v[0], -25);
    EXPECT_EQ(o.v[1], -25);
}

TEST(MapPage, PageHasTheEighteenLinesOfTheTable) {
    const std::string page =
        ervalun::FormatMapPage(640, 480, {{180, 164}, {-120, -25}, {432, 369}});
    const std::vector<std::string> expected{
        R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN">)",
        "<html>",
        "<head>",
        "<title>Triangulation Ervalun</title>",
        R"(<meta http-equiv="content-type" content="text/html; charset=ISO-8859-1">)",
        R"(<meta name="author" content="ervalun">)",
        "</head>",
        "<body>",
        R"(<img src="./noire.gif" alt="1ere position" width="50" height="50")",
        R"(style="position:absolute;left:180px;top:164px;z-index:1">)",
        R"(<img src="./verte.gif" alt="2eme position" width="50" height="50")",
        R"(style="position:absolute;left:-120px;top:-25px;z-index:1">)",
        R"(<img src="./rouge.gif" alt="resultat" width="50" height="50")",
        R"(style="position:absolute;left:432px;top:369px;z-index:1">)",
        R"(<img src="./map.jpg" alt="carte" width="640" height="480")",
        R"(style="position:absolute;top:0px;left:0px;z-index:0">)",
        "</body>",
        "</html>",
    };
    EXPECT_EQ(Lines(page), expected);
    EXPECT_EQ(page.back(), '\n');
    EXPECT_EQ(page.find('\r'), std::string::npos);

    const std::vector<std::string> extremes =
        Lines(ervalun::FormatMapPage(4096, 0, {{kIntMin, kIntMax}, {0, 0}, {0, 0}}));
    ASSERT_EQ(extremes.size(), 18u);
    EXPECT_EQ(extremes[9],
              R"(style="position:absolute;left:-2147483648px;top:2147483647px;z-index:1">)");
    EXPECT_EQ(extremes[14], R"(<img src="./map.jpg" alt="carte" width="4096" height="0")");
}
