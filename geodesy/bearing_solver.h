#pragma once

#include "geodesy/bearing_estimate.h"

#include <vector>

// The iteration behind EstimatePosition, shared by its leave-one-out re-estimates. Internal to
// geodesy/.

namespace ervalun::geodesy::detail {

// One bearing as the solver takes it: azimuth in degrees, sigma in radians.
struct Line {
    double latitude = 0.0;
    double longitude = 0.0;
    double azimuth = 0.0;
    double sigma = 0.0;
    double kappa = 0.0;
};

// What one line says at a point: the geodesic from the station to the point.
struct LineAt {
    double distance = 0.0; // metres
    double residual = 0.0; // observed minus computed azimuth, degrees in (-180, 180]
    // The residual the estimate weighs, radians: the residual itself, or, for the whole line
    // (two bearings, as their geodesic fix takes them), within (-pi/2, pi/2].
    double off = 0.0;
    double gradEast = 0.0;       // change of the computed azimuth per metre moved east, rad/m
    double gradNorth = 0.0;      // the same per metre moved north
    double azimuthAtPoint = 0.0; // azimuth of the geodesic at the point, degrees
};
LineAt Evaluate(const Line& line, double latitude, double longitude, bool wholeLine);

// Two bearings are taken as whole lines, so that their estimate is their geodesic fix even
// behind a station; from three on, a bearing pointing away from the estimate counts against it.
inline bool WholeLines(std::size_t count) {
    return count == 2;
}

struct Solution {
    EstimateStatus status = EstimateStatus::NoConvergence;
    double latitude = 0.0;
    double longitude = 0.0;
    int iterations = 0;
    // The robust scale the weights were taken with (1 when the sigmas are trusted as given).
    double scale = 1.0;
    std::vector<double> weights; // per line, the last IRLS weight (1 for maximum likelihood)
    std::vector<LineAt> at;      // every line at the solution
};

// The robust weight psi(u)/u and psi itself and its slope for a residual u in sigmas.
double RobustWeight(Estimator estimator, double tuning, double u);
double RobustPsi(Estimator estimator, double tuning, double u);
double RobustPsiSlope(Estimator estimator, double tuning, double u);

// A start from the pairwise crossings of the lines (on the sphere): the componentwise median of
// those ahead of both stations and crossing at a fair angle, else of any crossing. False when no
// two lines cross.
bool RobustStart(const std::vector<Line>& lines, double& latitude, double& longitude);

// Lowers the objective (minus the von Mises log-likelihood, or the sum of Huber's or Andrews'
// rho) from the start by Newton steps, or reweighted least-squares steps where Newton's matrix is
// not positive, in local east/north metres at the current estimate, each halved until the
// objective does not rise; stops once a step is under a millimetre. Andrews' estimate starts
// from Huber's. robustScale: the robust estimators take their scale from the residuals. startAt:
// the lines at the start when the caller has them (empty otherwise), which saves evaluating them.
Solution Solve(const std::vector<Line>& lines, double startLatitude, double startLongitude,
               Estimator estimator, double tuning, bool robustScale,
               std::vector<LineAt> startAt = {});

} // namespace ervalun::geodesy::detail
