#include "geodesy/bearing_estimate.h"
#include "geodesy/confidence.h"
#include "geodesy/geodesic_fix.h"
#include "tests/bearing_cases.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <GeographicLib/Math.hpp>

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

using geodesy::BearingEstimate;
using geodesy::BearingInput;
using geodesy::EstimateOptions;
using geodesy::EstimatePosition;
using geodesy::EstimateStatus;
using geodesy::Estimator;
using GeographicLib::Geodesic;

using namespace bearing_cases;

TEST(BearingEstimateTest, TwoBearingsGiveTheGeodesicFix) {
    std::mt19937_64 gen(20261207);
    for (int k = 0; k < 500; ++k) {
        const RandomCase c = MakeCase(gen, 2, 3.0);
        const geodesy::GeodesicFix fix = geodesy::IntersectBearings(
            {c.bearings[0].latitude, c.bearings[0].longitude, c.bearings[0].azimuth},
            {c.bearings[1].latitude, c.bearings[1].longitude, c.bearings[1].azimuth});
        const BearingEstimate e = EstimatePosition(c.bearings, With(Estimator::MaximumLikelihood));
        ASSERT_TRUE(fix.Found()) << k;
        ASSERT_TRUE(e.Found()) << k << " " << geodesy::EstimateStatusReason(e.status);
        EXPECT_LT(Distance(fix.latitude, fix.longitude, e.latitude, e.longitude), 1e-3) << k;
    }
}

TEST(BearingEstimateTest, ExactBearingsRecoverTheTarget) {
    std::mt19937_64 gen(7);
    for (Estimator estimator :
         {Estimator::MaximumLikelihood, Estimator::Huber, Estimator::Andrews}) {
        for (int k = 0; k < 240; ++k) {
            const int n = 3 + k % 8;
            const RandomCase c = MakeCase(gen, n, 0.0);
            const BearingEstimate e = EstimatePosition(c.bearings, With(estimator, k % 2 == 1));
            ASSERT_TRUE(e.Found()) << k << " " << geodesy::EstimateStatusReason(e.status);
            EXPECT_LT(Distance(c.lat, c.lon, e.latitude, e.longitude), 1e-3) << k;
            EXPECT_EQ(e.used, n);
        }
    }
}

// Six stations around a target 4 to 9 km away, small errors, and one wild bearing of +25 degrees:
// a robust estimate stays by the estimate without it, maximum likelihood is dragged away.
TEST(BearingEstimateTest, OneWildBearingDoesNotDragTheRobustEstimates) {
    const double lat = 45.9;
    const double lon = 6.87;
    const double errors[] = {0.8, -1.1, 0.4, 1.5, -0.6, 25.0};
    std::vector<BearingInput> bearings;
    for (int i = 0; i < 6; ++i) {
        bearings.push_back(Station(lat, lon, 15.0 + 61.0 * i, 4000.0 + 1000.0 * i, errors[i]));
    }
    const std::vector<BearingInput> clean(bearings.begin(), bearings.end() - 1);
    struct Row {
        Estimator estimator;
        bool estimateSigma;
        bool robust; // within 5 m of the estimate without the wild bearing, else over 50 m away
    };
    const Row rows[] = {{Estimator::MaximumLikelihood, false, false},
                        {Estimator::MaximumLikelihood, true, false},
                        {Estimator::Andrews, false, true},
                        {Estimator::Andrews, true, true},
                        {Estimator::Huber, false, false},
                        {Estimator::Huber, true, false}};
    for (const Row& row : rows) {
        const std::string what = std::to_string(static_cast<int>(row.estimator)) +
                                 (row.estimateSigma ? " sigma estimated" : " sigma given");
        const BearingEstimate with =
            EstimatePosition(bearings, With(row.estimator, row.estimateSigma));
        const BearingEstimate without =
            EstimatePosition(clean, With(row.estimator, row.estimateSigma));
        ASSERT_TRUE(with.Found() && without.Found()) << what;
        const double moved =
            Distance(with.latitude, with.longitude, without.latitude, without.longitude);
        if (row.robust) {
            EXPECT_LT(moved, 5.0) << what;
            EXPECT_LT(with.residuals[5].weight, 0.01) << what;
        } else {
            EXPECT_GT(moved, 50.0) << what;
        }
        // Whichever estimate, the wild bearing stands out; but maximum likelihood with the scale
        // from the residuals takes it for large errors all round, and says so.
        const bool inflated = row.estimateSigma && row.estimator == Estimator::MaximumLikelihood;
        EXPECT_EQ(with.residuals[5].outlier, !inflated) << what;
        EXPECT_EQ(with.flags.residualsLarge, inflated) << what;
        EXPECT_FALSE(without.flags.residualsLarge || without.flags.outliers) << what;
        if (row.estimateSigma && row.robust) {
            // The scale from the residuals is not inflated by the wild bearing.
            EXPECT_LT(with.sigma, 1.5 * without.sigma) << what;
        }
    }
}

