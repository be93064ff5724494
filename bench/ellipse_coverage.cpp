// How often the confidence ellipse of the many-bearing estimate contains the truth: cases with a
// known target and von Mises bearing errors of the stated sigma (the same sigma-to-kappa mapping
// as the estimate), by geometry, number of bearings, estimator and whether the scale is known or
// taken from the residuals. Fixed seed; prints a Markdown table.
// Usage: ervalun_ellipse_coverage [cases per cell]
#include "geodesy/bearing_estimate.h"
#include "geodesy/confidence.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;
using GeographicLib::Geodesic;
using GeographicLib::Math;

constexpr double kSigmaDegrees = 2.0;

// Best and Fisher's rejection sampler of the von Mises distribution centred on 0, radians.
double VonMises(std::mt19937_64& gen, double kappa) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double tau = 1 + std::sqrt(1 + 4 * kappa * kappa);
    const double rho = (tau - std::sqrt(2 * tau)) / (2 * kappa);
    const double r = (1 + rho * rho) / (2 * rho);
    for (;;) {
        const double z = std::cos(Math::pi() * unit(gen));
        const double f = (1 + r * z) / (r + z);
        const double c = kappa * (r - f);
        const double u2 = unit(gen);
        if (c * (2 - c) - u2 > 0 || std::log(c / u2) + 1 - c >= 0) {
            const double angle = std::acos(std::fmin(1.0, std::fmax(-1.0, f)));
            return unit(gen) < 0.5 ? -angle : angle;
        }
    }
}

struct Geometry {
    const char* name;
    double minSpread; // degrees spanned by the stations seen from the target
    double maxSpread;
};

const Geometry kGeometries[] = {
    {"autour (360°)", 360, 360},
    {"étalée 45°", 45, 45},
    {"étroite 15–30°", 15, 30},
};

struct Tally {
    int cases = 0;
    int in50 = 0;
    int in95 = 0;
    int failed = 0;
    int narrow = 0;
};

// The truth's offset from the estimate in east/north metres, its squared Mahalanobis distance.
double Mahalanobis(const geodesy::BearingEstimate& e, double lat, double lon) {
    double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
    Geodesic::WGS84().Inverse(e.latitude, e.longitude, lat, lon, s12, azi1, azi2);
    double s = 0.0, c = 0.0;
    Math::sincosd(azi1, s, c);
    const double x = s12 * s;
    const double y = s12 * c;
    const double det = e.covEE * e.covNN - e.covEN * e.covEN;
    return (e.covNN * x * x - 2 * e.covEN * x * y + e.covEE * y * y) / det;
}

void RunCell(std::mt19937_64& gen, const Geometry& g, int n, geodesy::Estimator estimator,
             bool estimateSigma, int cases, Tally& t) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double kappa = geodesy::KappaFromSigma(kSigmaDegrees * Math::pi() / 180);
    geodesy::EstimateOptions options;
    options.estimator = estimator;
    options.estimateSigma = estimateSigma;
    options.defaultSigma = kSigmaDegrees;
    options.leaveOneOut = false;
    for (int k = 0; k < cases; ++k) {
        const double lat = -60 + 120 * unit(gen);
        const double lon = -180 + 360 * unit(gen);
        const double first = 360 * unit(gen);
        const double spread = g.minSpread + (g.maxSpread - g.minSpread) * unit(gen);
        std::vector<geodesy::BearingInput> bearings;
        for (int i = 0; i < n; ++i) {
            // Evenly over the spread (a full turn: n equal sectors), each jittered a little.
            const double step = spread >= 360 ? 360.0 / n : spread / (n - 1);
            const double from = first + i * step + (unit(gen) - 0.5) * 0.2 * step;
            const double range = 2000 + 18000 * unit(gen);
            geodesy::BearingInput b;
            double azi = 0.0;
            Geodesic::WGS84().Direct(lat, lon, from, range, b.latitude, b.longitude, azi);
            double back = 0.0;
            Geodesic::WGS84().Inverse(b.latitude, b.longitude, lat, lon, b.azimuth, back);
            b.azimuth += VonMises(gen, kappa) * 180 / Math::pi();
            bearings.push_back(b);
        }
        const geodesy::BearingEstimate e = geodesy::EstimatePosition(bearings, options);
        ++t.cases;
        if (!e.Found()) {
            ++t.failed;
            if (std::getenv("COVERAGE_DEBUG") != nullptr) {
                std::fprintf(stderr, "%d %d %d: %s\n", n, static_cast<int>(estimator),
                             estimateSigma ? 1 : 0,
                             geodesy::EstimateStatusReason(e.status).c_str());
                for (const auto& b : bearings) {
                    std::fprintf(stderr, "  %.12f %.12f %.10f\n", b.latitude, b.longitude,
                                 b.azimuth);
                }
            }
            continue;
        }
        const double d2 = Mahalanobis(e, lat, lon);
        const double scale50 = estimateSigma ? geodesy::TwiceF2Quantile(0.5, n - 2.0)
                                             : geodesy::ChiSquare2Quantile(0.5);
        t.in50 += d2 <= scale50 ? 1 : 0;
        t.in95 += d2 <= e.ellipse.scale ? 1 : 0;
        t.narrow += e.flags.narrowSpread ? 1 : 0;
    }
}

std::string Percent(int part, int whole) {
    char buffer[32];
    const auto r =
        std::to_chars(buffer, buffer + sizeof buffer, whole > 0 ? 100.0 * part / whole : 0.0,
                      std::chars_format::fixed, 1);
    return std::string(buffer, r.ptr);
}

} // namespace

int main(int argc, char** argv) {
    int cases = 4000;
    if (argc > 1) {
        const std::string text = argv[1];
        std::from_chars(text.data(), text.data() + text.size(), cases);
    }
    std::mt19937_64 gen(20261207);
    std::printf("%d cas par case, sigma %.1f° (von Mises, écart type circulaire), portées 2 à "
                "20 km.\n\n",
                cases, kSigmaDegrees);
    std::printf("| Géométrie | n | sigma | MV 50 %% | MV 95 %% | Huber 95 %% | Andrews 95 %% | "
                "drapeau étroit | échecs |\n|---|---|---|---|---|---|---|---|---|\n");
    for (const Geometry& g : kGeometries) {
        for (int n : {3, 4, 6, 10}) {
            for (bool estimated : {false, true}) {
                if (estimated && n < 4) {
                    continue;
                }
                Tally mle, huber, andrews;
                RunCell(gen, g, n, geodesy::Estimator::MaximumLikelihood, estimated, cases, mle);
                RunCell(gen, g, n, geodesy::Estimator::Huber, estimated, cases, huber);
                RunCell(gen, g, n, geodesy::Estimator::Andrews, estimated, cases, andrews);
                std::printf("| %s | %d | %s | %s | %s | %s | %s | %s | %d |\n", g.name, n,
                            estimated ? "estimé" : "connu", Percent(mle.in50, mle.cases).c_str(),
                            Percent(mle.in95, mle.cases).c_str(),
                            Percent(huber.in95, huber.cases).c_str(),
                            Percent(andrews.in95, andrews.cases).c_str(),
                            Percent(mle.narrow, mle.cases).c_str(),
                            mle.failed + huber.failed + andrews.failed);
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
