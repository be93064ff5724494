#include "engine/coordinates.h"

#include "engine/numeric.h"

#include <cmath>

double Dms::Decimal() const {
    return ervalun::SignedDecimal(degrees, minutes, seconds, hemisphere);
}

namespace ervalun {

void DecimalToDms(double value, double& degrees, double& minutes, double& seconds) {
    degrees = TruncTowardZero(value);
    const double f = value - degrees;
    const double m = f * 60;
    minutes = TruncTowardZero(m);
    seconds = (m - minutes) * 60;
}

void SnapToZero(double& value) {
    if (std::fabs(value) < kEpsilon) {
        value = 0.0;
    }
}

Dms DmsOf(double value) {
    Dms dms;
    DecimalToDms(std::fabs(value), dms.degrees, dms.minutes, dms.seconds);
    SnapToZero(dms.degrees);
    SnapToZero(dms.minutes);
    SnapToZero(dms.seconds);
    dms.hemisphere = value < 0 ? 1 : 0;
    return dms;
}

} // namespace ervalun
