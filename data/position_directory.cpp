#include "data/directory_number.h"
#include "data/text_reader.h"
#include "engine/triangulation_engine.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace {

// 254 bytes is the longest token; a token that reaches this length makes the file incorrect.
constexpr std::size_t kTokenLimit = 255;

enum class ReadStatus { Absent, Incorrect, Loaded };

// A number field: false when it lies outside 0 to 360.
bool ReadNumberField(std::string_view token, double& target) {
    const double value = ervalun::ParseDirectoryNumber(token);
    if (!(value >= 0.0 && value <= 360.0)) {
        return false;
    }
    // Only "S" and "O" give an entry its hemisphere; a field written "-0" must not turn into a
    // negative zero that would pass for south or west.
    target = value + 0.0;
    return true;
}

// Turns the tokens, nine at a time, into directory entries.
class RecordBuilder {
public:
    // Takes the next token as the field it stands for; false when a number is out of range.
    bool Take(std::string_view token, std::vector<KnownPosition>& list) {
        switch (field_) {
        case 1:
            working_.name.assign(token);
            break;
        case 2:
            if (!ReadNumberField(token, working_.latitudeDegrees)) {
                return false;
            }
            break;
        case 3:
            if (!ReadNumberField(token, working_.latitudeMinutes)) {
                return false;
            }
            break;
        case 4:
            if (!ReadNumberField(token, working_.latitudeSeconds)) {
                return false;
            }
            break;
        case 5:
            south_ = token == "S";
            break;
        case 6:
            if (!ReadNumberField(token, working_.longitudeDegrees)) {
                return false;
            }
            break;
        case 7:
            if (!ReadNumberField(token, working_.longitudeMinutes)) {
                return false;
            }
            break;
        case 8:
            if (!ReadNumberField(token, working_.longitudeSeconds)) {
                return false;
            }
            break;
        default:
            Complete(token == "O", list);
            field_ = 1;
            return true;
        }
        ++field_;
        return true;
    }

private:
    void Complete(bool west, std::vector<KnownPosition>& list) {
        // The sign applies to the whole angle, also when the degrees are 0.
        double latitude = 0.0;
        TriangulationEngine::DmsToDecimal(working_.latitudeDegrees, working_.latitudeMinutes,
                                          working_.latitudeSeconds, latitude);
        double longitude = 0.0;
        TriangulationEngine::DmsToDecimal(working_.longitudeDegrees, working_.longitudeMinutes,
                                          working_.longitudeSeconds, longitude);
        KnownPosition& entry = list.emplace_back(working_);
        if (south_) {
            entry.latitudeDegrees = -entry.latitudeDegrees;
            latitude = -latitude;
        }
        if (west) {
            entry.longitudeDegrees = -entry.longitudeDegrees;
            longitude = -longitude;
        }
        entry.latitude = latitude;
        entry.longitude = longitude;
    }

    int field_ = 1;
    bool south_ = false;
    KnownPosition working_;
};

// Space and line feed separate the tokens; a run of them separates like one, so a blank or
// indented line cannot shift every later field by one. The end of the file ends the last token
// like a delimiter would.
ReadStatus ReadDirectory(const std::string& fileName, std::vector<KnownPosition>& list) {
    ervalun::TextReader reader(fileName);
    if (!reader.IsOpen()) {
        return ReadStatus::Absent;
    }
    RecordBuilder builder;
    // A token cut by the end of a chunk is gathered here; others are taken where they lie.
    char token[kTokenLimit];
    std::size_t length = 0;
    for (std::string_view chunk = reader.TakeChunk(); !chunk.empty(); chunk = reader.TakeChunk()) {
        const char* p = chunk.data();
        const char* const end = p + chunk.size();
        while (p < end) {
            const char* q = p;
            while (q < end && *q != ' ' && *q != '\n') {
                ++q;
            }
            const auto run = static_cast<std::size_t>(q - p);
            if (length + run >= kTokenLimit) {
                return ReadStatus::Incorrect;
            }
            if (q == end) {
                std::memcpy(token + length, p, run);
                length += run;
                break;
            }
            std::string_view text(p, run);
            if (length > 0) {
                std::memcpy(token + length, p, run);
                text = std::string_view(token, length + run);
                length = 0;
            }
            if (!text.empty() && !builder.Take(text, list)) {
                return ReadStatus::Incorrect;
            }
            p = q + 1;
        }
    }
    if (length > 0 && !builder.Take(std::string_view(token, length), list)) {
        return ReadStatus::Incorrect;
    }
    // A record with fewer than nine fields at the end is dropped.
    return ReadStatus::Loaded;
}

} // namespace

void TriangulationEngine::LoadPositions(std::string fileName, std::vector<KnownPosition>* list) {
    if (list == nullptr) {
        directoryLoaded = 0;
        return;
    }
    // The file is closed before any message box holds the load.
    switch (ReadDirectory(fileName, *list)) {
    case ReadStatus::Absent:
        ShowMessage("Fichier ervalun.txt absent");
        directoryLoaded = 0;
        break;
    case ReadStatus::Incorrect:
        ShowMessage("Fichier ervalun.txt incorrect");
        directoryLoaded = 0;
        break;
    case ReadStatus::Loaded:
        directoryLoaded = 1;
        break;
    }
}

int TriangulationEngine::FillFromPosition(const std::vector<KnownPosition>& list, int index,
                                          double& lonDeg, double& lonMin, double& lonSec,
                                          double& latDeg, double& latMin, double& latSec,
                                          int& lonHem, int& latHem) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) {
        return 0;
    }
    const KnownPosition& entry = list[static_cast<std::size_t>(index)];
    // The sign bit, not "below zero": 0 degrees west or south is a negative zero, and reporting
    // it as east or north would move the point by up to a degree.
    lonDeg = entry.longitudeDegrees;
    lonMin = entry.longitudeMinutes;
    lonSec = entry.longitudeSeconds;
    if (std::signbit(lonDeg)) {
        lonDeg = -lonDeg;
        lonHem = 1;
    } else {
        lonHem = 0;
    }
    latDeg = entry.latitudeDegrees;
    latMin = entry.latitudeMinutes;
    latSec = entry.latitudeSeconds;
    if (std::signbit(latDeg)) {
        latDeg = -latDeg;
        latHem = 1;
    } else {
        latHem = 0;
    }
    return 1;
}
