#pragma once

// The command line of ervalun-fix: its options, read from one table so that an option for either
// mode is one more row, and the reading of the input lines both modes share.

#include "geodesy/bearing_estimate.h"

#include <cstdio>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace ervalun::geodesy {

enum class FixMode { Pair, Multi };

struct FixCliOptions {
    FixMode mode = FixMode::Pair;
    // Two bearings: the spread column and its bearing error, degrees.
    bool withSpread = false;
    double spread = 0.0;
    // Both modes: added to every azimuth before the geodesic calculation, degrees east.
    double declination = 0.0;
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
// a case gave an error).
int RunPairMode(std::istream& in, std::FILE* out, const FixCliOptions& options);
int RunMultiMode(std::istream& in, std::FILE* out, const FixCliOptions& options);

} // namespace ervalun::geodesy
