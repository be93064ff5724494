#include "geodesy/bearing_solver.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

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

LineAt Evaluate(const Line& line, double latitude, double longitude, bool wholeLine) {
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
        // No direction at the station: no pull, no gradient, and a residual of a quarter turn,
        // so that standing on a station is not rewarded with a perfect fit.
        at.off = Math::pi() / 2;
        return at;
    }
    double off = residual;
    if (wholeLine && off > 90) {
        off -= 180;
    } else if (wholeLine && off <= -90) {
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
    if (n <= 2) {
        return 1.0;
    }
    std::vector<double> u(n);
    for (std::size_t i = 0; i < n; ++i) {
        u[i] = std::fabs(at[i].off) / lines[i].sigma;
    }
    // Residuals of a two-parameter fit run smaller than the errors: n / (n - 2) undoes it.
    const double dof = std::sqrt(static_cast<double>(n) / static_cast<double>(n - 2));
    return std::max(kMadToSigma * Median(u) * dof, kScaleFloor);
}

// What the iteration lowers: sum of kappa (1 - cos r) for maximum likelihood (minus the
// log-likelihood of von Mises errors, up to a constant), sum of rho(r / sigma) for the robust
// estimators, r the residual against the whole line.
double Objective(const std::vector<Line>& lines, const std::vector<LineAt>& at, Estimator estimator,
                 double tuning, double scale) {
    double sum = 0.0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (estimator == Estimator::MaximumLikelihood) {
            sum += lines[i].kappa * (1 - std::cos(at[i].off));
            continue;
        }
        const double u = std::fabs(at[i].off) / (lines[i].sigma * scale);
        if (estimator == Estimator::Huber) {
            sum += u <= tuning ? u * u / 2 : tuning * u - tuning * tuning / 2;
        } else {
            sum += u < tuning * Math::pi() ? tuning * tuning * (1 - std::cos(u / tuning))
                                           : 2 * tuning * tuning;
        }
    }
    return sum;
}

void EvaluateAll(const std::vector<Line>& lines, double latitude, double longitude,
                 std::vector<LineAt>& at) {
    at.resize(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        at[i] = Evaluate(lines[i], latitude, longitude, WholeLines(lines.size()));
    }
}

struct Matrix2 {
    double ee = 0.0;
    double en = 0.0;
    double nn = 0.0;

    double Det() const { return ee * nn - en * en; }
    // Positive definite, and far enough from singular to be inverted.
    bool Usable(double reference) const {
        return ee > 0 && Det() > kSingular * reference * reference;
    }
};

// The two matrices a step can take, and the right-hand side: the gradient of the objective.
struct Normal {
    Matrix2 reweighted; // iteratively reweighted least squares: always positive
    Matrix2 newton;     // the slope of psi and the curvature of the azimuths: quadratic
    double be = 0.0;
    double bn = 0.0;
};

Normal BuildNormal(const std::vector<Line>& lines, const std::vector<LineAt>& at,
                   Estimator estimator, double tuning, Solution& solution) {
    Normal m;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // weight: of the reweighted matrix; slope: of Newton's; pull: times g, the gradient.
        double weight = lines[i].kappa;
        double slope = lines[i].kappa * std::cos(at[i].off);
        double pull = lines[i].kappa * std::sin(at[i].off);
        if (estimator != Estimator::MaximumLikelihood) {
            const double sigma = lines[i].sigma * solution.scale;
            const double u = at[i].off / sigma;
            solution.weights[i] = RobustWeight(estimator, tuning, u);
            weight = solution.weights[i] / (sigma * sigma);
            slope = std::max(RobustPsiSlope(estimator, tuning, u), 0.0) / (sigma * sigma);
            pull = RobustPsi(estimator, tuning, u) / sigma;
        }
        const double ge = at[i].gradEast;
        const double gn = at[i].gradNorth;
        m.reweighted.ee += weight * ge * ge;
        m.reweighted.en += weight * ge * gn;
        m.reweighted.nn += weight * gn * gn;
        m.be += pull * ge;
        m.bn += pull * gn;
        // Second derivatives of the azimuth from a station at distance d seen along azimuth a
        // (east-east, east-north, north-north): -sin 2a / d^2, -cos 2a / d^2, sin 2a / d^2,
        // written with g = (cos a, -sin a) / d.
        const double sin2 = -2 * ge * gn;
        const double cos2 = ge * ge - gn * gn;
        m.newton.ee += slope * ge * ge + pull * sin2;
        m.newton.en += slope * ge * gn + pull * cos2;
        m.newton.nn += slope * gn * gn - pull * sin2;
    }
    return m;
}

