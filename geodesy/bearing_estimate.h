#pragma once

#include "data/records.h"

#include <limits>
#include <string>
#include <vector>

// The best estimate of a target from any number of bearings taken on it, with its confidence
// ellipse, on the WGS84 ellipsoid: the maximum-likelihood estimator for von Mises bearing errors
// and the robust M-estimators of Lenth ("On finding the source of a signal", Technometrics 23(2),
// 1981), solved in the gnomonic projection centred on the current estimate, whose axes there are
// the local east and north in metres (the gradient of a station's azimuth with respect to the
// estimate is the perpendicular over the reduced length m12), by Newton steps with a line search,
// from the median of the pairwise crossings.
//
// A bearing of standard deviation sigma has von Mises errors of concentration kappa with
// A(kappa) = I1(kappa) / I0(kappa) = exp(-sigma^2 / 2): its circular standard deviation is sigma
// (kappa is close to 1 / sigma^2 for small sigma). Its Fisher information is kappa A(kappa) g g^T,
// g the gradient of its azimuth; the covariance is the inverse of their sum at the estimate.
//
// From three bearings on, a bearing pointing away from the estimate counts against it (von Mises
// errors of the whole azimuth); two bearings are taken as whole lines, so that their estimate is
// the geodesic fix of IntersectBearings.
//
// With the scale from the residuals, s^2 is the sum of the squared residuals in sigmas over
// n - 2, every sigma is multiplied by s and the ellipse takes twice the F(2, n - 2) quantile.
// A robust estimate first sets aside, one at a time, a bearing whose residual stands out against
// the scale of the others (Student's t, 0.2 %): a wild bearing inflates neither the scale nor the
// ellipse, and n counts the bearings kept. Its weights themselves are taken at a scale from the
// median absolute residual (times sqrt(n / (n - 2))), which a wild bearing does not move.

namespace ervalun::geodesy {

// One bearing: the station, the true azimuth taken there towards the target (degrees clockwise
// from true north; any value, it wraps) and its own standard deviation in degrees (NaN: the
// default of the options).
struct BearingInput {
    std::string name; // the station's name, for messages; may be empty
    double latitude = 0.0;
    double longitude = 0.0;
    double azimuth = 0.0;
    double sigma = std::numeric_limits<double>::quiet_NaN();
    // Left out by the user: not used by the estimate, but its residual is still given.
    bool excluded = false;
};

enum class Estimator { MaximumLikelihood, Huber, Andrews };

struct EstimateOptions {
    Estimator estimator = Estimator::MaximumLikelihood;
    // Tuning constant of the Huber and Andrews estimators, in units of the bearing's sigma.
    double tuning = 1.5;
    // Standard deviation of the bearings that give none of their own, degrees.
    double defaultSigma = 2.0;
    // The scale of the errors from the residuals instead of the sigmas given (4 bearings or more).
    bool estimateSigma = false;
    // Level of the confidence ellipse, in (0, 1): 0.95 by default, 0.50 offered.
    double confidence = 0.95;
    // Re-estimate without each bearing in turn for its leave-one-out shift (n more solutions).
    bool leaveOneOut = true;
};

enum class EstimateStatus {
    Found,
    TooFew,        // fewer than two usable bearings
    NotFinite,     // an input is NaN or infinite, or a latitude beyond a pole
    OnePlace,      // every bearing taken from the same place
    Parallel,      // the lines are all parallel (or the same line): they do not cross
    NoConvergence, // the iteration did not settle within its bounded number of steps
    TooFewForSigma // the scale from the residuals asks for four bearings or more
};

// Why there is no estimate, in French; empty for Found.
std::string EstimateStatusReason(EstimateStatus status);

// What each bearing says about the estimate, in the order given (left-out rows included).
struct BearingResidual {
    std::string name;  // the station's name, as given
    bool used = false; // took part in the estimate (not left out, the estimate found)
    // Observed minus computed azimuth at the station, degrees within (-180, 180].
    double residual = std::numeric_limits<double>::quiet_NaN();
    // The same as a distance across the line at the estimate's range, metres (signed).
    double crossTrack = std::numeric_limits<double>::quiet_NaN();
    // Geodesic distance from the station to the estimate, metres.
    double distance = std::numeric_limits<double>::quiet_NaN();
    // The weight the estimator gave it in the end, in [0, 1]: 1 for maximum likelihood, 0 for a
    // left-out row.
    double weight = 0.0;
    // Stands out: residual beyond 3 sigma, or a robust weight under 0.5.
    bool outlier = false;
    // The estimate lies behind the station: the bearing points away from it.
    bool behind = false;
    // How far the estimate moves when this bearing is left out, metres; NaN when there is no
    // estimate without it (or it is left out already).
    double leaveOneOutShift = std::numeric_limits<double>::quiet_NaN();
};

struct ConfidenceEllipse {
    double level = 0.95;
    // Semi-axes in metres and azimuth of the major axis, degrees from true north in [0, 180).
    double semiMajor = std::numeric_limits<double>::quiet_NaN();
    double semiMinor = std::numeric_limits<double>::quiet_NaN();
    double majorAzimuth = std::numeric_limits<double>::quiet_NaN();
    double areaHectares = std::numeric_limits<double>::quiet_NaN();
    // The factor applied to the covariance: the chi-square quantile with 2 degrees of freedom,
    // or twice the F(2, n - 2) quantile when the scale comes from the residuals.
    double scale = std::numeric_limits<double>::quiet_NaN();
};

// The warnings of an estimate, each worded in French by EstimateWarnings.
struct GeometryFlags {
    bool lowCrossing = false;          // no pair of lines crosses at 30 degrees or more
    bool ellipseBeyondStation = false; // the long axis exceeds the distance to the nearest station
    bool narrowSpread = false;         // stations within about 30 degrees seen from the target:
                                       // the ellipse understates the area
    bool behind = false;               // at least one bearing points away from the estimate
    bool outliers = false;             // at least one bearing stands out
    bool residualsLarge = false;       // the scale from the residuals is over twice the sigmas
};

struct BearingEstimate {
    EstimateStatus status = EstimateStatus::TooFew;
    Estimator estimator = Estimator::MaximumLikelihood;
    double latitude = std::numeric_limits<double>::quiet_NaN();
    double longitude = std::numeric_limits<double>::quiet_NaN();
    // Standard deviations east and north, metres, and their correlation.
    double sigmaEast = std::numeric_limits<double>::quiet_NaN();
    double sigmaNorth = std::numeric_limits<double>::quiet_NaN();
    double correlation = std::numeric_limits<double>::quiet_NaN();
    // Covariance east/north in square metres.
    double covEE = std::numeric_limits<double>::quiet_NaN();
    double covEN = std::numeric_limits<double>::quiet_NaN();
    double covNN = std::numeric_limits<double>::quiet_NaN();
    ConfidenceEllipse ellipse;
    // The von Mises concentration of a bearing at the default sigma (or at the sigma estimated
    // from the residuals), and that sigma in degrees.
    double kappa = std::numeric_limits<double>::quiet_NaN();
    double sigma = std::numeric_limits<double>::quiet_NaN();
    bool sigmaEstimated = false;
    int used = 0; // bearings that took part
    int iterations = 0;
    // The largest angle at which two used lines cross, degrees within [0, 90].
    double bestCrossingAngle = std::numeric_limits<double>::quiet_NaN();
    // The angle the used stations span as seen from the estimate, degrees within [0, 180].
    double stationSpread = std::numeric_limits<double>::quiet_NaN();
    std::vector<BearingResidual> residuals;
    GeometryFlags flags;

