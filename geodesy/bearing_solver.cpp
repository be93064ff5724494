#include "geodesy/bearing_solver.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <array>
#include <cmath>

namespace ervalun::geodesy::detail {

namespace {

using GeographicLib::Geodesic;
using GeographicLib::Math;

// The iteration stops once a step moves the estimate by less than this, in metres.
constexpr double kStepDone = 1e-3;
constexpr int kMaxIterations = 100;
// A step is cut to this, in metres: the local plane is only good near its origin.
constexpr double kMaxStep = 1.0e6;
// Closer than this, in metres, a station stands at the point: its azimuth says nothing there.
constexpr double kAtStation = 1e-3;
// The normal matrix is singular when its determinant falls to this share of its trace squared,
// that is when the lines cross at a few millionths of a degree.
constexpr double kSingular = 1e-15;
// Pairwise crossings at less than this many degrees do not make the start, when others do.
constexpr double kStartAngle = 2.0;
// The normal-consistent median absolute deviation.
constexpr double kMadToSigma = 1.4826;
// The robust scale is never taken under this share of the sigmas given: exact bearings would
// make it vanish and every weight with it.
constexpr double kScaleFloor = 1e-6;

using Vec3 = std::array<double, 3>;

Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Median(std::vector<double> values) {
    const std::size_t half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half),
                     values.end());
    const double upper = values[half];
    if (values.size() % 2 == 1) {
        return upper;
    }
    const double lower =
        *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(half));
    return (lower + upper) / 2;
}

struct SphereLine {
    Vec3 point;
    Vec3 direction;
    Vec3 normal;
};

SphereLine OnSphere(const Line& line) {
    double sphi = 0.0, cphi = 0.0, slam = 0.0, clam = 0.0, saz = 0.0, caz = 0.0;
    Math::sincosd(line.latitude, sphi, cphi);
    Math::sincosd(line.longitude, slam, clam);
    Math::sincosd(line.azimuth, saz, caz);
    SphereLine s;
    s.point = {cphi * clam, cphi * slam, sphi};
    const Vec3 north = {-sphi * clam, -sphi * slam, cphi};
    const Vec3 east = {-slam, clam, 0.0};
    for (std::size_t k = 0; k < 3; ++k) {
        s.direction[k] = caz * north[k] + saz * east[k];
    }
    s.normal = Cross(s.point, s.direction);
    return s;
}

double Angle(const Vec3& u, const Vec3& v) {
    const Vec3 c = Cross(u, v);
    return std::atan2(std::sqrt(Dot(c, c)), Dot(u, v));
}

} // namespace

LineAt Evaluate(const Line& line, double latitude, double longitude) {
    const Geodesic& earth = Geodesic::WGS84();
    double s12 = 0.0, azi1 = 0.0, azi2 = 0.0, m12 = 0.0;
    earth.Inverse(line.latitude, line.longitude, latitude, longitude, s12, azi1, azi2, m12);
    LineAt at;
    at.distance = s12;
    at.azimuthAtPoint = azi2;
    double residual = Math::AngDiff(azi1, line.azimuth);
    if (residual <= -180) {
        residual += 360;
    }
    at.residual = residual;
    if (s12 < kAtStation || !(m12 > 0)) {
        return at; // no direction at the station: no pull, no gradient
    }
    double off = residual;
    if (off > 90) {
        off -= 180;
    } else if (off <= -90) {
        off += 180;
    }
    at.off = off * Math::pi() / 180;
    double s2 = 0.0, c2 = 0.0;
    Math::sincosd(azi2, s2, c2);
    // Moving the point sideways across the geodesic by dx turns the azimuth at the station by
    // dx / m12, the reduced length.
    at.gradEast = c2 / m12;
    at.gradNorth = -s2 / m12;
    return at;
}

double RobustPsi(Estimator estimator, double tuning, double u) {
    switch (estimator) {
    case Estimator::MaximumLikelihood:
        return u;
    case Estimator::Huber:
        return std::clamp(u, -tuning, tuning);
    case Estimator::Andrews:
        return std::fabs(u) < tuning * Math::pi() ? tuning * std::sin(u / tuning) : 0.0;
    }
    return u;
}

double RobustPsiSlope(Estimator estimator, double tuning, double u) {
    switch (estimator) {
    case Estimator::MaximumLikelihood:
        return 1.0;
    case Estimator::Huber:
        return std::fabs(u) <= tuning ? 1.0 : 0.0;
    case Estimator::Andrews:
        return std::fabs(u) < tuning * Math::pi() ? std::cos(u / tuning) : 0.0;
    }
    return 1.0;
}

double RobustWeight(Estimator estimator, double tuning, double u) {
    if (std::fabs(u) < 1e-12) {
        return 1.0;
    }
    return RobustPsi(estimator, tuning, u) / u;
}

