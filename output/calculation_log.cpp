#include "output/calculation_log.h"

#include "data/file_kind.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace ervalun {

namespace {

void AppendInt(std::string& out, int value, int width) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    const auto len = static_cast<int>(res.ptr - buf);
    for (int i = len; i < width; ++i) {
        out.push_back('0');
    }
    out.append(buf, res.ptr);
}

// ";degrees minutes seconds letter", the numbers as magnitudes.
void AppendAngle(std::string& out, const Dms& angle, const char* letter) {
    out += ';';
    out += FormatFixed2(angle.degrees);
    out += ' ';
    out += FormatFixed2(angle.minutes);
    out += ' ';
    out += FormatFixed2(angle.seconds);
    out += ' ';
    out += letter;
}

void AppendCoordinates(std::string& out, const Observation& p) {
    AppendAngle(out, p.longitude, p.longitude.hemisphere != 0 ? "O" : "E");
    AppendAngle(out, p.latitude, p.latitude.hemisphere != 0 ? "S" : "N");
    out += ';';
    out += FormatFixed2(p.bearing);
}

void AppendName(std::string& out, std::optional<std::string_view> name, const char* placeholder) {
    if (name) {
        out += ';';
        out += *name;
    } else {
        out += placeholder;
    }
}

bool Interrupted() {
    return errno == EINTR;
}

// Other copies of the program hold the lock while they append and, if need be, take back a
// fragment. One that is stopped while holding it must not freeze this one for good: after a
// couple of seconds the line goes without the lock (and without any taking back).
bool LockForAppend(int fd) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    auto pause = std::chrono::microseconds(50);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            return true;
        }
        if (errno != EWOULDBLOCK && !Interrupted()) {
            return false; // a file system without locks
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

// The last byte of the file, or a line feed when there is none or it cannot be read.
char LastByte(int fd, off_t size) {
    char last = '\n';
    if (size > 0 && pread(fd, &last, 1, size - 1) != 1) {
        return '\n';
    }
    return last;
}

// Opens the log for appending, creating it (mode 0666 less the umask); -1 when it cannot be
// opened or is not a regular file.
int OpenLogForAppend(const std::string& fileName) {
    // Read access lets the writer look at the last byte; a log the user may only append to is
    // still appended to.
    constexpr int kFlags = O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = -1;
    do {
        fd = open(fileName.c_str(), O_RDWR | kFlags, 0666);
    } while (fd < 0 && Interrupted());
    if (fd < 0 && (errno == EACCES || errno == EPERM)) {
        do {
            fd = open(fileName.c_str(), O_WRONLY | kFlags, 0666);
        } while (fd < 0 && Interrupted());
    }
    if (fd < 0) {
        return -1;
    }
    // What stood there when it was looked at may have been swapped since: check what was opened.
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

// See LogFile::Append.
void AppendWholeLine(int fd, const std::string& line) {
    const bool locked = LockForAppend(fd);
    struct stat before {};
    if (fstat(fd, &before) != 0) {
        return;
    }
    // A line cut off earlier, by a writer killed in the middle or by an edit without the last
    // line feed, is ended first, so the new record never joins it.
    std::string bytes;
    if (LastByte(fd, before.st_size) != '\n') {
        bytes += '\n';
    }
    bytes += line;

    // One write: O_APPEND puts it at the end in one piece, whatever other writers do. A short
    // count means the disk or the file size limit is reached; trying the rest would fail as
    // well (and the size limit would kill the program with SIGXFSZ).
    ssize_t written = -1;
    do {
        written = write(fd, bytes.data(), bytes.size());
    } while (written < 0 && Interrupted());
    if (written <= 0 || static_cast<std::size_t>(written) == bytes.size()) {
        return;
    }
    // Take the fragment back, but only under the lock and only when it is still the end of the
    // file: a line that another writer appended after it must not be cut.
    struct stat after {};
    if (locked && fstat(fd, &after) == 0 && after.st_size == before.st_size + written) {
        while (ftruncate(fd, before.st_size) != 0 && Interrupted()) {
        }
    }
}

} // namespace

std::string FormatFixed2(double value) {
    // The largest double has 309 integer digits; 2 decimals, sign and point fit in 320.
    char buf[320];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    if (res.ec != std::errc{}) {
        return "0.00";
    }
    return std::string(buf, res.ptr);
}

std::string FormatLogLine(const LocalDateTime& when, const LogRecord& record) {
    std::string out;
    out.reserve(256);
    if (record.operatorName) {
        out += *record.operatorName;
        out += ';';
    } else {
        out += "ID_OPERATEUR;";
    }

    AppendInt(out, when.day, 2);
    out += '/';
    AppendInt(out, when.month, 2);
    out += '/';
    AppendInt(out, when.year, 0);
    out += ';';
    AppendInt(out, when.hour, 2);
    out += ':';
    AppendInt(out, when.minute, 2);
    out += ':';
    AppendInt(out, when.second, 2);

    AppendName(out, record.firstName, ";POSITION1");
    AppendCoordinates(out, record.first);
    AppendName(out, record.secondName, ";POSITION2");
    AppendCoordinates(out, record.second);
    AppendName(out, record.resultName, "");
    AppendCoordinates(out, record.result);

    if (!record.participants.empty()) {
        out += ';';
        for (const Member& m : record.participants) {
            out += m.name;
            out += ';';
        }
    } else {
        out += ";IDs_PARTICIPANTS";
    }
    out += '\n';
    return out;
}

std::optional<std::string_view> SelectedName(const std::vector<KnownPosition>& directory,
                                             int selection) {
    if (selection < 0 || static_cast<std::size_t>(selection) >= directory.size()) {
        return std::nullopt;
    }
    return directory[static_cast<std::size_t>(selection)].name;
}

LogFile::LogFile(const std::string& fileName) {
    if (KindOfPath(fileName) != PathKind::Other) {
        fd_ = OpenLogForAppend(fileName);
    }
}

LogFile::~LogFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void LogFile::Append(const std::string& line) {
    if (fd_ >= 0) {
        AppendWholeLine(fd_, line);
    }
}

} // namespace ervalun
