#pragma once

#include <limits>
#include <string>

// Meridian convergence of the two grids a bearing may be taken on in the field: the angle from
// true north to grid north at the station, clockwise positive, in degrees. A bearing read on
// the grid becomes a true bearing by adding it.
//
// Lambert 93 (EPSG:2154) through PROJ, which knows the projection from its database; UTM
// through GeographicLib, in the station's own zone. Both are safe to call from several threads:
// PROJ's context and objects belong to the calling thread.

namespace ervalun::geodesy {

struct GridConvergence {
    // NaN where the grid does not apply; reason then says why, in French.
    double degrees = std::numeric_limits<double>::quiet_NaN();
    std::string reason;
    // For UTM: the station's zone (1 to 60) and hemisphere.
    int zone = 0;
    bool north = true;
};

// Outside the area of use of EPSG:2154 (metropolitan France and Corsica, with its offshore
// margin), or when PROJ fails, no value.
GridConvergence Lambert93Convergence(double latitude, double longitude);
// In the standard UTM zone of the station (Norway's and Svalbard's exceptions included); none
// in the polar caps, where UPS replaces UTM.
GridConvergence UtmConvergence(double latitude, double longitude);

} // namespace ervalun::geodesy
