// The many-bearing estimate's warnings, its next-station suggestion and its drawn curves.
#include "geodesy/bearing_estimate.h"
#include "tests/bearing_cases.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

using geodesy::BearingEstimate;
using geodesy::BearingInput;
using geodesy::EstimatePosition;
using GeographicLib::Geodesic;

using namespace bearing_cases;

// Flags and warnings by geometry: all around, a narrow fan, a fan of stations close by with
// large sigmas, and a bearing taken the wrong way round.
TEST(BearingEstimateTest, GeometryWarnings) {
    struct Row {
        std::vector<double> from; // directions of the stations seen from the target
        double range;
        double sigma;
        int reversed; // index of a bearing turned by 180 degrees, or -1
        bool lowCrossing, narrowSpread, beyondStation, behind;
        std::vector<std::string> words; // found in the warnings, in this order
    };
    const Row rows[] = {
        {{0, 100, 230}, 8000, 2, -1, false, false, false, false, {}},
        {{10, 18, 30},
         8000,
         2,
         -1,
         true,
         true,
         false,
         false,
         {"sous-estime", "Angles d'intersection faibles"}},
        {{0, 8, 16}, 1000, 10, -1, true, true, true, false, {"sous-estime", "grand demi-axe"}},
        {{0, 90, 180, 270},
         8000,
         2,
         2,
         false,
         false,
         false,
         true,
         {"derrière la station « S2 »", "aberrant : « S2 »"}},
    };
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const Row& row = rows[k];
        std::vector<BearingInput> bearings;
        for (double from : row.from) {
            bearings.push_back(Station(46.2, 7.3, from, row.range));
            bearings.back().name = std::string("S").append(std::to_string(bearings.size() - 1));
            bearings.back().sigma = row.sigma;
        }
        if (row.reversed >= 0) {
            bearings[static_cast<std::size_t>(row.reversed)].azimuth += 180;
        }
        const BearingEstimate e = EstimatePosition(bearings, {});
        ASSERT_TRUE(e.Found()) << k;
        EXPECT_EQ(e.flags.lowCrossing, row.lowCrossing) << k << " " << e.bestCrossingAngle;
        EXPECT_EQ(e.flags.narrowSpread, row.narrowSpread) << k << " " << e.stationSpread;
        EXPECT_EQ(e.flags.ellipseBeyondStation, row.beyondStation) << k;
        EXPECT_EQ(e.flags.behind, row.behind) << k;
        const std::vector<std::string> warnings = geodesy::EstimateWarnings(e);
        std::string all;
        for (const std::string& w : warnings) {
            all += w + "\n";
        }
        std::size_t at = 0;
        for (const std::string& word : row.words) {
            at = all.find(word, at);
            EXPECT_NE(at, std::string::npos) << k << " " << word << "\n" << all;
        }
        EXPECT_EQ(warnings.empty(), row.words.empty()) << k << " " << all;
        if (row.reversed >= 0) {
            const auto& r = e.residuals[static_cast<std::size_t>(row.reversed)];
            EXPECT_TRUE(r.behind && r.outlier);
            EXPECT_GT(std::fabs(r.residual), 170.0);
        }
    }
}

// The suggestion against brute force: each candidate alone gives its predicted area, which must
// be the area of the estimate once an exact bearing from there is added (the estimate does not
// move, the information just adds up); the pick is the candidate of least area, within 50 km.
TEST(BearingEstimateTest, NextStationShrinksTheEllipseMost) {
    const double lat = 44.5;
    const double lon = -0.6;
    std::vector<BearingInput> bearings;
    for (double from : {170.0, 185.0, 195.0}) {
        bearings.push_back(Station(lat, lon, from, 9000.0, from == 185.0 ? 1.0 : -0.5));
    }
    const BearingEstimate e = EstimatePosition(bearings, {});
    ASSERT_TRUE(e.Found());
    auto known = [&](const std::string& name, double from, double metres) {
        KnownPosition p;
        double azi = 0.0;
        Geodesic::WGS84().Direct(e.latitude, e.longitude, from, metres, p.latitude, p.longitude,
                                 azi);
        p.name = name;
        return p;
    };
    std::vector<KnownPosition> small = {known("Sud", 180, 10000), known("Est", 90, 10000),
                                        known("Loin", 90, 80000), known("Nord-Est", 45, 30000)};
    KnownPosition second;
    second.name = "Station-2";
    second.latitude = bearings[1].latitude;
    second.longitude = bearings[1].longitude;
    small.push_back(second);
    std::mt19937_64 gen(17);
    std::vector<KnownPosition> large;
    for (int k = 0; k < 300; ++k) {
        large.push_back(known(std::string("P").append(std::to_string(k)),
                              std::uniform_real_distribution<>(0, 360)(gen),
                              std::uniform_real_distribution<>(100, 60000)(gen)));
    }
    for (const auto* directory : {&small, &large}) {
        const geodesy::NextStation pick = geodesy::SuggestNextStation(e, bearings, {}, *directory);
        ASSERT_TRUE(pick.found);
        double bestArea = e.ellipse.areaHectares;
        std::string bestName;
        for (const KnownPosition& p : *directory) {
            const geodesy::NextStation alone = geodesy::SuggestNextStation(e, bearings, {}, {p});
            const double range = Distance(p.latitude, p.longitude, e.latitude, e.longitude);
            const bool atStation = std::any_of(bearings.begin(), bearings.end(), [&p](auto& b) {
                return Distance(p.latitude, p.longitude, b.latitude, b.longitude) < 5;
            });
            // Beyond 50 km, inside the area to search, or at a station already used: never.
            if (range > 50000 || range < e.ellipse.semiMajor || atStation) {
                EXPECT_FALSE(alone.found) << p.name;
                continue;
            }
            ASSERT_TRUE(alone.found) << p.name;
            std::vector<BearingInput> more = bearings;
            more.push_back(Station(e.latitude, e.longitude, 0, 0));
            more.back().latitude = p.latitude;
            more.back().longitude = p.longitude;
            double back = 0.0;
            Geodesic::WGS84().Inverse(p.latitude, p.longitude, e.latitude, e.longitude,
                                      more.back().azimuth, back);
            const BearingEstimate after = EstimatePosition(more, {});
            ASSERT_TRUE(after.Found());
            EXPECT_NEAR(alone.predictedAreaHectares, after.ellipse.areaHectares,
                        1e-4 * after.ellipse.areaHectares)
                << p.name;
            if (alone.predictedAreaHectares < bestArea) {
                bestArea = alone.predictedAreaHectares;
                bestName = p.name;
            }
        }
        EXPECT_EQ(pick.name, bestName);
        EXPECT_DOUBLE_EQ(pick.predictedAreaHectares, bestArea);
    }
    EXPECT_EQ(geodesy::SuggestNextStation(e, bearings, {}, small).name, "Est");
}

