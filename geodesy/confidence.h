#pragma once

// The statistics behind the many-bearing estimate: the von Mises concentration of a bearing from
// its standard deviation, the quantiles that turn a covariance into a confidence ellipse, and the
// ellipse itself. Plain functions of numbers, no geodesy.

namespace ervalun::geodesy {

// A(kappa) = I1(kappa) / I0(kappa): the mean cosine of a von Mises error of concentration kappa.
double BesselRatio(double kappa);

// The concentration whose errors have the circular standard deviation sigma (radians), that is
// A(kappa) = exp(-sigma^2 / 2). For small sigma kappa is close to 1 / sigma^2. Zero for a sigma
// so large that the bearings carry no direction (A would fall under 1e-12).
double KappaFromSigma(double sigmaRadians);

// The inverse: the circular standard deviation of errors of concentration kappa, radians.
double SigmaFromKappa(double kappa);

// Quantile of the chi-square distribution with 2 degrees of freedom at level p: -2 ln(1 - p).
double ChiSquare2Quantile(double p);

// Twice the quantile of the F(2, nu) distribution at level p, closed form:
// nu ((1 - p)^(-2 / nu) - 1). Tends to the chi-square quantile as nu grows.
double TwiceF2Quantile(double p, double nu);

// An ellipse of a 2x2 covariance (east/north, square metres) multiplied by scale.
struct EllipseAxes {
    double semiMajor = 0.0;
    double semiMinor = 0.0;
    double majorAzimuth = 0.0; // degrees from north, clockwise, in [0, 180)
    double areaHectares = 0.0;
};
EllipseAxes AxesOf(double covEE, double covEN, double covNN, double scale);

} // namespace ervalun::geodesy
