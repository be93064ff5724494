#pragma once

// The command line of ervalun-fix: its options, read from one table so that an option for either
// mode is one more row, and the reading of the input lines both modes share.

#include "geodesy/bearing_estimate.h"
#include "geodesy/field_export.h"
#include "geodesy/north_reference.h"

#include <cstdio>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ervalun::geodesy {

// DeclinationAt: the north corrections at one station, no input read.
enum class FixMode { Pair, Multi, DeclinationAt };

// What goes to standard output: the answer lines, or one file of every case for other tools.
enum class FixFormat { Lines, Gpx, Kml, GeoJson };

struct FixCliOptions {
    FixMode mode = FixMode::Pair;
    // Two bearings: the spread column and its bearing error, degrees.
    bool withSpread = false;
    double spread = 0.0;
    // Both modes: added to every azimuth before the geodesic calculation, degrees east.
    double declination = 0.0;
    // Both modes: the north the bearings are read from, and the date of the magnetic
    // declination (today when not given). True north unless said, as before the option.
    NorthReference north = NorthReference::True;
    std::optional<CalendarDate> date;
    FixFormat format = FixFormat::Lines;
    // --declination-at.
    double atLatitude = 0.0;
    double atLongitude = 0.0;
    // Many bearings.
    EstimateOptions estimate;
};

enum class ParseOutcome { Run, Help, Error };

// Reads argv[1..argc-1]. On Error, message says why, in French, without the program's name.
ParseOutcome ParseFixCliOptions(int argc, const char* const argv[], FixCliOptions& options,
                                std::string& message);

// The usage text, in French, for both modes.
const char* FixCliHelp();

// A number of the input or of an option: the one place where the tool reads a number, as the
// calibration file reads its own (C notation whatever the locale, finite).
bool ReadNumber(std::string_view word, double& value);

// The fields of a line, split on spaces and tabs.
std::vector<std::string_view> SplitFields(std::string_view line);

// A blank line or a comment (first non-blank character '#'): skipped by both modes.
bool SkippedLine(std::string_view line);

// "1 champ lu", "5 champs lus".
std::string FieldsRead(std::size_t count);

// The next line of the input without its line end (a CR before the LF included); false at the end.
bool ReadInputLine(std::istream& in, std::string& line);

// One answer, written and flushed at once so that a program can talk to the tool line by line.
void WriteAnswer(std::FILE* out, std::string line);

// The two modes: each reads the whole input and returns the exit status (0, or 1 when a line or
// a case gave an error). ERREUR lines go to out with the answers, or to err when out takes a
// file (--format), which is then written whole at the end of the input.
int RunPairMode(std::istream& in, std::FILE* out, std::FILE* err, const FixCliOptions& options);
int RunMultiMode(std::istream& in, std::FILE* out, std::FILE* err, const FixCliOptions& options);

// A bearing of the input as a true azimuth, with the options' correction: --declination for
// true north, else the correction of --north at the station on --date. False, with the French
// reason (the station named), when no correction applies there.
bool TrueAzimuth(const FixCliOptions& options, const Station& station, double azimuth,
                 double& trueAzimuth, std::string& reason);

// The whole file of the scenes for --format (never Lines), titled for the tool.
std::string FieldDocument(FixFormat format, const std::vector<FieldScene>& scenes);

} // namespace ervalun::geodesy
