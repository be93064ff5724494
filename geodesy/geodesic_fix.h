#pragma once

#include <limits>
#include <string>

// Where two bearings really cross on the ground: the intersection of two geodesics of the WGS84
// ellipsoid, each starting at an observer with the azimuth taken there.

namespace ervalun::geodesy {

// One observer and the bearing taken there, in degrees: latitude north positive, longitude east
// positive (any value: it wraps), azimuth clockwise from true north (any value: it wraps).
struct Sighting {
    double latitude = 0.0;
    double longitude = 0.0;
    double azimuth = 0.0;
};

enum class FixStatus {
    Found,
    NotFinite,          // an input is NaN or infinite
    LatitudeBeyondPole, // |latitude| > 90
    Parallel,           // the lines are parallel or the same line
    NoConvergence,      // the iteration did not settle within its bounded number of steps
};

// Why there is no fix, in French; empty for Found.
std::string FixStatusReason(FixStatus status);

struct GeodesicFix {
    FixStatus status = FixStatus::NotFinite;
    // The fix, degrees; longitude within [-180, 180].
    double latitude = std::numeric_limits<double>::quiet_NaN();
    double longitude = std::numeric_limits<double>::quiet_NaN();
    // Geodesic distance from each observer to the fix, metres.
    double distance1 = std::numeric_limits<double>::quiet_NaN();
    double distance2 = std::numeric_limits<double>::quiet_NaN();
    // The fix lies on the reverse extension of the bearing: opposite to the direction taken.
    bool behind1 = false;
    bool behind2 = false;
    // The angle at which the two lines cross, degrees within [0, 90].
    double crossingAngle = std::numeric_limits<double>::quiet_NaN();
    int iterations = 0;

    bool Found() const { return status == FixStatus::Found; }
};

// Intersects the two geodesics taken as whole lines (a bearing and its opposite are the same
// line). Of their crossings, the one nearest the observers is returned. Never throws.
GeodesicFix IntersectBearings(const Sighting& first, const Sighting& second);

} // namespace ervalun::geodesy
