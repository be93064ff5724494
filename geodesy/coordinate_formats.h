#pragma once

#include <limits>
#include <string>
#include <string_view>
#include <vector>

// A position written in the forms people in the field use, and read back from any of them.
// Latitude and longitude are WGS84 degrees, north and east positive. Numbers always take a
// decimal point, never a comma, whatever the process locale.
//
// How a typed position is told apart (ParseCoordinate):
// - "L93" (or "Lambert 93", "Lambert93") first: Lambert 93 easting then northing, metres.
// - A zone number and a latitude band letter, then two numbers: UTM ("32T 334567 5089012").
//   The letter is always a band (C to X, as on maps and in MGRS), never a hemisphere: "32S" is
//   band S, north of the equator. The point must fall in its band (half a degree of slack).
// - One word of zone, band, square and an even number of digits: MGRS ("32TLR3456789012",
//   spaces allowed between its parts).
// - Numbers each followed (or preceded) by a hemisphere letter, N/S and E/O (W accepted):
//   one number a side is decimal degrees, two degrees and minutes, three degrees, minutes and
//   seconds; the symbols ° ' " ′ ″ may follow the numbers.
// - Two plain numbers: latitude then longitude in signed decimal degrees when they fit
//   (|lat| <= 90, |lon| <= 180); otherwise Lambert 93 when they lie in its range (easting
//   0 to 1 400 000, northing 5 900 000 to 7 300 000 m). UTM always needs its zone, so two
//   plain numbers never are UTM.

namespace ervalun::geodesy {

enum class CoordinateForm {
    Decimal,               // 45.934167 6.837500
    DegreesMinutes,        // 45° 56.050′ N 6° 50.250′ E
    DegreesMinutesSeconds, // 45° 56' 3.000" N 6° 50' 15.000" E
    Utm,                   // 32T 334567 5089012
    Mgrs1m,                // 32TLR3456789012
    Mgrs10m,               // 32TLR34568901
    Lambert93              // L93 1001234 6543210
};

// Every form, in the order a list offers them.
const std::vector<CoordinateForm>& AllCoordinateForms();

// The form's name in French, e.g. "Degrés et minutes", "MGRS (1 m)".
std::string CoordinateFormName(CoordinateForm form);

// The position in that form; "—" when the form cannot hold it (not finite, out of range, UTM
// beyond 84° N or 80° S, Lambert 93 outside its area: metropolitan France and its coast).
// Rounded: 6 decimals of degree, a thousandth of a minute or of a second, the metre;
// MGRS truncates to its square, as the grid reference does.
std::string FormatCoordinate(double latitude, double longitude, CoordinateForm form);

// Lambert 93 (EPSG:2154) through PROJ. False when the point lies outside the area Lambert 93 is
// defined for (latitude 41.15 to 51.56, longitude -9.86 to 10.38) or PROJ cannot convert it.
bool ToLambert93(double latitude, double longitude, double& easting, double& northing);
bool FromLambert93(double easting, double northing, double& latitude, double& longitude);

struct ParsedPosition {
    bool ok = false;
    double latitude = std::numeric_limits<double>::quiet_NaN();
    double longitude = std::numeric_limits<double>::quiet_NaN();
    CoordinateForm form = CoordinateForm::Decimal; // the form it was read in
    std::string error;                             // why not, in French, when !ok
};

// One text field in any of the forms above. Never throws. Refuses values out of range and
// numbers written with a comma, saying so in French.
ParsedPosition ParseCoordinate(std::string_view text);

// The message for a text that is in none of the forms, listing them with examples.
std::string UnreadablePositionMessage();

} // namespace ervalun::geodesy
