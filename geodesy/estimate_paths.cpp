// The lines and the ellipse of an estimate as points to draw or export, dense enough that
// straight segments in latitude/longitude stay within a given distance of the true curves.
#include "geodesy/bearing_estimate.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <cmath>
#include <functional>

namespace ervalun::geodesy {

namespace {

using GeographicLib::Geodesic;
using GeographicLib::GeodesicLine;
using GeographicLib::Math;

// Never more points than this on one curve: a 20,000 km geodesic at 1 m needs far fewer.
constexpr int kMaxSegments = 1 << 20;

// The curve sampled at k + 1 evenly spaced parameters in [0, 1], k doubling until the middle of
// every straight segment lies within half of maxDeviation of the curve point half-way along.
// The half leaves room for the largest gap falling a little off the middle.
std::vector<GeoPoint> Densify(const std::function<GeoPoint(double)>& curve, int segments,
                              double maxDeviation) {
    const Geodesic& earth = Geodesic::WGS84();
    std::vector<GeoPoint> points;
    for (int k = segments; k <= kMaxSegments; k *= 2) {
        points.clear();
        for (int j = 0; j <= k; ++j) {
            points.push_back(curve(static_cast<double>(j) / k));
        }
        bool fine = true;
        for (int j = 0; j < k && fine; ++j) {
            const GeoPoint mid = curve((j + 0.5) / k);
            const double lat = (points[j].latitude + points[j + 1].latitude) / 2;
            const double lon = (points[j].longitude + points[j + 1].longitude) / 2;
            double s12 = 0.0;
            earth.Inverse(lat, lon, mid.latitude, mid.longitude, s12);
            fine = s12 <= maxDeviation / 2;
        }
        if (fine) {
            return points;
        }
    }
    return points;
}

} // namespace

std::vector<GeoPoint> GeodesicPath(double latitude, double longitude, double azimuth, double length,
                                   double maxDeviation) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || !std::isfinite(azimuth) ||
        std::fabs(latitude) > 90 || !std::isfinite(length) || !(maxDeviation > 0)) {
        return {};
    }
    const GeodesicLine line =
        Geodesic::WGS84().Line(latitude, longitude, azimuth,
                               GeodesicLine::LATITUDE | GeodesicLine::LONGITUDE |
                                   GeodesicLine::DISTANCE_IN | GeodesicLine::LONG_UNROLL);
    // Longitudes unrolled: consecutive points never jump by 360 degrees.
    auto curve = [&](double t) {
        GeoPoint p;
        double azi2 = 0.0, s12 = 0.0, m12 = 0.0, M12 = 0.0, M21 = 0.0, S12 = 0.0;
        line.GenPosition(false, t * length,
                         GeodesicLine::LATITUDE | GeodesicLine::LONGITUDE |
                             GeodesicLine::LONG_UNROLL,
                         p.latitude, p.longitude, azi2, s12, m12, M12, M21, S12);
        return p;
    };
    return Densify(curve, 1, maxDeviation);
}

std::vector<GeoPoint> EllipseRing(const BearingEstimate& estimate, double maxDeviation) {
    const ConfidenceEllipse& e = estimate.ellipse;
    if (!estimate.Found() || !std::isfinite(e.semiMajor) || !std::isfinite(e.semiMinor) ||
        !(maxDeviation > 0)) {
        return {};
    }
    double sphi = 0.0, cphi = 0.0;
    Math::sincosd(e.majorAzimuth, sphi, cphi);
    const Geodesic& earth = Geodesic::WGS84();
    // The point at parameter t of the ellipse in east/north metres around the estimate, carried
    // onto the ellipsoid at that distance and direction.
    auto curve = [&](double t) {
        const double angle = 2 * Math::pi() * t;
        const double major = e.semiMajor * std::cos(angle);
        const double minor = e.semiMinor * std::sin(angle);
        const double east = major * sphi + minor * cphi;
        const double north = major * cphi - minor * sphi;
        GeoPoint p;
        double lon = 0.0;
        earth.Direct(estimate.latitude, estimate.longitude, Math::atan2d(east, north),
                     std::hypot(east, north), p.latitude, lon);
        p.longitude = estimate.longitude + Math::AngDiff(estimate.longitude, lon);
        return p;
    };
    std::vector<GeoPoint> ring = Densify(curve, 16, maxDeviation);
    // The last parameter is the first point again: the ring is closed.
    ring.back() = ring.front();
    return ring;
}

} // namespace ervalun::geodesy
