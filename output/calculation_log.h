#pragma once

#include "data/records.h"
#include "engine/geo_position.h"
#include "engine/triangulation_engine.h"

#include <string>
#include <vector>

namespace ervalun {

// A real in fixed notation with exactly two decimals, as printf "%.2f" writes it in the C
// locale, whatever the process locale.
std::string FormatFixed2(double value);

// One whole log line, ending with its newline: operator, date and time, both known points and
// the result with their coordinates, then the participants. Missing values get placeholders.
std::string FormatLogLine(const LocalDateTime& when, const GeoPosition& first,
                          const GeoPosition& second, const GeoPosition& res, int selection1,
                          int selection2, const std::vector<KnownPosition>& list,
                          const std::vector<Member>& operatorList,
                          const std::vector<Member>& participantList);

// Opens the log for appending, creating it (mode 0666 less the umask); -1 when it cannot be
// opened or is not a regular file.
int OpenLogForAppend(const std::string& fileName);

// Appends the line whole or not at all: a short write (full disk, file size limit) is taken
// back when nothing else was appended after it. Copies of the program serialise their appends
// with an advisory lock on the file. A last line left without its line feed is ended first.
void AppendWholeLine(int fd, const std::string& line);

} // namespace ervalun