    bool Found() const { return status == EstimateStatus::Found; }
};

// The estimate from the bearings. Never throws. Leaves each bearing out in turn to give its
// leave-one-out shift (unless options.leaveOneOut is false), each re-estimate starting from the
// estimate: with n bearings that is n more solutions, the bulk of the time.
BearingEstimate EstimatePosition(const std::vector<BearingInput>& bearings,
                                 const EstimateOptions& options);

// The warnings of an estimate, in French, most serious first; empty when there is none.
std::vector<std::string> EstimateWarnings(const BearingEstimate& estimate);

// Where one more bearing would help most: of the directory's known positions within radius metres
// of the estimate, the one from which a bearing with the default sigma (times the scale, when
// that came from the residuals: the estimate's kappa) would shrink the ellipse most, with the area
// the ellipse would then have at the same quantile: its information is added to the estimate's,
// without re-estimating. Positions inside the ellipse's semi-major axis (the area to search) and
// at a station already used are passed over. A cheap flat bound sorts the directory before any
// geodesic is computed.
struct NextStation {
    bool found = false;
    std::string name;
    double latitude = std::numeric_limits<double>::quiet_NaN();
    double longitude = std::numeric_limits<double>::quiet_NaN();
    double distance = std::numeric_limits<double>::quiet_NaN(); // to the estimate, metres
    double predictedAreaHectares = std::numeric_limits<double>::quiet_NaN();
};
NextStation SuggestNextStation(const BearingEstimate& estimate,
                               const std::vector<BearingInput>& bearings,
                               const EstimateOptions& options,
                               const std::vector<KnownPosition>& directory,
                               double radius = 50000.0);

// A point of a drawn or exported line, degrees.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// The geodesic from a station along an azimuth for the given length in metres, as points close
// enough that a straight segment between two of them (in latitude/longitude) is never more than
// maxDeviation metres from the true curve.
std::vector<GeoPoint> GeodesicPath(double latitude, double longitude, double azimuth, double length,
                                   double maxDeviation = 1.0);

// The confidence ellipse of a found estimate as a closed ring (first point repeated last),
// points on the ellipsoid at the ellipse's distance and direction from the estimate, dense
// enough for the same maxDeviation.
std::vector<GeoPoint> EllipseRing(const BearingEstimate& estimate, double maxDeviation = 1.0);

} // namespace ervalun::geodesy
