#include "output/calculation_log.h"

#include "engine/file_kind.h"

#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>

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
    std::FILE* file = std::fopen(fileName.c_str(), "ab");
    if (file == nullptr) {
        return;
    }
    const LocalDateTime when = clock ? clock() : CurrentLocalDateTime();
    const std::string line = ervalun::FormatLogLine(
        when, first, second, res, selection1, selection2, list, operatorList, participantList);
    // A buffer larger than the line: the whole line leaves in the one write of the flush, so
    // two programs appending to the same log never interleave parts of their lines.
    std::string buffer(line.size() + 1, '\0');
    std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
    std::fwrite(line.data(), 1, line.size(), file);
    std::fclose(file);
}
