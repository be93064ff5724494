#include "geodesy/bearing_estimate.h"
#include "geodesy/confidence.h"
#include "geodesy/geodesic_fix.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

using geodesy::BearingEstimate;
using geodesy::BearingInput;
using geodesy::EstimateOptions;
using geodesy::EstimatePosition;
using geodesy::EstimateStatus;
using geodesy::Estimator;
using GeographicLib::Geodesic;

double Distance(double lat1, double lon1, double lat2, double lon2) {
    double s12 = 0.0;
    Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12);
    return s12;
}

// A station metres away from the target, seen from it at fromTarget degrees, with the exact
// azimuth from there to the target plus error degrees.
BearingInput Station(double lat, double lon, double fromTarget, double metres, double error = 0.0) {
    BearingInput b;
    double azi = 0.0;
    Geodesic::WGS84().Direct(lat, lon, fromTarget, metres, b.latitude, b.longitude, azi);
    double back = 0.0;
    Geodesic::WGS84().Inverse(b.latitude, b.longitude, lat, lon, b.azimuth, back);
    b.azimuth += error;
    return b;
}

EstimateOptions With(Estimator estimator, bool estimateSigma = false) {
    EstimateOptions o;
    o.estimator = estimator;
    o.estimateSigma = estimateSigma;
    return o;
}

// Random targets anywhere short of the poles, stations 200 m to 60 km away all around.
struct RandomCase {
    double lat = 0.0;
    double lon = 0.0;
    std::vector<BearingInput> bearings;
};

RandomCase MakeCase(std::mt19937_64& gen, int n, double noiseDegrees) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, noiseDegrees);
    RandomCase c;
    c.lat = -80 + 160 * unit(gen);
    c.lon = -180 + 360 * unit(gen);
    const double first = 360 * unit(gen);
    for (int i = 0; i < n; ++i) {
        // Spread over at least 20 degrees between neighbours so that lines do cross.
        const double from = first + i * (340.0 / n) * (0.6 + 0.4 * unit(gen));
        const double range = 200 * std::pow(300.0, unit(gen));
        c.bearings.push_back(Station(c.lat, c.lon, from, range, noise(gen)));
    }
    return c;
}

TEST(BearingEstimateTest, TwoBearingsGiveTheGeodesicFix) {
    std::mt19937_64 gen(20261207);
    for (int k = 0; k < 500; ++k) {
        const RandomCase c = MakeCase(gen, 2, 3.0);
        const geodesy::GeodesicFix fix = geodesy::IntersectBearings(
            {c.bearings[0].latitude, c.bearings[0].longitude, c.bearings[0].azimuth},
            {c.bearings[1].latitude, c.bearings[1].longitude, c.bearings[1].azimuth});
        const BearingEstimate e = EstimatePosition(c.bearings, With(Estimator::MaximumLikelihood));
        ASSERT_TRUE(fix.Found()) << k;
        ASSERT_TRUE(e.Found()) << k << " " << geodesy::EstimateStatusReason(e.status);
        EXPECT_LT(Distance(fix.latitude, fix.longitude, e.latitude, e.longitude), 1e-3) << k;
    }
}

TEST(BearingEstimateTest, ExactBearingsRecoverTheTarget) {
    std::mt19937_64 gen(7);
    for (Estimator estimator :
         {Estimator::MaximumLikelihood, Estimator::Huber, Estimator::Andrews}) {
        for (int k = 0; k < 240; ++k) {
            const int n = 3 + k % 8;
            const RandomCase c = MakeCase(gen, n, 0.0);
            const BearingEstimate e = EstimatePosition(c.bearings, With(estimator, k % 2 == 1));
            ASSERT_TRUE(e.Found()) << k << " " << geodesy::EstimateStatusReason(e.status);
            EXPECT_LT(Distance(c.lat, c.lon, e.latitude, e.longitude), 1e-3) << k;
            EXPECT_EQ(e.used, n);
        }
    }
}

} // namespace
