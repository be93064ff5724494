// Where one more bearing would shrink the confidence ellipse most.
#include "geodesy/bearing_estimate.h"
#include "geodesy/confidence.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <utility>

namespace ervalun::geodesy {

namespace {

using GeographicLib::Geodesic;
using GeographicLib::Math;

// A bearing from closer than this to the estimate, in metres, says nothing of it.
constexpr double kTooClose = 1.0;
// A known position this close to a station already used, in metres, is that station.
constexpr double kSameStation = 10.0;
// The local flat score of a position is within this factor of its geodesic score inside 50 km
// (the equirectangular distances and directions are good to a few parts in ten thousand there);
// the margin keeps the prefilter from ever dropping the best.
constexpr double kFlatMargin = 1.03;

// Meridian and prime-vertical radii of curvature at a latitude, metres.
void Radii(double latitude, double& meridian, double& vertical) {
    const double a = Geodesic::WGS84().EquatorialRadius();
    const double e2 = Geodesic::WGS84().Flattening() * (2 - Geodesic::WGS84().Flattening());
    const double s = std::sin(latitude * Math::pi() / 180);
    const double w = std::sqrt(1 - e2 * s * s);
    meridian = a * (1 - e2) / (w * w * w);
    vertical = a / w;
}

// How much a bearing along the unit direction (e, n) through the estimate, from distance d,
// adds to the information, up to its concentration: g^T C g with g the azimuth's gradient,
// perpendicular to the line and of length 1 / d.
double Gain(const BearingEstimate& est, double e, double n, double d) {
    const double across = est.covEE * n * n - 2 * est.covEN * e * n + est.covNN * e * e;
    return across / (d * d);
}

} // namespace

NextStation SuggestNextStation(const BearingEstimate& estimate,
                               const std::vector<BearingInput>& bearings,
                               const EstimateOptions& /*options*/,
                               const std::vector<KnownPosition>& directory, double radius) {
    NextStation best;
    if (!estimate.Found() || !(radius > 0) || !std::isfinite(estimate.kappa)) {
        return best;
    }
    const double lat0 = estimate.latitude;
    const double lon0 = estimate.longitude;
    double meridian = 0.0, vertical = 0.0;
    Radii(lat0, meridian, vertical);
    // A box in latitude and longitude that holds the whole circle, with room to spare.
    const double dLat =
        radius * 1.01 / (Geodesic::WGS84().EquatorialRadius() * 0.99) * 180 / Math::pi();
    const double nearPole = std::fabs(lat0) + dLat;
    const double dLon =
        nearPole >= 89.0 ? 360.0 : dLat / std::cos(nearPole * Math::pi() / 180) * 1.01;
    const double metresPerLat = meridian * Math::pi() / 180;
    const double metresPerLon = vertical * std::cos(lat0 * Math::pi() / 180) * Math::pi() / 180;
    // Where to send the next observer: not inside the area to search (from there the target is
    // searched, not sighted), and not back to a station already used.
    const double nearest = std::isfinite(estimate.ellipse.semiMajor)
                               ? std::max(kTooClose, estimate.ellipse.semiMajor)
                               : kTooClose;
    std::vector<std::pair<double, double>> used;
    for (const BearingInput& b : bearings) {
        if (!b.excluded) {
            used.emplace_back(std::remainder(b.longitude - lon0, 360.0) * metresPerLon,
                              (b.latitude - lat0) * metresPerLat);
        }
    }
    const auto atStation = [&used](double e, double n) {
        return std::any_of(used.begin(), used.end(), [e, n](const auto& s) {
            return std::hypot(s.first - e, s.second - n) < kSameStation;
        });
    };

    std::vector<std::pair<double, std::size_t>> candidates;
    for (std::size_t i = 0; i < directory.size(); ++i) {
        const KnownPosition& p = directory[i];
        const double dlat = p.latitude - lat0;
        if (!(std::fabs(dlat) <= dLat)) {
            continue;
        }
        const double dlon = std::remainder(p.longitude - lon0, 360.0);
        if (!(std::fabs(dlon) <= dLon)) {
            continue;
        }
        const double e = dlon * metresPerLon;
        const double n = dlat * metresPerLat;
        const double d = std::hypot(e, n);
        if (d > radius * 1.01 || d < nearest || atStation(e, n)) {
            continue;
        }
        candidates.emplace_back(Gain(estimate, e / d, n / d, d), i);
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const auto& x, const auto& y) { return x.first > y.first; });

    const Geodesic& earth = Geodesic::WGS84();
    double bestGain = -1.0;
    for (const auto& [flat, index] : candidates) {
        if (bestGain > 0 && flat * kFlatMargin < bestGain) {
            break; // no later candidate can beat the best any more
        }
        const KnownPosition& p = directory[index];
        double s12 = 0.0, azi1 = 0.0, azi2 = 0.0, m12 = 0.0;
        earth.Inverse(p.latitude, p.longitude, lat0, lon0, s12, azi1, azi2, m12);
        if (s12 > radius || s12 < nearest || !(m12 > 0)) {
            continue;
        }
        double se = 0.0, ce = 0.0;
        Math::sincosd(azi2, se, ce);
        // The line reaches the estimate along azi2; m12 stands for the distance in the gradient.
        const double gain = Gain(estimate, se, ce, m12);
        if (gain > bestGain) {
            bestGain = gain;
            best.found = true;
            best.name = p.name;
            best.latitude = p.latitude;
            best.longitude = p.longitude;
            best.distance = s12;
        }
    }
    if (best.found) {
        // det(I + q g g^T) = det(I) (1 + q g^T C g): the area shrinks by the square root.
        const double info = estimate.kappa * BesselRatio(estimate.kappa);
        best.predictedAreaHectares = estimate.ellipse.areaHectares / std::sqrt(1 + info * bestGain);
    }
    return best;
}

} // namespace ervalun::geodesy
