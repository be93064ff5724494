#include "engine/triangulation_engine.h"
#include "geodesy/geodesic_check.h"
#include "geodesy/geodesic_fix.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

using geodesy::FixStatus;
using geodesy::GeodesicFix;
using geodesy::IntersectBearings;
using geodesy::Sighting;
using GeographicLib::Geodesic;
using GeographicLib::Math;

const Geodesic& Earth() {
    return Geodesic::WGS84();
}

double Distance(double lat1, double lon1, double lat2, double lon2) {
    double s12 = 0.0;
    Earth().Inverse(lat1, lon1, lat2, lon2, s12);
    return s12;
}

// An observer at distance metres from the target, seen from the target at the given azimuth,
// with the true azimuth from there to the target.
Sighting Towards(double targetLat, double targetLon, double fromTarget, double metres) {
    Sighting o;
    double azi = 0.0;
    Earth().Direct(targetLat, targetLon, fromTarget, metres, o.latitude, o.longitude, azi);
    double back = 0.0;
    Earth().Inverse(o.latitude, o.longitude, targetLat, targetLon, o.azimuth, back);
    return o;
}

// The fix answers the bearing of the observer: the inverse problem from the observer to the
// fix gives back the azimuth (or its opposite, for a fix behind) to 1e-9 degree, or, near the
// observer where the doubles of a position are a nanometre apart, the fix lies within a few
// nanometres of the line. And the point of the observer's geodesic at that distance is the fix.
void ExpectOnLine(const Sighting& o, const GeodesicFix& fix, bool behind, const std::string& what) {
    double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
    Earth().Inverse(o.latitude, o.longitude, fix.latitude, fix.longitude, s12, azi1, azi2);
    const double turn = std::fabs(Math::AngDiff(o.azimuth + (behind ? 180.0 : 0.0), azi1));
    const double across = s12 * std::sin(turn * Math::pi() / 180);
    EXPECT_TRUE(turn < 1e-9 || across < 4e-9)
        << what << ": " << turn << " degree, " << across << " m across at " << s12 << " m";
    double lat = 0.0, lon = 0.0;
    Earth().Line(o.latitude, o.longitude, o.azimuth).Position(behind ? -s12 : s12, lat, lon);
    EXPECT_LT(Distance(lat, lon, fix.latitude, fix.longitude), std::max(4e-9, s12 * 2e-11)) << what;
}

TEST(GeodesicFixTest, RandomTargetsComeBackFromTheirTrueAzimuths) {
    std::mt19937_64 gen(20240611);
    std::uniform_real_distribution<double> latitude(-89.0, 89.0);
    std::uniform_real_distribution<double> longitude(-540.0, 540.0);
    std::uniform_real_distribution<double> azimuth(0.0, 360.0);
    std::uniform_real_distribution<double> logRange(0.0, 6.7); // 1 m to 5000 km
    std::bernoulli_distribution flip(0.25);
    for (int n = 0; n < 4000; ++n) {
        const double lat = latitude(gen);
        const double lon = longitude(gen);
        const double from1 = azimuth(gen);
        // Apart enough that the crossing is not a near-tangency, which the spread judges.
        const double from2 = from1 + 5.0 + 170.0 * std::uniform_real_distribution<double>()(gen);
        Sighting a = Towards(lat, lon, from1, std::pow(10.0, logRange(gen)));
        Sighting b = Towards(lat, lon, from2, std::pow(10.0, logRange(gen)));
        const bool behindA = flip(gen);
        const bool behindB = flip(gen);
        a.azimuth += behindA ? 180.0 : 0.0;
        b.azimuth += behindB ? 180.0 : 0.0;
        const GeodesicFix fix = IntersectBearings(a, b);
        const std::string what = "case " + std::to_string(n);
        ASSERT_TRUE(fix.Found()) << what << ": " << geodesy::FixStatusReason(fix.status);
        EXPECT_LT(Distance(fix.latitude, fix.longitude, lat, lon), 1e-6) << what;
        EXPECT_LE(std::fabs(fix.longitude), 180.0);
        ExpectOnLine(a, fix, behindA, what + ", first");
        ExpectOnLine(b, fix, behindB, what + ", second");
        EXPECT_EQ(fix.behind1, behindA && fix.distance1 > 1e-3) << what;
        EXPECT_EQ(fix.behind2, behindB && fix.distance2 > 1e-3) << what;
        EXPECT_LE(fix.iterations, 20) << what;
    }
}

