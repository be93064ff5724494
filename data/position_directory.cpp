#include "data/directory_number.h"
#include "data/text_reader.h"
#include "engine/triangulation_engine.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
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
    // Takes the next token, read on the given line, as the field it stands for; false when a
    // number is out of range.
    bool Take(std::string_view token, std::size_t line, std::vector<KnownPosition>& list) {
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
            if (!south_ && token != "N") {
                NoteMistake(token, line, false);
            }
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
            if (token != "O" && token != "E") {
                NoteMistake(token, line, true);
            }
            Complete(token == "O", list);
            field_ = 1;
            return true;
        }
        ++field_;
        return true;
    }

    // The first hemisphere field that is not one of the two letters, if any.
    std::optional<DirectoryMistake> mistake;

private:
    void NoteMistake(std::string_view token, std::size_t line, bool longitude) {
        if (!mistake) {
            mistake = DirectoryMistake{line, std::string(token), longitude, {}};
        }
    }

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
ReadStatus ReadDirectory(const std::string& fileName, std::vector<KnownPosition>& list,
                         std::optional<DirectoryMistake>& mistake) {
    ervalun::TextReader reader(fileName);
    if (!reader.IsOpen()) {
        return ReadStatus::Absent;
    }
    RecordBuilder builder;
    // Whatever ends the reading, the mistake seen before it is worth telling.
    struct KeepMistake {
        RecordBuilder& from;
        std::optional<DirectoryMistake>& to;
        ~KeepMistake() { to = std::move(from.mistake); }
    } keep{builder, mistake};
    std::size_t line = 1;
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
            if (!text.empty() && !builder.Take(text, line, list)) {
                return ReadStatus::Incorrect;
            }
            if (*q == '\n') {
                ++line;
            }
            p = q + 1;
        }
    }
    if (length > 0 && !builder.Take(std::string_view(token, length), line, list)) {
        return ReadStatus::Incorrect;
    }
    // A record with fewer than nine fields at the end is dropped.
    return ReadStatus::Loaded;
}

// The longest part of a line quoted in a message.
constexpr std::size_t kQuotedLineBytes = 254;

// Line number (from 1) of the file, read with the same text-mode rules, up to
// kQuotedLineBytes bytes of it. Only read again to quote a mistake.
std::string ReadLineOfFile(const std::string& fileName, std::size_t number) {
    ervalun::TextReader reader(fileName);
    std::string text;
    std::size_t line = 1;
    for (std::string_view chunk = reader.TakeChunk(); !chunk.empty(); chunk = reader.TakeChunk()) {
        while (!chunk.empty()) {
            const std::size_t end = chunk.find('\n');
            if (line == number) {
                const std::string_view part = chunk.substr(0, end);
                text.append(part.substr(0, kQuotedLineBytes + 1 - text.size()));
                if (end != std::string_view::npos || text.size() > kQuotedLineBytes) {
                    return text;
                }
            }
            if (end == std::string_view::npos) {
                break;
            }
            ++line;
            chunk.remove_prefix(end + 1);
        }
    }
    return text;
}

bool IsUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        std::size_t follow = 0;
        unsigned int code = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            follow = 1;
            code = b & 0x1Fu;
        } else if (b >= 0xE0 && b <= 0xEF) {
            follow = 2;
            code = b & 0x0Fu;
        } else if (b >= 0xF0 && b <= 0xF4) {
            follow = 3;
            code = b & 0x07u;
        } else {
            return false;
        }
        if (i + follow >= bytes.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= follow; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if ((c & 0xC0u) != 0x80u) {
                return false;
            }
            code = (code << 6) | (c & 0x3Fu);
        }
        // Overlong forms, surrogates and values beyond the last code point.
        if ((follow == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (follow == 3 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += follow + 1;
    }
    return true;
}

// Bytes of the user's file as readable UTF-8 of at most maxChars characters: UTF-8 stays as it
// is, anything else is taken as Latin-1, as the dialog shows names; control bytes become
// spaces, and a cut text ends with an ellipsis.
std::string Readable(std::string_view bytes, std::size_t maxChars) {
    const bool utf8 = IsUtf8(bytes);
    std::string out;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool starts = !utf8 || (b & 0xC0u) != 0x80u;
        if (starts && chars == maxChars) {
            out += "…";
            break;
        }
        if (starts) {
            ++chars;
        }
        if (b < 0x20 || b == 0x7F) {
            out += ' ';
        } else if (utf8 || b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

} // namespace

std::string DirectoryMistakeMessage(const DirectoryMistake& mistake) {
    std::string text = "Fichier ervalun.txt, ligne " + std::to_string(mistake.line) + " : « " +
                       Readable(mistake.token, 20) + " » ";
    text += mistake.longitude
                ? "n'est pas une lettre de longitude (E ou O) ; cette position est lue à l'est."
                : "n'est pas une lettre de latitude (N ou S) ; cette position est lue au nord.";
    text += "\n\n" + Readable(mistake.lineText, 80) + "\n\n";
    text += "Chaque ligne donne : nom (sans espace), latitude en degrés, minutes, secondes et N "
            "ou S, puis longitude en degrés, minutes, secondes et E ou O. Un nom contenant une "
            "espace décale tous les champs suivants : remplacez l'espace par un tiret. Corrigez "
            "le fichier puis relancez Ervalun.";
    return text;
}

void TriangulationEngine::LoadPositions(std::string fileName, std::vector<KnownPosition>* list) {
    if (list == nullptr) {
        directoryLoaded = 0;
        return;
    }
    // The file is closed before any message box holds the load.
    directoryMistake.reset();
    const ReadStatus status = ReadDirectory(fileName, *list, directoryMistake);
    if (directoryMistake) {
        directoryMistake->lineText = ReadLineOfFile(fileName, directoryMistake->line);
    }
    switch (status) {
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