// Between two points of a drawn line, the straight segment in latitude/longitude stays within
// maxDeviation of the geodesic: checked a quarter, half and three quarters of the way, against
// the geodesic point as far along (an upper bound of the distance to the curve). The ellipse ring
// likewise, by the radial gap to the ellipse in the direction of the segment's point.
TEST(BearingEstimateTest, DrawnCurvesStayCloseToTheTrueOnes) {
    struct Line {
        double lat, lon, azimuth, length, maxDeviation;
    };
    const Line lines[] = {{45.0, 6.0, 60.0, 50000.0, 1.0},
                          {-33.0, 151.0, 270.0, 3.0e6, 10.0},
                          {10.0, 179.95, 80.0, 20000.0, 0.5}, // across the antimeridian
                          {89.5, 0.0, 10.0, 200000.0, 5.0}};  // over the pole
    for (const Line& l : lines) {
        const std::vector<geodesy::GeoPoint> path =
            geodesy::GeodesicPath(l.lat, l.lon, l.azimuth, l.length, l.maxDeviation);
        ASSERT_GE(path.size(), 2u);
        const GeographicLib::GeodesicLine line = Geodesic::WGS84().Line(l.lat, l.lon, l.azimuth);
        double endLat = 0.0, endLon = 0.0;
        line.Position(l.length, endLat, endLon);
        EXPECT_LT(Distance(path.front().latitude, path.front().longitude, l.lat, l.lon), 1e-6);
        EXPECT_LT(Distance(path.back().latitude, path.back().longitude, endLat, endLon), 1e-6);
        const double segments = static_cast<double>(path.size() - 1);
        for (std::size_t j = 0; j + 1 < path.size(); ++j) {
            EXPECT_LT(std::fabs(path[j + 1].longitude - path[j].longitude), 90.0);
            for (double t : {0.25, 0.5, 0.75}) {
                const double lat = path[j].latitude + t * (path[j + 1].latitude - path[j].latitude);
                const double lon =
                    path[j].longitude + t * (path[j + 1].longitude - path[j].longitude);
                double curveLat = 0.0, curveLon = 0.0;
                line.Position((static_cast<double>(j) + t) / segments * l.length, curveLat,
                              curveLon);
                EXPECT_LE(Distance(lat, lon, curveLat, curveLon), l.maxDeviation) << j << " " << t;
            }
        }
    }

    std::mt19937_64 gen(23);
    for (int k = 0; k < 6; ++k) {
        RandomCase c = MakeCase(gen, 3 + k, 4.0, 5000.0, 10.0);
        const BearingEstimate e = EstimatePosition(c.bearings, {});
        ASSERT_TRUE(e.Found());
        const double maxDeviation = k % 2 == 0 ? 1.0 : 0.2;
        const std::vector<geodesy::GeoPoint> ring = geodesy::EllipseRing(e, maxDeviation);
        ASSERT_GE(ring.size(), 4u);
        EXPECT_EQ(ring.front().latitude, ring.back().latitude);
        EXPECT_EQ(ring.front().longitude, ring.back().longitude);
        // The radius of the ellipse towards azimuth a: 1 / sqrt(u^T (scale C)^-1 u).
        const double det = e.covEE * e.covNN - e.covEN * e.covEN;
        auto radius = [&](double a) {
            const double ue = std::sin(a), un = std::cos(a);
            const double q = (e.covNN * ue * ue - 2 * e.covEN * ue * un + e.covEE * un * un) / det;
            return std::sqrt(e.ellipse.scale / q);
        };
        for (std::size_t j = 0; j + 1 < ring.size(); ++j) {
            for (double t : {0.0, 0.25, 0.5, 0.75}) {
                const double lat = ring[j].latitude + t * (ring[j + 1].latitude - ring[j].latitude);
                const double lon =
                    ring[j].longitude + t * (ring[j + 1].longitude - ring[j].longitude);
                double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
                Geodesic::WGS84().Inverse(e.latitude, e.longitude, lat, lon, s12, azi1, azi2);
                const double gap = std::fabs(s12 - radius(azi1 * GeographicLib::Math::pi() / 180));
                EXPECT_LE(gap, t == 0.0 ? 1e-6 : maxDeviation) << k << " " << j << " " << t;
            }
        }
    }
}

} // namespace