TEST(GeodesicFixTest, KnownPlacesEquatorPolesAnd180thMeridian) {
    struct Case {
        const char* what;
        double lat, lon, baseline, from1, from2;
    };
    // Targets with two observers baseline metres apart, seen from the target at from1 and from2.
    const Case cases[] = {
        {"equator, 200 km", 0.0, 10.0, 200000, 200, 160},
        {"equator, 100 m", 0.0, -75.0, 100, 260, 280},
        {"80 N, 100 m", 80.0, 20.0, 100, 170, 200},
        {"80 S, 200 km", -80.0, -120.0, 200000, 10, 340},
        {"89.9 N, 200 km", 89.9, 0.0, 200000, 45, 300},
        {"180th meridian, 200 km", 10.0, 180.0, 200000, 250, 110},
        {"180th meridian, 100 m", -30.0, -179.9999, 100, 80, 100},
    };
    for (const Case& c : cases) {
        const Sighting a = Towards(c.lat, c.lon, c.from1, c.baseline);
        const Sighting b = Towards(c.lat, c.lon, c.from2, c.baseline);
        const GeodesicFix fix = IntersectBearings(a, b);
        ASSERT_TRUE(fix.Found()) << c.what;
        EXPECT_LT(Distance(fix.latitude, fix.longitude, c.lat, c.lon), 1e-6) << c.what;
        ExpectOnLine(a, fix, false, c.what);
        ExpectOnLine(b, fix, false, c.what);
        EXPECT_NEAR(fix.distance1, c.baseline, 1e-6) << c.what;
    }

    // Symmetric bearings from the equator cross on the meridian half-way.
    const GeodesicFix middle = IntersectBearings({0, 0, 45}, {0, 2, 315});
    ASSERT_TRUE(middle.Found());
    EXPECT_NEAR(middle.longitude, 1.0, 1e-12);
    EXPECT_NEAR(middle.distance1, middle.distance2, 1e-6);

    // Meridians from different longitudes meet at the pole ahead, at their longitude difference;
    // the same on the equator, where both poles are as near, takes the one ahead.
    for (const auto& [lat, lon2, azimuth] :
         std::vector<std::array<double, 3>>{{10, 3, 0}, {-10, 3, 180}, {0, 3, 0}, {0, 3, 180}}) {
        const GeodesicFix pole = IntersectBearings({lat, 0, azimuth}, {lat, lon2, azimuth});
        ASSERT_TRUE(pole.Found()) << lat << " " << azimuth;
        EXPECT_DOUBLE_EQ(pole.latitude, azimuth == 0 ? 90.0 : -90.0);
        EXPECT_NEAR(pole.crossingAngle, lon2, 1e-9);
        EXPECT_FALSE(pole.behind1 || pole.behind2);
    }
}

TEST(GeodesicFixTest, ParallelLinesHaveNoFixNearlyParallelOnesDo) {
    // The same line given twice, along a meridian, along the equator, and along a geodesic where
    // the second observer stands on the first one's line with its azimuth there.
    double lat2 = 0.0, lon2 = 0.0, azi2 = 0.0;
    Earth().Direct(45, 6, 30, 500000, lat2, lon2, azi2);
    const std::vector<std::pair<Sighting, Sighting>> same = {
        {{45, 6, 30}, {45, 6, 30}},        {{45, 6, 30}, {45, 6, 210}},
        {{10, 6, 0}, {50, 6, 180}},        {{0, 6, 90}, {0, 100, 90}},
        {{45, 6, 30}, {lat2, lon2, azi2}}, {{45, 6, 30}, {lat2, lon2, azi2 + 180}},
    };
    for (const auto& [a, b] : same) {
        const GeodesicFix fix = IntersectBearings(a, b);
        EXPECT_EQ(fix.status, FixStatus::Parallel) << b.latitude << " " << b.azimuth;
        EXPECT_FALSE(geodesy::FixStatusReason(fix.status).empty());
    }

    // A second observer 100 m beside the first one's line, looking along it: a few thousandths
    // of a degree of difference and the lines still cross, hundreds of kilometres away.
    double latB = 0.0, lonB = 0.0, aziB = 0.0;
    Earth().Direct(lat2, lon2, azi2 + 90, 100, latB, lonB, aziB);
    aziB -= 90;
    for (double turn : {0.001, -0.003, 0.01, 1.0}) {
        const Sighting a{45, 6, 30};
        const Sighting b{latB, lonB, aziB + turn};
        const GeodesicFix fix = IntersectBearings(a, b);
        ASSERT_TRUE(fix.Found()) << turn;
        EXPECT_GT(fix.distance2, 100 / std::sin(std::fabs(turn) * Math::pi() / 180) / 2);
        ExpectOnLine(a, fix, fix.behind1, "nearly parallel, first");
        ExpectOnLine(b, fix, fix.behind2, "nearly parallel, second");
        EXPECT_NEAR(fix.crossingAngle, std::fabs(turn), std::fabs(turn) * 0.5);
    }

    EXPECT_EQ(IntersectBearings({90.5, 0, 10}, {45, 0, 20}).status, FixStatus::LatitudeBeyondPole);
    EXPECT_EQ(IntersectBearings({45, NAN, 10}, {45, 0, 20}).status, FixStatus::NotFinite);
}

