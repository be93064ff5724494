#include "geodesy/confidence.h"

#include <cmath>
#include <limits>

namespace ervalun::geodesy {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Above this the Bessel functions overflow a double well before their ratio loses anything, so
// the ratio comes from its asymptotic series, whose next term is under 1e-16 there.
constexpr double kSeriesFrom = 500.0;

// 1 - A(kappa), kept to full relative precision when A is close to 1.
double OneMinusBesselRatio(double kappa) {
    if (!(kappa > 0)) {
        return 1.0;
    }
    if (kappa < kSeriesFrom) {
        return 1.0 - std::cyl_bessel_i(1.0, kappa) / std::cyl_bessel_i(0.0, kappa);
    }
    // I1/I0 = 1 - 1/(2k) - 1/(8k^2) - 1/(8k^3) - 25/(128k^4) - 13/(32k^5) - ...
    const double u = 1.0 / kappa;
    return u * (0.5 + u * (0.125 + u * (0.125 + u * (25.0 / 128 + u * (13.0 / 32)))));
}

double SolveKappa(double sigmaRadians) {
    // 1 - exp(-sigma^2 / 2), exact even for a sigma of a nanoradian.
    const double target = -std::expm1(-sigmaRadians * sigmaRadians / 2);
    if (!(target < 1 - 1e-12)) {
        return 0.0;
    }
    if (!(target > 0)) {
        return std::numeric_limits<double>::infinity();
    }
    // 1 - A is decreasing; bisect on log(kappa) between bounds that always hold.
    double lo = std::log(1e-12);
    double hi = std::log(1e30);
    for (int i = 0; i < 200 && hi - lo > 1e-14; ++i) {
        const double mid = (lo + hi) / 2;
        if (OneMinusBesselRatio(std::exp(mid)) > target) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return std::exp((lo + hi) / 2);
}

} // namespace

double BesselRatio(double kappa) {
    return 1.0 - OneMinusBesselRatio(kappa);
}

double KappaFromSigma(double sigmaRadians) {
    // Every bearing of an estimate usually has the same sigma: the last answer is kept.
    thread_local double lastSigma = -1.0;
    thread_local double lastKappa = 0.0;
    if (sigmaRadians == lastSigma) {
        return lastKappa;
    }
    lastKappa = SolveKappa(sigmaRadians);
    lastSigma = sigmaRadians;
    return lastKappa;
}

double SigmaFromKappa(double kappa) {
    const double a = BesselRatio(kappa);
    if (!(a > 0)) {
        return std::numeric_limits<double>::infinity();
    }
    return std::sqrt(-2 * std::log(a));
}

double ChiSquare2Quantile(double p) {
    return -2 * std::log1p(-p);
}

double TwiceF2Quantile(double p, double nu) {
    // (1 - p)^(-2/nu) - 1 written with expm1 so that a large nu keeps its digits.
    return nu * std::expm1(-2.0 / nu * std::log1p(-p));
}

EllipseAxes AxesOf(double covEE, double covEN, double covNN, double scale) {
    const double mean = (covEE + covNN) / 2;
    const double half = std::hypot((covEE - covNN) / 2, covEN);
    const double large = mean + half;
    const double small = std::fmax(mean - half, 0.0);
    EllipseAxes axes;
    axes.semiMajor = std::sqrt(scale * large);
    axes.semiMinor = std::sqrt(scale * small);
    // The major axis (e, n) satisfies tan(2 phi) = 2 covEN / (covNN - covEE) with phi measured
    // from north towards east.
    double azimuth = 0.5 * std::atan2(2 * covEN, covNN - covEE) * 180 / kPi;
    if (azimuth < 0) {
        azimuth += 180;
    }
    if (azimuth >= 180) {
        azimuth -= 180;
    }
    axes.majorAzimuth = azimuth;
    axes.areaHectares = kPi * axes.semiMajor * axes.semiMinor / 1e4;
    return axes;
}

} // namespace ervalun::geodesy