TEST(BearingEstimateTest, NoEstimateSaysWhy) {
    const BearingInput a = Station(45.0, 6.0, 0.0, 5000.0);
    const BearingInput b = Station(45.0, 6.0, 90.0, 5000.0);
    const BearingInput c = Station(45.0, 6.0, 200.0, 5000.0);
    auto changed = [](BearingInput x, auto change) {
        change(x);
        return x;
    };
    const BearingInput nanAzimuth = changed(a, [](BearingInput& x) { x.azimuth = NAN; });
    const BearingInput pole = changed(a, [](BearingInput& x) { x.latitude = 90.5; });
    const BearingInput badSigma = changed(a, [](BearingInput& x) { x.sigma = -1; });
    const BearingInput leftOut = changed(b, [](BearingInput& x) { x.excluded = true; });
    // Three bearings from the same place, and two stations on one meridian looking along it.
    const BearingInput same1 = changed(a, [](BearingInput& x) { x.azimuth += 30; });
    const BearingInput same2 = changed(a, [](BearingInput& x) { x.azimuth -= 50; });
    const BearingInput north1{"", 10.0, 3.0, 0.0};
    const BearingInput north2{"", 11.0, 3.0, 0.0};
    EstimateOptions fiftyFifty;
    fiftyFifty.confidence = 1.0;
    struct Row {
        std::vector<BearingInput> bearings;
        EstimateOptions options;
        EstimateStatus status;
    };
    const Row rows[] = {
        {{}, {}, EstimateStatus::TooFew},
        {{a}, {}, EstimateStatus::TooFew},
        {{a, leftOut}, {}, EstimateStatus::TooFew},
        {{a, b, nanAzimuth}, {}, EstimateStatus::NotFinite},
        {{a, b, pole}, {}, EstimateStatus::NotFinite},
        {{a, b, badSigma}, {}, EstimateStatus::NotFinite},
        {{a, b}, fiftyFifty, EstimateStatus::NotFinite},
        {{a, same1, same2}, {}, EstimateStatus::OnePlace},
        {{north1, north2}, {}, EstimateStatus::Parallel},
        {{a, b, c}, With(Estimator::MaximumLikelihood, true), EstimateStatus::TooFewForSigma},
        // A row left out with a broken value does not matter; nor does a wrapped azimuth.
        {{a, b, changed(nanAzimuth, [](BearingInput& x) { x.excluded = true; }),
          changed(c, [](BearingInput& x) { x.azimuth += 720; })},
         {},
         EstimateStatus::Found},
    };
    for (std::size_t k = 0; k < std::size(rows); ++k) {
        const BearingEstimate e = EstimatePosition(rows[k].bearings, rows[k].options);
        EXPECT_EQ(e.status, rows[k].status) << k;
        EXPECT_EQ(geodesy::EstimateStatusReason(e.status).empty(), e.Found()) << k;
        if (e.Found()) {
            EXPECT_LT(Distance(e.latitude, e.longitude, 45.0, 6.0), 1e-3);
            EXPECT_FALSE(e.residuals[2].used);
            EXPECT_EQ(e.residuals[2].weight, 0.0);
        }
    }
}

// Reference values from published tables: the chi-square quantile with 2 degrees of freedom,
// twice the F(2, nu) quantile, and I1/I0 from the backward recurrence of the Bessel ratios.
TEST(BearingEstimateTest, QuantilesAndConcentration) {
    struct Quantile {
        double p;
        double nu; // 0: chi-square
        double value;
    };
    const Quantile quantiles[] = {
        {0.95, 0, 5.9915},     {0.50, 0, 1.3863},      {0.99, 0, 9.2103},    {0.95, 1, 2 * 199.50},
        {0.95, 3, 2 * 9.5521}, {0.95, 10, 2 * 4.1028}, {0.50, 4, 2 * 0.8284}};
    for (const Quantile& q : quantiles) {
        const double value =
            q.nu == 0 ? geodesy::ChiSquare2Quantile(q.p) : geodesy::TwiceF2Quantile(q.p, q.nu);
        EXPECT_NEAR(value, q.value, 1e-4 * q.value) << q.p << " " << q.nu;
    }
    EXPECT_NEAR(geodesy::TwiceF2Quantile(0.95, 1e7), geodesy::ChiSquare2Quantile(0.95), 1e-5);
    for (double kappa : {0.3, 2.0, 40.0, 499.0, 501.0, 821.0, 2e4}) {
        double ratio = 0.0;
        for (int k = 100000; k >= 1; --k) {
            ratio = 1.0 / (2.0 * k / kappa + ratio);
        }
        EXPECT_NEAR(geodesy::BesselRatio(kappa), ratio, 1e-14) << kappa;
    }
    for (double sigma : {0.01, 0.5, 2.0, 10.0, 60.0}) {
        const double radians = sigma * GeographicLib::Math::pi() / 180;
        const double kappa = geodesy::KappaFromSigma(radians);
        // The circular standard deviation of the errors is the sigma stated.
        EXPECT_NEAR(std::sqrt(-2 * std::log(geodesy::BesselRatio(kappa))), radians, 1e-9 * radians)
            << sigma;
        if (sigma <= 2.0) {
            EXPECT_NEAR(kappa * radians * radians, 1.0, 1e-3) << sigma;
        }
    }
}

