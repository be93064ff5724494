#include "engine/solver.h"

#include "engine/numeric.h"

#include <cmath>

using ervalun::kEpsilon;

namespace {

struct Line {
    double slope = 0.0;
    double intercept = 0.0;
    bool vertical = false;
};

// The bearing line through p with unit direction d. A vertical line keeps slope 0 and the
// point's latitude as intercept; only its x matters.
Line MakeLine(const Vector2& p, const Vector2& d) {
    Line line;
    if (std::fabs(d.X()) > kEpsilon) {
        line.slope = d.Y() / d.X();
    } else {
        line.vertical = true;
        line.slope = 0;
    }
    line.intercept = p.Y() - p.X() * line.slope;
    return line;
}

Vector2 Direction(double bearing) {
    Angle angle;
    angle.SetInDegrees(1);
    angle.SetValue(bearing);
    const double a = angle.FromBearing();
    angle.SetValue(a);
    const double r = angle.ToRadians();
    Vector2 d;
    d.FromPolar(1.0, r);
    return d;
}

} // namespace

Fix Triangulate(const Observation& first, const Observation& second) {
    const Vector2 p1 = first.Point();
    const Vector2 d1 = Direction(first.bearing);
    const Vector2 p2 = second.Point();
    const Vector2 d2 = Direction(second.bearing);

    const Line l1 = MakeLine(p1, d1);
    const Line l2 = MakeLine(p2, d2);
    const double m1 = l1.slope;
    const double m2 = l2.slope;
    const double b1 = l1.intercept;
    const double b2 = l2.intercept;

    double x = 0.0;
    double y = 0.0;
    if (std::fabs(m1 - m2) > kEpsilon) {
        if (l1.vertical != l2.vertical) {
            const Vector2& pv = l1.vertical ? p1 : p2;
            const Line& other = l1.vertical ? l2 : l1;
            x = pv.X();
            y = x * other.slope + other.intercept;
        } else if (std::fabs(b2 - b1) > kEpsilon) {
            x = (b2 - b1) / (m1 - m2);
            if (std::fabs(m1) > kEpsilon) {
                y = x * m1 + b1;
            } else {
                y = x * m2 + b2;
            }
        } else {
            // Inverse of the system m1 x - y = -b1, m2 x - y = -b2.
            const double k = 1.0 / (m2 - m1);
            const double c11 = -1.0 * k;
            const double c12 = 1.0 * k;
            const double c21 = -m2 * k;
            const double c22 = m1 * k;
            x = (-b1) * c11 + (-b2) * c12;
            y = (-b1) * c21 + (-b2) * c22;
        }
    } else if (l2.vertical && !l1.vertical) {
        x = p2.X();
        y = p1.Y();
    } else if (l1.vertical && !l2.vertical) {
        x = p1.X();
        y = p2.Y();
    } else {
        // Parallel lines: the midpoint is the answer.
        x = (p2.X() + p1.X()) * 0.5;
        y = (p2.Y() + p1.Y()) * 0.5;
    }

    Fix fix;
    fix.point.Set(x, y);
    fix.longitude = ervalun::DmsOf(x);
    fix.latitude = ervalun::DmsOf(y);
    return fix;
}

namespace ervalun {

Observation ObservationOf(const GeoPosition& record) {
    Observation o;
    o.longitude = {record.longitudeDegrees, record.longitudeMinutes, record.longitudeSeconds,
                   record.west};
    o.latitude = {record.latitudeDegrees, record.latitudeMinutes, record.latitudeSeconds,
                  record.south};
    o.bearing = record.bearing;
    return o;
}

void Store(const Observation& observation, GeoPosition& record) {
    record.longitudeDegrees = observation.longitude.degrees;
    record.longitudeMinutes = observation.longitude.minutes;
    record.longitudeSeconds = observation.longitude.seconds;
    record.west = observation.longitude.hemisphere;
    record.longitude = observation.longitude.Decimal();
    record.latitudeDegrees = observation.latitude.degrees;
    record.latitudeMinutes = observation.latitude.minutes;
    record.latitudeSeconds = observation.latitude.seconds;
    record.south = observation.latitude.hemisphere;
    record.latitude = observation.latitude.Decimal();
    record.bearing = observation.bearing;
}

void Store(const Fix& fix, GeoPosition& record) {
    record.west = fix.longitude.hemisphere;
    record.south = fix.latitude.hemisphere;
    record.longitude = fix.point.X();
    record.latitude = fix.point.Y();
    record.longitudeDegrees = fix.longitude.degrees;
    record.longitudeMinutes = fix.longitude.minutes;
    record.longitudeSeconds = fix.longitude.seconds;
    record.latitudeDegrees = fix.latitude.degrees;
    record.latitudeMinutes = fix.latitude.minutes;
    record.latitudeSeconds = fix.latitude.seconds;
}

} // namespace ervalun
