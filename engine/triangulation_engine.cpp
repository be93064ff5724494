#include "engine/triangulation_engine.h"

#include "engine/numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using ervalun::kEpsilon;

namespace {

constexpr const char* kNoName = "RESULTAT";

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

void TriangulationEngine::DmsToDecimal(double degrees, double minutes, double seconds,
                                       double& decimal) {
    const double t = degrees + minutes / 60;
    decimal = t + seconds / 3600;
}

void TriangulationEngine::DecimalToDms(double value, double& degrees, double& minutes,
                                       double& seconds) {
    degrees = ervalun::TruncTowardZero(value);
    const double f = value - degrees;
    const double m = f * 60;
    minutes = ervalun::TruncTowardZero(m);
    seconds = (m - minutes) * 60;
}

void TriangulationEngine::SnapToZero(double& value) {
    if (std::fabs(value) < kEpsilon) {
        value = 0.0;
    }
}

int TriangulationEngine::Triangulate(double lonDeg1, double lonMin1, double lonSec1, int west1,
                                     double latDeg1, double latMin1, double latSec1, int south1,
                                     double bearing1, double lonDeg2, double lonMin2,
                                     double lonSec2, int west2, double latDeg2, double latMin2,
                                     double latSec2, int south2, double bearing2, double& resLonDeg,
                                     double& resLonMin, double& resLonSec, int& resWest,
                                     double& resLatDeg, double& resLatMin, double& resLatSec,
                                     int& resSouth, std::string& name) {
    // One observation point: its record, its position in the plane and its direction.
    auto observe = [](GeoPosition& pos, double lonDeg, double lonMin, double lonSec, int west,
                      double latDeg, double latMin, double latSec, int south, double bearing,
                      Vector2& p, Vector2& d) {
        pos.longitudeDegrees = lonDeg;
        pos.longitudeMinutes = lonMin;
        pos.longitudeSeconds = lonSec;
        double lon = 0.0;
        DmsToDecimal(lonDeg, lonMin, lonSec, lon);
        if (west != 0) {
            lon = -lon;
        }
        pos.west = west;
        pos.longitude = lon;

        pos.latitudeDegrees = latDeg;
        pos.latitudeMinutes = latMin;
        pos.latitudeSeconds = latSec;
        double lat = 0.0;
        DmsToDecimal(latDeg, latMin, latSec, lat);
        if (south != 0) {
            lat = -lat;
        }
        pos.south = south;
        pos.latitude = lat;

        p.Set(lon, lat);
        pos.bearing = bearing;
        d = Direction(bearing);
    };

    Vector2 p1, d1, p2, d2;
    observe(position1, lonDeg1, lonMin1, lonSec1, west1, latDeg1, latMin1, latSec1, south1,
            bearing1, p1, d1);
    observe(position2, lonDeg2, lonMin2, lonSec2, west2, latDeg2, latMin2, latSec2, south2,
            bearing2, p2, d2);

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

    // A negative zero is not west or south.
    resWest = x < 0 ? 1 : 0;
    resSouth = y < 0 ? 1 : 0;
    result.west = resWest;
    result.south = resSouth;
    result.longitude = x;
    result.latitude = y;

    int found = 0;
    if (directoryLoaded != 0) {
        found = FindNearestPosition(x, y, name, directory);
        if (found == 0) {
            name = kNoName;
        }
    } else {
        name = kNoName;
    }

    DecimalToDms(std::fabs(x), resLonDeg, resLonMin, resLonSec);
    DecimalToDms(std::fabs(y), resLatDeg, resLatMin, resLatSec);
    SnapToZero(resLonDeg);
    SnapToZero(resLonMin);
    SnapToZero(resLonSec);
    SnapToZero(resLatDeg);
    SnapToZero(resLatMin);
    SnapToZero(resLatSec);
    result.longitudeDegrees = resLonDeg;
    result.longitudeMinutes = resLonMin;
    result.longitudeSeconds = resLonSec;
    result.latitudeDegrees = resLatDeg;
    result.latitudeMinutes = resLatMin;
    result.latitudeSeconds = resLatSec;
    return found;
}

int TriangulationEngine::FindNearestPosition(double x, double y, std::string& name,
                                             std::vector<KnownPosition>& list) {
    if (list.empty()) {
        return 0;
    }
    double dmin = 0.0;
    bool first = true;
    for (KnownPosition& e : list) {
        const double dx = x - e.longitude;
        const double dy = y - e.latitude;
        e.distance = std::sqrt(dx * dx + dy * dy);
        // A NaN distance (from infinite inputs) never becomes the minimum.
        if (first || e.distance < dmin) {
            if (!std::isnan(e.distance)) {
                dmin = e.distance;
                first = false;
            }
        }
    }
    const double lo = dmin - 1e-6;
    const double hi = 1e-6 + dmin;
    const KnownPosition* chosen = nullptr;
    for (const KnownPosition& e : list) {
        if (e.distance > lo && e.distance < hi) {
            chosen = &e;
        }
    }
    if (chosen == nullptr) {
        return 0;
    }
    name = chosen->name;
    return 1;
}

void TriangulationEngine::ShowMessage(const std::string& text) {
    if (messages != nullptr) {
        messages->ShowMessage(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}
