#include "geodesy/geodesic_fix.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Gnomonic.hpp>
#include <GeographicLib/Math.hpp>

#include <array>
#include <cmath>

namespace ervalun::geodesy {

namespace {

using GeographicLib::Geodesic;
using GeographicLib::GeodesicLine;
using GeographicLib::Gnomonic;
using GeographicLib::Math;

// The iteration stops once a step moves the estimate by less than this, in metres. Convergence
// is quadratic, so the estimate after that step is far closer than this.
constexpr double kStepDone = 1e-3;
constexpr int kMaxIterations = 60;
// Lines crossing at less than 1e-6 degree are parallel: the same threshold the flat solver
// applies to its slopes, and below it the fix moves by kilometres for a nanometre of noise.
const double kParallelSine = std::sin(1e-6 * Math::pi() / 180);
// A step in the gnomonic plane is cut to this, in metres: far from its centre the projection
// stretches and its reverse may fail to converge.
constexpr double kMaxStep = 2.0e6;
// Arc, in degrees on the auxiliary sphere (about 1.1 km), between the two points that give each
// line's direction in the projection.
constexpr double kProbeArc = 0.01;
// Below this, in metres, an observer stands at the fix: it is neither ahead nor behind.
constexpr double kAtObserver = 1e-3;

using Vec3 = std::array<double, 3>;

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Norm(const Vec3& a) {
    return std::sqrt(Dot(a, a));
}

// An observer on the auxiliary sphere of reduced latitudes, where the geodesic is close to a
// great circle and the azimuth is the same as on the ellipsoid.
struct SphereLine {
    Vec3 point;
    Vec3 direction;
    Vec3 normal;
};

SphereLine OnSphere(const Sighting& o, double flattening) {
    double sphi = 0.0, cphi = 0.0, slam = 0.0, clam = 0.0, saz = 0.0, caz = 0.0;
    Math::sincosd(o.latitude, sphi, cphi);
    Math::sincosd(o.longitude, slam, clam);
    Math::sincosd(o.azimuth, saz, caz);
    const double beta = std::atan2((1 - flattening) * sphi, cphi);
    const double sb = std::sin(beta);
    const double cb = std::cos(beta);
    SphereLine line;
    line.point = {cb * clam, cb * slam, sb};
    // At a pole these are the limits along the observer's meridian, as GeographicLib takes them.
    const Vec3 north = {-sb * clam, -sb * slam, cb};
    const Vec3 east = {-slam, clam, 0.0};
    for (int k = 0; k < 3; ++k) {
        line.direction[static_cast<std::size_t>(k)] =
            caz * north[static_cast<std::size_t>(k)] + saz * east[static_cast<std::size_t>(k)];
    }
    line.normal = Cross(line.point, line.direction);
    return line;
}

struct LatLon {
    double latitude = 0.0;
    double longitude = 0.0;
};

// The spherical crossing of the two lines nearest the observers: two great circles cross at two
// antipodal points; the one with the smaller sum of distances to the observers wins, and on a
// tie (observers on the equator, lines along meridians) the one ahead of the first observer.
// False when the circles are the same.
bool SphericalEstimate(const Sighting& first, const Sighting& second, double flattening,
                       LatLon& estimate) {
    const SphereLine a = OnSphere(first, flattening);
    const SphereLine b = OnSphere(second, flattening);
    Vec3 c = Cross(a.normal, b.normal);
    const double length = Norm(c);
    if (!(length > 1e-12)) {
        return false;
    }
    for (double& v : c) {
        v /= length;
    }
    auto angle = [](const Vec3& u, const Vec3& v) {
        return std::atan2(Norm(Cross(u, v)), Dot(u, v));
    };
    const double sum = angle(a.point, c) + angle(b.point, c);
    const double pi = Math::pi();
    bool flip = false;
    if (std::fabs(sum - pi) > 1e-9) {
        flip = sum > pi;
    } else {
        flip = Dot(a.direction, c) < 0;
    }
    if (flip) {
        for (double& v : c) {
            v = -v;
        }
    }
    const double beta = std::atan2(c[2], std::hypot(c[0], c[1]));
    estimate.latitude = std::atan2(std::sin(beta), (1 - flattening) * std::cos(beta)) * 180 / pi;
    estimate.longitude = std::atan2(c[1], c[0]) * 180 / pi;
    return true;
}

// The signed arc, in degrees on the auxiliary sphere, from the observer along its line to the
// foot of the perpendicular from the point: negative behind the observer.
double AlongArc(const Geodesic& earth, const Sighting& o, double latitude, double longitude) {
    double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
    const double a12 = earth.Inverse(o.latitude, o.longitude, latitude, longitude, s12, azi1, azi2);
    double sa = 0.0, ca = 0.0, sd = 0.0, cd = 0.0;
    Math::sincosd(a12, sa, ca);
    Math::sincosd(Math::AngDiff(o.azimuth, azi1), sd, cd);
    return Math::atan2d(sa * cd, ca);
}

struct PlaneLine {
    double x = 0.0;
    double y = 0.0;
    double ux = 0.0;
    double uy = 0.0;
};

// The line near the estimate as a straight line of the gnomonic projection centred there.
bool ProjectNear(const Geodesic& earth, const Gnomonic& gnomonic, const Sighting& o,
                 const GeodesicLine& line, const LatLon& centre, PlaneLine& out) {
    const double arc = AlongArc(earth, o, centre.latitude, centre.longitude);
    double lat1 = 0.0, lon1 = 0.0, lat2 = 0.0, lon2 = 0.0;
    line.ArcPosition(arc, lat1, lon1);
    line.ArcPosition(arc + kProbeArc, lat2, lon2);
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    gnomonic.Forward(centre.latitude, centre.longitude, lat1, lon1, x1, y1);
    gnomonic.Forward(centre.latitude, centre.longitude, lat2, lon2, x2, y2);
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double length = std::hypot(dx, dy);
    if (!std::isfinite(x1) || !std::isfinite(y1) || !(length > 0) || !std::isfinite(length)) {
        return false;
    }
    out = {x1, y1, dx / length, dy / length};
    return true;
}

} // namespace

std::string FixStatusReason(FixStatus status) {
    switch (status) {
    case FixStatus::Found:
        return {};
    case FixStatus::NotFinite:
        return "valeur non finie";
    case FixStatus::LatitudeBeyondPole:
        return "latitude au-delà de 90 degrés";
    case FixStatus::Parallel:
        return "lignes parallèles ou confondues";
    case FixStatus::NoConvergence:
        return "le calcul géodésique ne converge pas (lignes presque parallèles)";
    }
    return {};
}

GeodesicFix IntersectBearings(const Sighting& first, const Sighting& second) {
    GeodesicFix fix;
    for (const Sighting* o : {&first, &second}) {
        if (!std::isfinite(o->latitude) || !std::isfinite(o->longitude) ||
            !std::isfinite(o->azimuth)) {
            fix.status = FixStatus::NotFinite;
            return fix;
        }
    }
    if (std::fabs(first.latitude) > 90 || std::fabs(second.latitude) > 90) {
        fix.status = FixStatus::LatitudeBeyondPole;
        return fix;
    }

    const Geodesic& earth = Geodesic::WGS84();
    const Gnomonic gnomonic(earth);
    const unsigned caps = Geodesic::LATITUDE | Geodesic::LONGITUDE | Geodesic::AZIMUTH;
    const GeodesicLine line1 = earth.Line(first.latitude, first.longitude, first.azimuth, caps);
    const GeodesicLine line2 = earth.Line(second.latitude, second.longitude, second.azimuth, caps);

    LatLon estimate;
    if (!SphericalEstimate(first, second, earth.Flattening(), estimate)) {
        // The same great circle: only the ellipsoid can still part them. Start half-way.
        double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
        earth.Inverse(first.latitude, first.longitude, second.latitude, second.longitude, s12, azi1,
                      azi2);
        const GeodesicLine between =
            earth.Line(first.latitude, first.longitude, azi1, caps | Geodesic::DISTANCE_IN);
        between.Position(s12 / 2, estimate.latitude, estimate.longitude);
    }

    bool converged = false;
    // The gnomonic projection keeps angles at its centre, and the last centre lies within a
    // millimetre of the fix: its two lines cross at the angle of the geodesics there. Azimuths
    // would not do at a pole, where each line's azimuth refers to its own meridian.
    double crossingSine = 0.0;
    double crossingCosine = 0.0;
    for (int iteration = 1; iteration <= kMaxIterations; ++iteration) {
        fix.iterations = iteration;
        PlaneLine p, q;
        if (!ProjectNear(earth, gnomonic, first, line1, estimate, p) ||
            !ProjectNear(earth, gnomonic, second, line2, estimate, q)) {
            fix.status = FixStatus::NoConvergence;
            return fix;
        }
        const double sine = p.ux * q.uy - p.uy * q.ux;
        if (std::fabs(sine) < kParallelSine) {
            fix.status = FixStatus::Parallel;
            return fix;
        }
        crossingSine = sine;
        crossingCosine = p.ux * q.ux + p.uy * q.uy;
        const double t = ((q.x - p.x) * q.uy - (q.y - p.y) * q.ux) / sine;
        double x = p.x + t * p.ux;
        double y = p.y + t * p.uy;
        const double step = std::hypot(x, y);
        if (!std::isfinite(step)) {
            fix.status = FixStatus::NoConvergence;
            return fix;
        }
        if (step > kMaxStep) {
            x *= kMaxStep / step;
            y *= kMaxStep / step;
        }
        LatLon next;
        gnomonic.Reverse(estimate.latitude, estimate.longitude, x, y, next.latitude,
                         next.longitude);
        if (!std::isfinite(next.latitude) || !std::isfinite(next.longitude)) {
            fix.status = FixStatus::NoConvergence;
            return fix;
        }
        estimate = next;
        if (step < kStepDone) {
            converged = true;
            break;
        }
    }
    if (!converged) {
        fix.status = FixStatus::NoConvergence;
        return fix;
    }

    fix.status = FixStatus::Found;
    fix.latitude = estimate.latitude;
    fix.longitude = estimate.longitude;
    for (const Sighting* o : {&first, &second}) {
        double s12 = 0.0;
        earth.Inverse(o->latitude, o->longitude, fix.latitude, fix.longitude, s12);
        const bool behind =
            s12 >= kAtObserver && AlongArc(earth, *o, fix.latitude, fix.longitude) < 0;
        (o == &first ? fix.distance1 : fix.distance2) = s12;
        (o == &first ? fix.behind1 : fix.behind2) = behind;
    }
    fix.crossingAngle = Math::atan2d(std::fabs(crossingSine), std::fabs(crossingCosine));
    return fix;
}

} // namespace ervalun::geodesy
