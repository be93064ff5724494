#include "geodesy/bearing_estimate.h"

#include "geodesy/bearing_solver.h"
#include "geodesy/confidence.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace ervalun::geodesy {

namespace {

using detail::Line;
using detail::LineAt;
using GeographicLib::Geodesic;
using GeographicLib::Math;

// Stations closer than this to the first one, in metres, stand at the same place.
constexpr double kSamePlace = 1.0;
// Closer than this, in metres, a station stands at the estimate: it gives no direction there.
constexpr double kAtStation = 1e-3;
// No pair of lines crossing at this many degrees or more: the fix is weak along the lines.
constexpr double kLowCrossing = 30.0;
// Under this spread of the stations seen from the estimate, degrees, the range error is skewed
// and the information-matrix ellipse covers less than its level (measured by
// bench/ellipse_coverage).
constexpr double kNarrowSpread = 35.0;
constexpr double kOutlierSigmas = 3.0;
constexpr double kOutlierWeight = 0.5;
// With four bearings the scale from the residuals exceeds twice the true one about once in
// twenty-five (chi-square with 2 degrees of freedom above 8); beyond, something is wrong.
constexpr double kLargeScale = 2.0;

double Radians(double degrees) {
    return degrees * Math::pi() / 180;
}

bool Finite(const BearingInput& b) {
    return std::isfinite(b.latitude) && std::isfinite(b.longitude) && std::isfinite(b.azimuth) &&
           std::fabs(b.latitude) <= 90 &&
           (std::isnan(b.sigma) || (std::isfinite(b.sigma) && b.sigma > 0));
}

bool OptionsValid(const EstimateOptions& o) {
    return std::isfinite(o.defaultSigma) && o.defaultSigma > 0 && o.confidence > 0 &&
           o.confidence < 1 && std::isfinite(o.tuning) && o.tuning > 0;
}

Line ToLine(const BearingInput& b, double defaultSigma) {
    Line line;
    line.latitude = b.latitude;
    line.longitude = b.longitude;
    line.azimuth = b.azimuth;
    line.sigma = Radians(std::isnan(b.sigma) ? defaultSigma : b.sigma);
    line.kappa = KappaFromSigma(line.sigma);
    return line;
}

bool OnePlace(const std::vector<Line>& lines) {
    const Geodesic& earth = Geodesic::WGS84();
    const Line& first = lines.front();
    const double metresPerDegree = earth.EquatorialRadius() * Math::pi() / 180;
    for (const Line& line : lines) {
        // A flat look first: far apart is plain without a geodesic.
        const double dLat = line.latitude - first.latitude;
        const double dLon =
            std::remainder(line.longitude - first.longitude, 360.0) * Math::cosd(first.latitude);
        if (std::hypot(dLat, dLon) * metresPerDegree > 100 * kSamePlace) {
            return false;
        }
        double s12 = 0.0;
        earth.Inverse(first.latitude, first.longitude, line.latitude, line.longitude, s12);
        if (s12 >= kSamePlace) {
            return false;
        }
    }
    return true;
}

// The two-sided 0.2 % quantile of Student's t with nu degrees of freedom, nu = 1 to 30, then
// at 40, 60, 120 and the normal's.
double StudentQuantile999(std::size_t nu) {
    static const double kTable[] = {318.31, 22.327, 10.215, 7.173, 5.893, 5.208, 4.785, 4.501,
                                    4.297,  4.144,  4.025,  3.930, 3.852, 3.787, 3.733, 3.686,
                                    3.646,  3.610,  3.579,  3.552, 3.527, 3.505, 3.485, 3.467,
                                    3.450,  3.435,  3.421,  3.408, 3.396, 3.385};
    if (nu >= 1 && nu <= 30) {
        return kTable[nu - 1];
    }
    return nu <= 40 ? 3.307 : nu <= 60 ? 3.232 : nu <= 120 ? 3.160 : 3.090;
}

// The scale of the errors from the residuals at the estimate, as a multiple of the sigmas given:
// the root mean square of the residuals in sigmas over the degrees of freedom, the number of
// bearings counted less two. Maximum likelihood counts every bearing. A robust estimate first
// sets aside, one at a time, the bearing whose residual stands out against the scale of the
// others (Student's t with their degrees of freedom, at 0.2 %), so that a wild bearing inflates
// neither the scale nor the ellipse, while good bearings are kept (they would shrink it); the
// quantile then has the degrees of freedom of the bearings kept. Fills kept.
double ResidualScale(const std::vector<Line>& lines, const std::vector<LineAt>& at, bool robust,
                     std::vector<bool>& kept) {
    const std::size_t n = lines.size();
    std::vector<double> u(n);
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        u[i] = at[i].off / lines[i].sigma;
        sum += u[i] * u[i];
        kept[i] = true;
    }
    std::size_t count = n;
    while (robust && count >= 4) {
        std::size_t worst = n;
        for (std::size_t i = 0; i < n; ++i) {
            if (kept[i] && (worst == n || std::fabs(u[i]) > std::fabs(u[worst]))) {
                worst = i;
            }
        }
        const double others =
            std::sqrt((sum - u[worst] * u[worst]) / static_cast<double>(count - 3));
        if (!(std::fabs(u[worst]) > std::max(StudentQuantile999(count - 3) * others, 1e-3))) {
            break;
        }
        kept[worst] = false;
        sum -= u[worst] * u[worst];
        --count;
    }
    return std::sqrt(sum / static_cast<double>(count - 2));
}

