#include "output/calculation_log.h"

#include "engine/file_kind.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

LocalDateTime CurrentLocalDateTime() {
    // The user may have changed the time zone since start-up; read it again.
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    LocalDateTime out;
    if (localtime_r(&now, &local) == nullptr) {
        return out;
    }
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    return out;
}

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
void AppendAngle(std::string& out, double degrees, double minutes, double seconds,
                 const char* letter) {
    out += ';';
    out += FormatFixed2(degrees);
    out += ' ';
    out += FormatFixed2(minutes);
    out += ' ';
    out += FormatFixed2(seconds);
    out += ' ';
    out += letter;
}

void AppendCoordinates(std::string& out, const GeoPosition& p) {
    AppendAngle(out, p.longitudeDegrees, p.longitudeMinutes, p.longitudeSeconds,
                p.west != 0 ? "O" : "E");
    AppendAngle(out, p.latitudeDegrees, p.latitudeMinutes, p.latitudeSeconds,
                p.south != 0 ? "S" : "N");
    out += ';';
    out += FormatFixed2(p.bearing);
}

void AppendPointName(std::string& out, int selection, const std::vector<KnownPosition>& list,
                     const char* placeholder) {
    if (selection >= 0 && static_cast<std::size_t>(selection) < list.size()) {
        out += ';';
        out += list[static_cast<std::size_t>(selection)].name;
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

} // namespace

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

std::string FormatFixed2(double value) {
    // The largest double has 309 integer digits; 2 decimals, sign and point fit in 320.
    char buf[320];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    if (res.ec != std::errc{}) {
        return "0.00";
    }
    return std::string(buf, res.ptr);
}

std::string FormatLogLine(const LocalDateTime& when, const GeoPosition& first,
                          const GeoPosition& second, const GeoPosition& res, int selection1,
                          int selection2, const std::vector<KnownPosition>& list,
                          const std::vector<Member>& operatorList,
                          const std::vector<Member>& participantList) {
    std::string out;
    out.reserve(256);
    if (!operatorList.empty()) {
        out += operatorList.front().name;
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

    AppendPointName(out, selection1, list, ";POSITION1");
    AppendCoordinates(out, first);
    AppendPointName(out, selection2, list, ";POSITION2");
    AppendCoordinates(out, second);
    out += ';';
    out += res.name;
    AppendCoordinates(out, res);

    if (!participantList.empty()) {
        out += ';';
        for (const Member& m : participantList) {
            out += m.name;
            out += ';';
        }
    } else {
        out += ";IDs_PARTICIPANTS";
    }
    out += '\n';
    return out;
}

} // namespace ervalun

void TriangulationEngine::WriteLog(std::string fileName, GeoPosition first, GeoPosition second,
                                   GeoPosition res, int selection1, int selection2,
                                   const std::vector<KnownPosition>& list,
                                   const std::vector<Member>& operatorList,
                                   const std::vector<Member>& participantList) {
    // A named pipe would hold the program until something reads it; a device is no log.
    if (ervalun::KindOfPath(fileName) == ervalun::PathKind::Other) {
        return;
    }
    const int fd = ervalun::OpenLogForAppend(fileName);
    if (fd < 0) {
        return;
    }
    const LocalDateTime when = clock ? clock() : CurrentLocalDateTime();
    const std::string line = ervalun::FormatLogLine(
        when, first, second, res, selection1, selection2, list, operatorList, participantList);
    ervalun::AppendWholeLine(fd, line);
    close(fd);
}
