#pragma once

#include "geodesy/magnetic_model.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>

// The north a bearing is taken from, and its turning into a true bearing. In the field a compass
// gives magnetic bearings; a map's grid gives Lambert 93 or UTM bearings. With the corrections
// east and clockwise positive:
//   true = magnetic + declination        true = grid + convergence
// where the declination is that of the shipped World Magnetic Model at the station on the
// observation's date, and the convergence is the angle from true north to grid north there.

namespace ervalun::geodesy {

enum class NorthReference { True, Magnetic, Lambert93, Utm };

// What a bearing is, unless said otherwise: a compass reading.
inline constexpr NorthReference kDefaultNorthReference = NorthReference::Magnetic;

// "vrai", "magnétique", "Lambert 93", "UTM".
std::string_view FrenchName(NorthReference reference);
// The French names, without regard to ASCII case ("magnetique" is taken too).
std::optional<NorthReference> ParseFrenchName(std::string_view text);
// The command line's words: true, magnetic, l93, utm.
std::string_view CliWord(NorthReference reference);
std::optional<NorthReference> ParseCliWord(std::string_view word);

// Where a bearing was taken. Height in metres above sea level, for the magnetic model.
struct Station {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
};

struct NorthCorrection {
    bool ok = false;
    // Degrees added to a bearing on this reference to make it true; 0 for true north.
    double correction = std::numeric_limits<double>::quiet_NaN();
    // The bearing converted, in [0, 360); NaN when there is no correction.
    double azimuth = std::numeric_limits<double>::quiet_NaN();
    // For the window: "Le-Brévent : déclinaison +2,6° (WMM2025, 07/12/2026)", or why no
    // correction applies (date outside the model, station outside the grid).
    std::string text;
};

// The correction from a reference to true north at a station on a date.
NorthCorrection CorrectionToTrue(NorthReference reference, const Station& station,
                                 const CalendarDate& date);
// A bearing on the given reference as a true bearing.
NorthCorrection ToTrueNorth(double azimuth, NorthReference reference, const Station& station,
                            const CalendarDate& date);
// A true bearing as read on the given reference: the reverse of ToTrueNorth.
NorthCorrection FromTrueNorth(double trueAzimuth, NorthReference reference, const Station& station,
                              const CalendarDate& date);

// A bearing brought into [0, 360).
double NormalizeAzimuth(double degrees);
// Signed degrees with a French decimal comma, one decimal, "+2,6°" or "−1,2°" (true minus).
std::string FormatSignedDegreesFr(double degrees);

} // namespace ervalun::geodesy
