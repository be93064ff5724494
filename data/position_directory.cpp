#include "data/position_directory.h"

#include "data/directory_number.h"
#include "data/text_reader.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
#include <string_view>

namespace ervalun {

namespace {

// 254 bytes is the longest token; a token that reaches this length makes the file incorrect.
constexpr std::size_t kTokenLimit = 255;

// A number field: false when it lies outside 0 to 360.
bool ReadNumberField(std::string_view token, double& target) {
    const double value = ParseDirectoryNumber(token);
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
        KnownPosition& entry = list.emplace_back(working_);
        // The sign applies to the whole angle, also when the degrees are 0.
        entry.latitude = SignedDecimal(working_.latitudeDegrees, working_.latitudeMinutes,
                                       working_.latitudeSeconds, south_ ? 1 : 0);
        entry.longitude = SignedDecimal(working_.longitudeDegrees, working_.longitudeMinutes,
                                        working_.longitudeSeconds, west ? 1 : 0);
        if (south_) {
            entry.latitudeDegrees = -entry.latitudeDegrees;
        }
        if (west) {
            entry.longitudeDegrees = -entry.longitudeDegrees;
        }
    }

    int field_ = 1;
    bool south_ = false;
    KnownPosition working_;
};

// Space and line feed separate the tokens; a run of them separates like one, so a blank or
// indented line cannot shift every later field by one. The end of the file ends the last token
// like a delimiter would.
ReadStatus ReadRecords(const std::string& fileName, std::vector<KnownPosition>& list,
                       std::optional<DirectoryMistake>& mistake) {
    TextReader reader(fileName);
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
    TextReader reader(fileName);
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

} // namespace

ReadStatus ReadDirectory(const std::string& fileName, std::vector<KnownPosition>& list,
                         std::optional<DirectoryMistake>& mistake) {
    mistake.reset();
    const ReadStatus status = ReadRecords(fileName, list, mistake);
    if (mistake) {
        mistake->lineText = ReadLineOfFile(fileName, mistake->line);
    }
    return status;
}

} // namespace ervalun