// One run of the iteration at a fixed scale, from where solution stands. Each step is Newton's
// where its matrix is positive definite (quadratic convergence, where a narrow geometry or
// Huber's linear arms make reweighting crawl), else or failing that the reweighted one, halved
// until the objective does not rise.
void Iterate(const std::vector<Line>& lines, Estimator estimator, double tuning, Solution& solution,
             int& budget) {
    const Geodesic& earth = Geodesic::WGS84();
    std::vector<LineAt>& at = solution.at;
    std::vector<LineAt> trial;
    if (at.size() != lines.size()) {
        EvaluateAll(lines, solution.latitude, solution.longitude, at);
    }
    double objective = Objective(lines, at, estimator, tuning, solution.scale);
    while (budget > 0) {
        --budget;
        ++solution.iterations;
        const Normal m = BuildNormal(lines, at, estimator, tuning, solution);
        const double reference = m.reweighted.ee + m.reweighted.nn;
        if (!m.reweighted.Usable(reference)) {
            solution.status = EstimateStatus::Parallel;
            return;
        }
        bool moved = false;
        for (const Matrix2* h : {&m.newton, &m.reweighted}) {
            if (!h->Usable(reference)) {
                continue;
            }
            const double de = (h->nn * m.be - h->en * m.bn) / h->Det();
            const double dn = (h->ee * m.bn - h->en * m.be) / h->Det();
            const double full = std::hypot(de, dn);
            if (!std::isfinite(full)) {
                continue;
            }
            const double azimuth = Math::atan2d(de, dn);
            for (double length = std::min(full, kMaxStep); length >= kStepDone || full < kStepDone;
                 length /= 2) {
                double lat = 0.0, lon = 0.0;
                earth.Direct(solution.latitude, solution.longitude, azimuth, length, lat, lon);
                if (!std::isfinite(lat) || !std::isfinite(lon)) {
                    break;
                }
                lon = Math::AngNormalize(lon);
                EvaluateAll(lines, lat, lon, trial);
                const double next = Objective(lines, trial, estimator, tuning, solution.scale);
                if (next <= objective || full < kStepDone) {
                    solution.latitude = lat;
                    solution.longitude = lon;
                    objective = next;
                    std::swap(at, trial);
                    moved = true;
                    break;
                }
            }
            if (moved && full < kStepDone) {
                solution.status = EstimateStatus::Found;
                return;
            }
            if (moved) {
                break;
            }
        }
        if (!moved) {
            // Neither step lowers the objective by moving a millimetre or more: it is at its
            // least within that.
            solution.status = EstimateStatus::Found;
            return;
        }
    }
    solution.status = EstimateStatus::NoConvergence;
}

} // namespace

namespace {

Solution SolveFrom(const std::vector<Line>& lines, double startLatitude, double startLongitude,
                   Estimator estimator, double tuning, bool robustScale,
                   std::vector<LineAt> startAt) {
    Solution solution;
    solution.latitude = startLatitude;
    solution.longitude = startLongitude;
    solution.weights.assign(lines.size(), 1.0);
    solution.at = std::move(startAt);
    if (solution.at.size() != lines.size()) {
        EvaluateAll(lines, startLatitude, startLongitude, solution.at);
    }
    int budget = kMaxIterations;
    const bool scaled = estimator != Estimator::MaximumLikelihood && robustScale;
    if (scaled) {
        solution.scale = RobustScale(lines, solution.at);
    }
    Iterate(lines, estimator, tuning, solution, budget);
    // The scale of the robust weights comes from the residuals at the start; once settled, again
    // from those at the estimate, held through each run so that the iteration has one objective.
    for (int round = 0; scaled && round < 3 && solution.status == EstimateStatus::Found; ++round) {
        const double scale = RobustScale(lines, solution.at);
        if (std::fabs(scale - solution.scale) <= 0.01 * solution.scale) {
            break;
        }
        solution.scale = scale;
        Iterate(lines, estimator, tuning, solution, budget);
    }
    return solution;
}

} // namespace

Solution Solve(const std::vector<Line>& lines, double startLatitude, double startLongitude,
               Estimator estimator, double tuning, bool robustScale, std::vector<LineAt> startAt) {
    if (estimator == Estimator::Andrews) {
        // Andrews' psi comes back to zero: from a poor start it may settle where it rejects good
        // bearings. Huber's estimate, unique, is the start that makes it the same wherever the
        // iteration began.
        Solution huber = SolveFrom(lines, startLatitude, startLongitude, Estimator::Huber, tuning,
                                   robustScale, std::move(startAt));
        if (huber.status != EstimateStatus::Found) {
            return huber;
        }
        Solution andrews = SolveFrom(lines, huber.latitude, huber.longitude, estimator, tuning,
                                     robustScale, std::move(huber.at));
        andrews.iterations += huber.iterations;
        return andrews;
    }
    return SolveFrom(lines, startLatitude, startLongitude, estimator, tuning, robustScale,
                     std::move(startAt));
}

} // namespace ervalun::geodesy::detail