TEST(GeodesicCheckTest, FiguresOfTheReadmeExample) {
    // Le-Brévent 108 and Montenvers 264, as the dialog holds them.
    double lat1 = 0.0, lon1 = 0.0, lat2 = 0.0, lon2 = 0.0;
    TriangulationEngine::DmsToDecimal(45, 56, 3, lat1);
    TriangulationEngine::DmsToDecimal(6, 50, 15, lon1);
    TriangulationEngine::DmsToDecimal(45, 55, 44, lat2);
    TriangulationEngine::DmsToDecimal(6, 55, 7, lon2);
    geodesy::CheckInput input;
    input.first = {lat1, lon1, 108};
    input.second = {lat2, lon2, 264};
    input.known =
        geodesy::Place{"Chamonix", 45 + 55 / 60.0 + 25 / 3600.0, 6 + 52 / 60.0 + 10 / 3600.0};
    const geodesy::CheckFigures figures = geodesy::RunCheck(input);

    // The flat fix carries the dialog's digits.
    TriangulationEngine engine;
    double d[6];
    int west = 0, south = 0;
    std::string name;
    engine.Triangulate(6, 50, 15, 0, 45, 56, 3, 0, 108, 6, 55, 7, 0, 45, 55, 44, 0, 264, d[0], d[1],
                       d[2], west, d[3], d[4], d[5], south, name);
    EXPECT_EQ(figures.flatLatitude, engine.result.latitude);
    EXPECT_EQ(figures.flatLongitude, engine.result.longitude);
    EXPECT_TRUE(figures.flatMeaningful);

    ASSERT_TRUE(figures.fix.Found());
    EXPECT_GT(figures.offset, 440);
    EXPECT_LT(figures.offset, 490);
    const std::vector<std::string> verdict = geodesy::Verdict(figures);
    ASSERT_FALSE(verdict.empty());
    EXPECT_EQ(verdict[0], "Écart entre le calcul plan et le calcul géodésique : " +
                              geodesy::FormatDistance(figures.offset));
    // 108 and 264 cross at 24 degrees.
    EXPECT_NE(verdict[1].find("angle d'intersection faible"), std::string::npos);
    EXPECT_LT(figures.knownDistance, 2000);

    // The spread grows with the error, about in proportion for small errors; a declination
    // turns both bearings for the check and leaves the flat fix alone.
    input.bearingError = 0.01;
    const double small = geodesy::RunCheck(input).spread;
    input.bearingError = 0.1;
    const double larger = geodesy::RunCheck(input).spread;
    EXPECT_NEAR(larger / small, 10.0, 0.5);
    input.bearingError = 0.0;
    EXPECT_EQ(geodesy::RunCheck(input).spread, 0.0);

    input.declination = 2.5;
    const geodesy::CheckFigures turned = geodesy::RunCheck(input);
    const GeodesicFix direct = IntersectBearings({lat1, lon1, 110.5}, {lat2, lon2, 266.5});
    EXPECT_EQ(turned.fix.latitude, direct.latitude);
    EXPECT_EQ(turned.fix.longitude, direct.longitude);
    EXPECT_EQ(turned.flatLatitude, figures.flatLatitude);
    EXPECT_NE(geodesy::Verdict(turned).back().find("2.50° est"), std::string::npos);
}

TEST(GeodesicCheckTest, VerdictWarnsBehindAcrossThe180thMeridianAndWithoutFix) {
    geodesy::CheckInput behind;
    behind.first = {45, 6, 270}; // looks west, the fix is east of it
    behind.second = {45.1, 6.1, 180};
    const std::vector<std::string> lines = geodesy::Verdict(geodesy::RunCheck(behind));
    bool first = false, second = false;
    for (const std::string& line : lines) {
        first = first || line.find("derrière le 1er") != std::string::npos;
        second = second || line.find("derrière le 2e") != std::string::npos;
    }
    EXPECT_TRUE(first);
    EXPECT_FALSE(second);

    // Across the 180th meridian the flat plane means nothing, and the verdict says so.
    geodesy::CheckInput across;
    across.first = {-17, 179.8, 100};
    across.second = {-17.2, -179.9, 300};
    const geodesy::CheckFigures figures = geodesy::RunCheck(across);
    ASSERT_TRUE(figures.fix.Found());
    EXPECT_FALSE(figures.flatMeaningful);
    EXPECT_NE(geodesy::Verdict(figures)[0].find("n'a pas de sens"), std::string::npos);

    geodesy::CheckInput parallel;
    parallel.first = {0, 6, 90};
    parallel.second = {0, 7, 270};
    const geodesy::CheckFigures none = geodesy::RunCheck(parallel);
    EXPECT_FALSE(none.fix.Found());
    EXPECT_EQ(geodesy::Verdict(none)[0],
              "Pas de point géodésique : lignes parallèles ou confondues.");
}

TEST(GeodesicCheckTest, TextsOfTheWindowRoundOnceAndCarry) {
    EXPECT_EQ(geodesy::FormatDms(45.99999999999, true), "46° 0' 0.000\" N");
    EXPECT_EQ(geodesy::FormatDms(-(6 + 52 / 60.0 + 7.4 / 3600), false), "6° 52' 7.400\" O");
    EXPECT_EQ(geodesy::FormatDistance(465.6), "466 m");
    EXPECT_EQ(geodesy::FormatDistance(1432.0), "1.43 km");
    EXPECT_EQ(geodesy::FormatDistance(0.004), "0.00 m");
    EXPECT_EQ(geodesy::FormatDistance(NAN), "—");
    EXPECT_EQ(geodesy::FormatFixed(-0.0000001, 3), "0.000");
}

} // namespace
