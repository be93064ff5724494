#include "engine/geo_position.h"

#include "engine/numeric.h"

#include <cmath>

using ervalun::kEpsilon;
using ervalun::kPi;

double Angle::FromBearing() {
    inDegrees = 1;
    double t = value + 270;
    t = t / 360;
    double a = 360 - (t - ervalun::TruncTowardZero(t)) * 360;
    if (std::fabs(a) < kEpsilon) {
        a = 0;
    }
    value = a;
    return a;
}

double Angle::ToRadians() const {
    // Multiply first, then divide: the order shows in the last digits.
    double r = value * kPi;
    r = r / 180;
    if (std::fabs(r) < kEpsilon) {
        r = 0;
    }
    if (inDegrees != 0) {
        return r;
    }
    return value;
}

void Vector2::FromPolar(double r, double a) {
    double px = std::cos(a) * r;
    if (std::fabs(px) < kEpsilon) {
        px = 0;
    }
    double py = std::sin(a) * r;
    if (std::fabs(py) < kEpsilon) {
        py = 0;
    }
    x = px;
    y = py;
}