bool RobustStart(const std::vector<Line>& lines, double& latitude, double& longitude) {
    std::vector<SphereLine> sphere;
    sphere.reserve(lines.size());
    for (const Line& line : lines) {
        sphere.push_back(OnSphere(line));
    }
    const double minSine = std::sin(kStartAngle * Math::pi() / 180);
    const double parallelSine = std::sin(1e-6 * Math::pi() / 180);
    std::vector<double> goodLat, goodLon, anyLat, anyLon;
    const double lon0 = lines.front().longitude;
    for (std::size_t i = 0; i < sphere.size(); ++i) {
        for (std::size_t j = i + 1; j < sphere.size(); ++j) {
            Vec3 c = Cross(sphere[i].normal, sphere[j].normal);
            const double sine = std::sqrt(Dot(c, c));
            if (!(sine > parallelSine)) {
                continue;
            }
            for (double& v : c) {
                v /= sine;
            }
            // Of the two antipodal crossings, the one ahead of both stations; else the nearer.
            const bool aheadI = Dot(sphere[i].direction, c) > 0;
            const bool aheadJ = Dot(sphere[j].direction, c) > 0;
            bool good = aheadI == aheadJ;
            bool flip =
                good ? !aheadI : Angle(sphere[i].point, c) + Angle(sphere[j].point, c) > Math::pi();
            if (flip) {
                for (double& v : c) {
                    v = -v;
                }
            }
            const double lat = std::atan2(c[2], std::hypot(c[0], c[1])) * 180 / Math::pi();
            const double lon = Math::AngDiff(lon0, std::atan2(c[1], c[0]) * 180 / Math::pi());
            anyLat.push_back(lat);
            anyLon.push_back(lon);
            if (good && sine >= minSine) {
                goodLat.push_back(lat);
                goodLon.push_back(lon);
            }
        }
    }
    if (anyLat.empty()) {
        return false;
    }
    const bool useGood = !goodLat.empty();
    latitude = Median(useGood ? goodLat : anyLat);
    longitude = lon0 + Median(useGood ? goodLon : anyLon);
    return true;
}

namespace {

double RobustScale(const std::vector<Line>& lines, const std::vector<LineAt>& at) {
    const std::size_t n = lines.size();
    std::vector<double> u(n);
    for (std::size_t i = 0; i < n; ++i) {
        u[i] = std::fabs(at[i].off) / lines[i].sigma;
    }
    // Residuals of a two-parameter fit run smaller than the errors: n / (n - 2) undoes it.
    const double dof = n > 2 ? std::sqrt(static_cast<double>(n) / static_cast<double>(n - 2)) : 1.0;
    return std::max(kMadToSigma * Median(u) * dof, kScaleFloor);
}

} // namespace

Solution Solve(const std::vector<Line>& lines, double startLatitude, double startLongitude,
               Estimator estimator, double tuning, bool robustScale) {
    const Geodesic& earth = Geodesic::WGS84();
    Solution solution;
    solution.latitude = startLatitude;
    solution.longitude = startLongitude;
    solution.weights.assign(lines.size(), 1.0);
    const bool robust = estimator != Estimator::MaximumLikelihood;
    std::vector<LineAt> at(lines.size());
    for (int iteration = 1; iteration <= kMaxIterations; ++iteration) {
        solution.iterations = iteration;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            at[i] = Evaluate(lines[i], solution.latitude, solution.longitude);
        }
        if (robust && robustScale && lines.size() > 2) {
            solution.scale = RobustScale(lines, at);
        }
        double hee = 0.0, hen = 0.0, hnn = 0.0, be = 0.0, bn = 0.0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            double weight = lines[i].kappa;
            double pull = std::sin(at[i].off);
            if (robust) {
                const double sigma = lines[i].sigma * solution.scale;
                const double w = RobustWeight(estimator, tuning, at[i].off / sigma);
                solution.weights[i] = w;
                weight = w / (sigma * sigma);
                pull = at[i].off;
            }
            const double ge = at[i].gradEast;
            const double gn = at[i].gradNorth;
            hee += weight * ge * ge;
            hen += weight * ge * gn;
            hnn += weight * gn * gn;
            be += weight * pull * ge;
            bn += weight * pull * gn;
        }
        const double det = hee * hnn - hen * hen;
        const double trace = hee + hnn;
        if (!(det > kSingular * trace * trace)) {
            solution.status = EstimateStatus::Parallel;
            return solution;
        }
        double de = (hnn * be - hen * bn) / det;
        double dn = (hee * bn - hen * be) / det;
        const double step = std::hypot(de, dn);
        if (!std::isfinite(step)) {
            solution.status = EstimateStatus::NoConvergence;
            return solution;
        }
        const double length = std::min(step, kMaxStep);
        double lat = 0.0, lon = 0.0;
        earth.Direct(solution.latitude, solution.longitude, Math::atan2d(de, dn), length, lat, lon);
        if (!std::isfinite(lat) || !std::isfinite(lon)) {
            solution.status = EstimateStatus::NoConvergence;
            return solution;
        }
        solution.latitude = lat;
        solution.longitude = Math::AngNormalize(lon);
        if (step < kStepDone) {
            solution.status = EstimateStatus::Found;
            return solution;
        }
    }
    solution.status = EstimateStatus::NoConvergence;
    return solution;
}

} // namespace ervalun::geodesy::detail
