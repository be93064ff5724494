#pragma once

#include "geodesy/geodesic_fix.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

// The geodesic cross-check of one calculation: where the two bearings really cross, how far that
// is from the flat fix the solver gives, and how firm the crossing is.

namespace ervalun::geodesy {

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Below this crossing angle, in degrees, the verdict warns that the fix is poorly determined.
inline constexpr double kLowCrossingAngle = 30.0;

struct Place {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
};

struct CheckInput {
    // The observers and their bearings as entered; signed decimal degrees.
    Sighting first;
    Sighting second;
    // Bearing error for the spread, degrees (its magnitude is used).
    double bearingError = 1.0;
    // Magnetic declination, degrees, east positive: added to both bearings for the check only.
    double declination = 0.0;
    // The known position the dialog names, if any.
    std::optional<Place> known;
};

struct CheckFigures {
    CheckInput input;
    // The flat fix of the project's own solver, bearings as entered (no declination).
    double flatLatitude = kNaN;
    double flatLongitude = kNaN;
    // False when the flat plane gives no place on the ground: a latitude beyond a pole, a value
    // that is not finite, or observers on both sides of the 180th meridian.
    bool flatMeaningful = false;
    // The geodesic fix, bearings plus declination.
    GeodesicFix fix;
    // From the flat fix to the geodesic fix: metres and azimuth in degrees.
    double offset = kNaN;
    double offsetAzimuth = kNaN;
    // The largest distance in metres from the fix to the four fixes with one bearing moved by
    // plus or minus the error; infinite when one of them has no fix.
    double spread = kNaN;
    // From the geodesic fix to the named known position, metres.
    double knownDistance = kNaN;
};

// The flat fix of the project's solver for signed decimal inputs: what the dialog shows for
// the same values. Latitude and longitude in degrees, longitude unwrapped.
struct FlatPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};
FlatPoint FlatFix(const Sighting& first, const Sighting& second);

CheckFigures RunCheck(const CheckInput& input);
// The same with each bearing's own correction already made: the flat fix from the bearings of
// input as entered, the geodesic figures from these true azimuths (input.declination unused).
// For bearings read on a north that differs from station to station (magnetic, grid).
CheckFigures RunCheck(const CheckInput& input, double trueAzimuth1, double trueAzimuth2);

// The spread for a bearing error: see CheckFigures::spread. NaN without a fix.
double Spread(const Sighting& first, const Sighting& second, const GeodesicFix& fix,
              double bearingError);

// The worded verdict, in French: the main line first, then the warnings.
std::vector<std::string> Verdict(const CheckFigures& figures);

// Texts for the window, the tooltips and the verdict; numbers always with a decimal point.
// Metres as "0.42 m", "466 m", "1.43 km" or "1234 km"; "—" when not finite.
std::string FormatDistance(double metres);
// Fixed notation with the given number of decimals; "nan", "inf" or "-inf" when not finite.
std::string FormatFixed(double value, int decimals);
// Degrees, minutes and seconds (3 decimals) with the French hemisphere letter:
// 45° 55' 16.885" N, 6° 52' 7.400" E, 0° 0' 1.000" O.
std::string FormatDms(double degrees, bool latitude);
// The longitude within [-180, 180].
double WrapLongitude(double longitude);

} // namespace ervalun::geodesy