void Geometry(const std::vector<LineAt>& at, BearingEstimate& estimate) {
    std::vector<double> toStation;
    std::vector<double> across;
    for (const LineAt& a : at) {
        if (a.distance >= kAtStation) {
            toStation.push_back(std::fmod(a.azimuthAtPoint + 540.0, 360.0));
            across.push_back(std::fmod(a.azimuthAtPoint + 360.0, 180.0));
        }
    }
    double best = 0.0;
    for (std::size_t i = 0; i < across.size(); ++i) {
        for (std::size_t j = i + 1; j < across.size(); ++j) {
            const double d = std::fabs(across[i] - across[j]);
            best = std::max(best, std::min(d, 180.0 - d));
        }
    }
    estimate.bestCrossingAngle = best;
    std::sort(toStation.begin(), toStation.end());
    double largestGap = toStation.empty() ? 360.0 : 360.0 - toStation.back() + toStation.front();
    for (std::size_t i = 1; i < toStation.size(); ++i) {
        largestGap = std::max(largestGap, toStation[i] - toStation[i - 1]);
    }
    estimate.stationSpread = std::min(360.0 - largestGap, 180.0);
}

} // namespace

BearingEstimate EstimatePosition(const std::vector<BearingInput>& bearings,
                                 const EstimateOptions& options) {
    BearingEstimate estimate;
    estimate.estimator = options.estimator;
    std::vector<Line> lines;
    std::vector<std::size_t> rowOf;
    if (!OptionsValid(options)) {
        estimate.status = EstimateStatus::NotFinite;
        return estimate;
    }
    for (std::size_t row = 0; row < bearings.size(); ++row) {
        if (bearings[row].excluded) {
            continue;
        }
        if (!Finite(bearings[row])) {
            estimate.status = EstimateStatus::NotFinite;
            return estimate;
        }
        lines.push_back(ToLine(bearings[row], options.defaultSigma));
        rowOf.push_back(row);
    }
    const std::size_t n = lines.size();
    estimate.used = static_cast<int>(n);
    if (n < 2) {
        estimate.status = EstimateStatus::TooFew;
        return estimate;
    }
    if (options.estimateSigma && n < 4) {
        estimate.status = EstimateStatus::TooFewForSigma;
        return estimate;
    }
    if (OnePlace(lines)) {
        estimate.status = EstimateStatus::OnePlace;
        return estimate;
    }
    double startLat = 0.0, startLon = 0.0;
    if (!detail::RobustStart(lines, startLat, startLon)) {
        estimate.status = EstimateStatus::Parallel;
        return estimate;
    }
    const bool robust = options.estimator != Estimator::MaximumLikelihood;
    const detail::Solution solution = detail::Solve(lines, startLat, startLon, options.estimator,
                                                    options.tuning, options.estimateSigma);
    estimate.iterations = solution.iterations;
    if (solution.status != EstimateStatus::Found) {
        estimate.status = solution.status;
        return estimate;
    }

    const std::vector<LineAt>& at = solution.at;
    double scale = 1.0;
    std::vector<bool> kept(n, true);
    std::vector<double> infoWeight = solution.weights;
    double dof = static_cast<double>(n) - 2;
    if (options.estimateSigma) {
        scale = ResidualScale(lines, at, robust, kept);
        dof = -2;
        for (std::size_t i = 0; i < n; ++i) {
            infoWeight[i] = kept[i] ? 1.0 : 0.0;
            dof += kept[i] ? 1 : 0;
        }
        // Exact bearings leave no scale at all; a vanishing ellipse is the honest answer, but
        // a zero would make the concentration infinite.
        scale = std::max(scale, 1e-9);
    }
    // The Fisher information of each bearing at the estimate: kappa A(kappa) g g^T, where g is
    // the gradient of its azimuth; a robust estimate counts each bearing with its weight, or, with
    // the scale from the residuals, the bearings it keeps.
    double iee = 0.0, ien = 0.0, inn = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double kappa = KappaFromSigma(lines[i].sigma * scale);
        const double info = infoWeight[i] * kappa * BesselRatio(kappa);
        iee += info * at[i].gradEast * at[i].gradEast;
        ien += info * at[i].gradEast * at[i].gradNorth;
        inn += info * at[i].gradNorth * at[i].gradNorth;
    }
    const double det = iee * inn - ien * ien;
    if (!(det > 1e-15 * (iee + inn) * (iee + inn))) {
        estimate.status = EstimateStatus::Parallel;
        return estimate;
    }
    estimate.status = EstimateStatus::Found;
    estimate.latitude = solution.latitude;
    estimate.longitude = solution.longitude;
    estimate.covEE = inn / det;
    estimate.covEN = -ien / det;
    estimate.covNN = iee / det;
    estimate.sigmaEast = std::sqrt(estimate.covEE);
    estimate.sigmaNorth = std::sqrt(estimate.covNN);
    estimate.correlation = estimate.covEN / (estimate.sigmaEast * estimate.sigmaNorth);
    estimate.sigmaEstimated = options.estimateSigma;
    estimate.sigma = options.defaultSigma * scale;
    estimate.kappa = KappaFromSigma(Radians(estimate.sigma));

    ConfidenceEllipse& ellipse = estimate.ellipse;
    ellipse.level = options.confidence;
    ellipse.scale = options.estimateSigma ? TwiceF2Quantile(options.confidence, dof)
                                          : ChiSquare2Quantile(options.confidence);
    const EllipseAxes axes = AxesOf(estimate.covEE, estimate.covEN, estimate.covNN, ellipse.scale);
    ellipse.semiMajor = axes.semiMajor;
    ellipse.semiMinor = axes.semiMinor;
    ellipse.majorAzimuth = axes.majorAzimuth;
    ellipse.areaHectares = axes.areaHectares;

    Geometry(at, estimate);
    double nearest = std::numeric_limits<double>::infinity();
    for (const LineAt& a : at) {
        nearest = std::min(nearest, a.distance);
    }
    estimate.flags.lowCrossing = estimate.bestCrossingAngle < kLowCrossing;
    estimate.flags.narrowSpread = estimate.stationSpread < kNarrowSpread;
    estimate.flags.ellipseBeyondStation = ellipse.semiMajor > nearest;
    estimate.flags.residualsLarge = scale > kLargeScale;

    // Every row, left-out ones included, against the estimate.
    estimate.residuals.resize(bearings.size());
    std::size_t next = 0;
    for (std::size_t row = 0; row < bearings.size(); ++row) {
        BearingResidual& r = estimate.residuals[row];
        r.name = bearings[row].name;
        const bool used = next < n && rowOf[next] == row;
        r.used = used;
        if (!used && !Finite(bearings[row])) {
            continue;
        }
        const Line line = used ? lines[next] : ToLine(bearings[row], options.defaultSigma);
        const LineAt a = used ? at[next]
                              : detail::Evaluate(line, estimate.latitude, estimate.longitude,
                                                 detail::WholeLines(n));
        r.residual = a.residual;
        r.distance = a.distance;
        r.crossTrack = a.distance * std::sin(Radians(a.residual));
        r.weight = used ? solution.weights[next] : 0.0;
        r.behind = a.distance >= kAtStation && std::fabs(a.residual) > 90;
        r.outlier = std::fabs(a.off) > kOutlierSigmas * line.sigma * scale ||
                    (used && r.weight < kOutlierWeight);
        estimate.flags.behind = estimate.flags.behind || (used && r.behind);
        estimate.flags.outliers = estimate.flags.outliers || (used && r.outlier);
        if (used && options.leaveOneOut && n > 2) {
            std::vector<Line> others = lines;
            others.erase(others.begin() + static_cast<std::ptrdiff_t>(next));
            // The others at the estimate are known already, when weighed the same way.
            std::vector<LineAt> othersAt;
            if (detail::WholeLines(n - 1) == detail::WholeLines(n)) {
                othersAt = at;
                othersAt.erase(othersAt.begin() + static_cast<std::ptrdiff_t>(next));
            }
            const detail::Solution without =
                detail::Solve(others, estimate.latitude, estimate.longitude, options.estimator,
                              options.tuning, options.estimateSigma, std::move(othersAt));
            if (without.status == EstimateStatus::Found) {
                double s12 = 0.0;
                Geodesic::WGS84().Inverse(estimate.latitude, estimate.longitude, without.latitude,
                                          without.longitude, s12);
                r.leaveOneOutShift = s12;
            }
        }
        if (used) {
            ++next;
        }
    }
    return estimate;
}

} // namespace ervalun::geodesy
