#pragma once

#include "geodesy/magnetic_model.h"

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// The north corrections at one station for ervalun-fix: the declination of the shipped magnetic
// model and the convergences of the Lambert 93 and UTM grids.

namespace ervalun::geodesy {

// The help lines of the mode, for the tool's --help.
extern const char* const kDeclinationAtHelp;

// The value of --date, "YYYY-MM-DD"; nothing for another form or a date that does not exist
// (2026-02-29), with the French reason.
std::optional<CalendarDate> ParseIsoDate(std::string_view text, std::string& reason);

// Writes one line to out:
//   declination_deg convergence_l93_deg convergence_utm_deg
// with 6 decimals and a decimal point, east and clockwise positive, "nan" where a grid does not
// apply. The date defaults to today (local time). A date outside the model writes instead a line
// "ERREUR <raison>" to out and returns 1; a position that is none writes to err and returns 2.
int RunDeclinationAt(double latitude, double longitude, std::optional<CalendarDate> date,
                     std::FILE* out, std::FILE* err);

} // namespace ervalun::geodesy