// Four stations at d metres north, east, south and west: each bearing pins the target across its
// line with information kappa A(kappa) / d^2, so sigma east = sigma north = d / sqrt(2 kappa A).
// And the ellipse at any level and with either scale is the same shape, scaled by its quantile.
TEST(BearingEstimateTest, EllipseFromTheInformation) {
    const double d = 5000.0;
    std::vector<BearingInput> bearings;
    for (double from : {0.0, 90.0, 180.0, 270.0}) {
        bearings.push_back(Station(-33.0, 151.0, from, d));
    }
    const double kappa = geodesy::KappaFromSigma(2.0 * GeographicLib::Math::pi() / 180);
    const double expected = d / std::sqrt(2 * kappa * geodesy::BesselRatio(kappa));
    const BearingEstimate e = EstimatePosition(bearings, {});
    ASSERT_TRUE(e.Found());
    EXPECT_NEAR(e.sigmaEast, expected, 1e-3 * expected);
    EXPECT_NEAR(e.sigmaNorth, expected, 1e-3 * expected);
    EXPECT_NEAR(e.correlation, 0.0, 1e-3);
    EXPECT_NEAR(e.ellipse.areaHectares,
                GeographicLib::Math::pi() * expected * expected * 5.9915 / 1e4, 1e-2);

    std::mt19937_64 gen(3);
    for (int k = 0; k < 40; ++k) {
        const RandomCase c = MakeCase(gen, 5 + k % 4, 1.5);
        const int n = 5 + k % 4;
        for (bool estimated : {false, true}) {
            EstimateOptions o = With(Estimator::MaximumLikelihood, estimated);
            o.confidence = 0.5;
            const BearingEstimate half = EstimatePosition(c.bearings, o);
            o.confidence = 0.95;
            const BearingEstimate most = EstimatePosition(c.bearings, o);
            ASSERT_TRUE(half.Found() && most.Found());
            const double ratio = estimated ? std::sqrt(std::expm1(-2.0 / (n - 2) * std::log(0.05)) /
                                                       std::expm1(-2.0 / (n - 2) * std::log(0.5)))
                                           : std::sqrt(std::log(0.05) / std::log(0.5));
            EXPECT_NEAR(most.ellipse.semiMajor / half.ellipse.semiMajor, ratio, 1e-9 * ratio);
            EXPECT_NEAR(most.ellipse.semiMinor / half.ellipse.semiMinor, ratio, 1e-9 * ratio);
            EXPECT_NEAR(most.ellipse.majorAzimuth, half.ellipse.majorAzimuth, 1e-9);
        }
    }
}

// The scale from the residuals of errors of 2 degrees comes out at 2 degrees on average (its
// square, over n - 2 degrees of freedom, is unbiased).
TEST(BearingEstimateTest, SigmaFromTheResiduals) {
    std::mt19937_64 gen(11);
    double sum = 0.0;
    const int cases = 400;
    for (int k = 0; k < cases; ++k) {
        const RandomCase c = MakeCase(gen, 4 + k % 7, 2.0);
        const BearingEstimate e =
            EstimatePosition(c.bearings, With(Estimator::MaximumLikelihood, true));
        ASSERT_TRUE(e.Found());
        EXPECT_TRUE(e.sigmaEstimated);
        sum += e.sigma * e.sigma;
    }
    EXPECT_NEAR(std::sqrt(sum / cases), 2.0, 0.1);
}

// Each leave-one-out shift is the distance to the estimate computed afresh without that bearing.
// (With a station a few hundred metres from the target and the others tens of kilometres away,
// the likelihood may also peak at that station's doorstep: the two need not agree there.)
TEST(BearingEstimateTest, LeaveOneOutMatchesAFreshEstimate) {
    std::mt19937_64 gen(5);
    for (Estimator estimator : {Estimator::MaximumLikelihood, Estimator::Andrews}) {
        for (int k = 0; k < 20; ++k) {
            const RandomCase c = MakeCase(gen, 3 + k % 5, 2.0, 2000.0, 10.0);
            const BearingEstimate e = EstimatePosition(c.bearings, With(estimator));
            ASSERT_TRUE(e.Found());
            for (std::size_t i = 0; i < c.bearings.size(); ++i) {
                std::vector<BearingInput> others = c.bearings;
                others[i].excluded = true;
                const BearingEstimate fresh = EstimatePosition(others, With(estimator));
                ASSERT_TRUE(fresh.Found());
                EXPECT_NEAR(e.residuals[i].leaveOneOutShift,
                            Distance(e.latitude, e.longitude, fresh.latitude, fresh.longitude),
                            2e-3)
                    << k << " " << i;
                // The row left out still gets its residual against the estimate.
                EXPECT_NEAR(fresh.residuals[i].residual, 0.0, 180.0);
                EXPECT_FALSE(fresh.residuals[i].used);
            }
        }
    }
}

} // namespace
