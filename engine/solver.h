#pragma once

#include "engine/coordinates.h"
#include "engine/geo_position.h"

// The two-bearing solver over plain values.

// An observation point and the compass bearing taken there towards the sought point, in degrees
// clockwise from north.
struct Observation {
    Dms longitude;
    Dms latitude;
    double bearing = 0.0;

    // The point in the flat plane: signed decimal longitude as x, latitude as y.
    Vector2 Point() const { return {longitude.Decimal(), latitude.Decimal()}; }
};

// Where the two bearing lines cross: the point of the plane as computed, and its degrees,
// minutes and seconds (truncated, never rounded, and snapped to zero below 1e-6) with the
// hemisphere flags of its signs.
struct Fix {
    Vector2 point;
    Dms longitude;
    Dms latitude;
};

// Intersects the two bearing lines.
//
// Method: a flat plane whose axes are the decimal longitude (x) and latitude (y), both in
// degrees, with no cos(latitude) scaling and no wrap at the 180th meridian. Each bearing is a
// whole straight line of that plane (a bearing and its opposite are the same line); its
// direction uses the rounded pi 3.141592654, so directions carry a relative error of about
// 1.3e-10. One threshold, 1e-6, decides every test: direction components, angles in radians and
// result degrees, minutes and seconds below it snap to 0, and slopes within it are parallel,
// giving the midpoint of the two points. Every input yields a point. The fix therefore differs
// from where the bearings cross on the ground away from the equator; geodesy/ measures by how
// much.
Fix Triangulate(const Observation& first, const Observation& second);

namespace ervalun {

// The observation a position record holds: its degrees, minutes, seconds, flags and bearing.
Observation ObservationOf(const GeoPosition& record);

// What the solver leaves in the record of an observation point: every field but the name.
void Store(const Observation& observation, GeoPosition& record);

// What the solver leaves in the result's record: every field but the bearing and the name.
void Store(const Fix& fix, GeoPosition& record);

} // namespace ervalun
