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
//
// Method: Karney's ellipsoidal gnomonic iteration ("Algorithms for geodesics", J. Geodesy
// 2013). The start is the crossing of the two great circles on the auxiliary sphere of reduced
// latitudes, of its two antipodal points the one with the smaller sum of arcs to the observers
// (on a tie, the one ahead of the first); when the circles are one, the point half-way between
// the observers. Each step centres GeographicLib's Gnomonic projection on the estimate, where
// geodesics through the centre are straight, takes each line near the estimate as the straight
// line through two of its points 0.01 degree of arc apart, intersects the two, cuts the step to
// 2000 km and projects the crossing back. Convergence test: a step of less than 1 mm ends the
// iteration (convergence is quadratic, so the fix is then far closer; two to four steps in
// practice); 60 steps without it give NoConvergence, as does a projection that yields no finite
// point. Lines crossing at less than 1e-6 degree, the flat solver's threshold, are Parallel.
// The crossing angle is the angle of the two projected lines at the last centre, which the
// projection keeps. GeographicLib's own intersection class (Intersect, from version 2.2, after
// Karney's "Geodesic intersections", 2024) is not used: Debian 12 ships 2.1.2, which lacks it,
// while this method needs only Geodesic, GeodesicLine and Gnomonic. The tests hold the fix to
// the library's inverse problem all the same: from each observer, the azimuth back to the
// fix is the one entered, to 1e-9 degree.
GeodesicFix IntersectBearings(const Sighting& first, const Sighting& second);

} // namespace ervalun::geodesy
