#pragma once

// Degrees, minutes and seconds, and the conversions to and from signed decimal degrees that the
// solver, the directory reader and the marker placement share.

// An angle as the form and the files give it: degrees, minutes and seconds as magnitudes, and
// the hemisphere as a flag, as the dialog's lists index it: 0 for "E" or "N", any other value
// for "O" (west) or "S" (south).
struct Dms {
    double degrees = 0.0;
    double minutes = 0.0;
    double seconds = 0.0;
    int hemisphere = 0;

    // The signed decimal degrees, negative in the west and the south.
    double Decimal() const;
};

namespace ervalun {

// degrees + minutes / 60, then + seconds / 3600, each step rounded; the whole sum negated when
// negative is non-zero (45 degrees 30 minutes south is -45.5, never -45 + 0.5). No check of
// the inputs. Inline: the directory reader converts a million records with it.
inline double SignedDecimal(double degrees, double minutes, double seconds, int negative) {
    const double t = degrees + minutes / 60;
    const double decimal = t + seconds / 3600;
    return negative != 0 ? -decimal : decimal;
}

// Splits a non-negative decimal value: degrees and minutes truncated toward zero, the rest in
// seconds. No rounding and no carry: 45.999999999 gives 45, 59 and 59.9999964...
void DecimalToDms(double value, double& degrees, double& minutes, double& seconds);

// Sets a value whose magnitude is below the engine's threshold (1e-6) to +0.0.
void SnapToZero(double& value);

// The degrees, minutes and seconds of |value|, each snapped to zero below the threshold, with
// the hemisphere flag of its sign (1 below zero; a negative zero counts as not below).
Dms DmsOf(double value);

} // namespace ervalun
