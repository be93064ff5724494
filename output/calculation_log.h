#pragma once

#include "data/local_date_time.h"
#include "data/records.h"
#include "engine/solver.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ervalun {

// A real in fixed notation with exactly two decimals, as printf "%.2f" writes it in the C
// locale, whatever the process locale.
std::string FormatFixed2(double value);

// What one log line says besides its date and time. A missing name (std::nullopt) is written
// as its placeholder; each point's block gives its degrees, minutes and seconds as magnitudes,
// its hemisphere letters and its bearing (0 for the computed result).
struct LogRecord {
    std::optional<std::string_view> operatorName; // "ID_OPERATEUR" when none
    std::optional<std::string_view> firstName;    // "POSITION1" when none
    Observation first;
    std::optional<std::string_view> secondName; // "POSITION2" when none
    Observation second;
    std::string_view resultName; // written as it is, even empty
    Observation result;
    std::span<const Member> participants; // "IDs_PARTICIPANTS" when empty
};

// One whole log line, ending with its newline: operator, date and time, both known points and
// the result with their coordinates, then the participants.
std::string FormatLogLine(const LocalDateTime& when, const LogRecord& record);

// The name the log gives a point chosen in the directory: none for -1 or for any index that
// designates no entry.
std::optional<std::string_view> SelectedName(const std::vector<KnownPosition>& directory,
                                             int selection);

// The calculation log opened for appending, closed when the object goes.
class LogFile {
public:
    // Opens the log, creating it (mode 0666 less the umask). Nothing is opened where something
    // other than a regular file stands (a named pipe would hold the program until something
    // reads it; a device is no log), nor when the file cannot be opened for writing.
    explicit LogFile(const std::string& fileName);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }

    // Appends the line whole or not at all: a short write (full disk, file size limit) is taken
    // back when nothing else was appended after it. Copies of the program serialise their
    // appends with an advisory lock on the file. A last line left without its line feed is
    // ended first.
    void Append(const std::string& line);

private:
    int fd_ = -1;
};

} // namespace ervalun
