#pragma once

// What the tests of the many-bearing estimate share: stations placed around a known target.

#include "geodesy/bearing_estimate.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <random>
#include <vector>

namespace bearing_cases {

using ervalun::geodesy::BearingInput;
using ervalun::geodesy::EstimateOptions;
using ervalun::geodesy::Estimator;
using GeographicLib::Geodesic;

inline double Distance(double lat1, double lon1, double lat2, double lon2) {
    double s12 = 0.0;
    Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s12);
    return s12;
}

// A station metres away from the target, seen from it at fromTarget degrees, with the exact
// azimuth from there to the target plus error degrees.
inline BearingInput Station(double lat, double lon, double fromTarget, double metres,
                            double error = 0.0) {
    BearingInput b;
    double azi = 0.0;
    Geodesic::WGS84().Direct(lat, lon, fromTarget, metres, b.latitude, b.longitude, azi);
    double back = 0.0;
    Geodesic::WGS84().Inverse(b.latitude, b.longitude, lat, lon, b.azimuth, back);
    b.azimuth += error;
    return b;
}

inline EstimateOptions With(Estimator estimator, bool estimateSigma = false) {
    EstimateOptions o;
    o.estimator = estimator;
    o.estimateSigma = estimateSigma;
    return o;
}

// Random targets anywhere short of the poles, stations all around, by default 200 m to 60 km
// away (nearest to farthest up to farRatio).
struct RandomCase {
    double lat = 0.0;
    double lon = 0.0;
    std::vector<BearingInput> bearings;
};

inline RandomCase MakeCase(std::mt19937_64& gen, int n, double noiseDegrees, double nearest = 200.0,
                           double farRatio = 300.0) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::normal_distribution<double> noise(0.0, noiseDegrees);
    RandomCase c;
    c.lat = -80 + 160 * unit(gen);
    c.lon = -180 + 360 * unit(gen);
    const double first = 360 * unit(gen);
    for (int i = 0; i < n; ++i) {
        // Spread over at least 20 degrees between neighbours so that lines do cross.
        const double from = first + i * (340.0 / n) * (0.6 + 0.4 * unit(gen));
        const double range = nearest * std::pow(farRatio, unit(gen));
        c.bearings.push_back(Station(c.lat, c.lon, from, range, noise(gen)));
    }
    return c;
}

} // namespace bearing_cases
