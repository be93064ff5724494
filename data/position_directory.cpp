#include "data/position_directory.h"

#include "data/directory_number.h"
#include "data/text_reader.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

namespace ervalun {

namespace {

// 254 bytes is the longest token; a token that reaches this length makes the file incorrect.
constexpr std::size_t kTokenLimit = 255;

// The shortest record: nine one-byte tokens, each followed by a delimiter.
constexpr std::uintmax_t kShortestRecord = 18;

bool IsDelimiter(char c) {
    return c == ' ' || c == '\n';
}

// The first space or line feed of [p, end), or end. Eight bytes at a time where a word's bytes
// lie in memory from its lowest to its highest.
const char* FindDelimiter(const char* p, const char* end) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighBits = 0x8080808080808080;
        while (end - p >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t spaces = word ^ (kOnes * ' ');
            const std::uint64_t feeds = word ^ (kOnes * '\n');
            // The high bit of each byte that is now zero; bytes above the first such one may be
            // marked too, never bytes below it, so the lowest mark is the first delimiter.
            const std::uint64_t marks =
                (((spaces - kOnes) & ~spaces) | ((feeds - kOnes) & ~feeds)) & kHighBits;
            if (marks != 0) {
                return p + std::countr_zero(marks) / 8;
            }
            p += 8;
        }
    }
    while (p < end && !IsDelimiter(*p)) {
        ++p;
    }
    return p;
}

// A number field where it lies, when it is a short decimal (see ScanShortDecimal) ended by a
// delimiter: the value is then the one ParseDirectoryNumber gives, and p moves to the
// delimiter. False leaves the token to ParseDirectoryNumber.
bool ReadShortDecimal(const char*& p, const char* end, double& value) {
    const char* q = ScanShortDecimal(p, end, value);
    if (q == nullptr || q == end || !IsDelimiter(*q)) {
        return false;
    }
    p = q;
    return true;
}

// Turns the tokens, nine at a time, into directory entries, appended to the list as their
// first field comes; an entry whose record does not complete is taken back.
class RecordReader {
public:
    explicit RecordReader(std::vector<KnownPosition>& list) : list_(list), first_(list.size()) {}
    ~RecordReader() {
        if (field_ != 1) {
            list_.pop_back();
        }
    }
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // The tokens of [p, end), whose last byte is a delimiter, read in place. False at a stop
    // condition (a number out of range, a token too long).
    bool Scan(const char* p, const char* end) {
        for (;;) {
            for (; p < end; ++p) {
                if (*p == '\n') {
                    ++line;
                } else if (*p != ' ') {
                    break;
                }
            }
            if (p == end) {
                return true;
            }
            // The usual fields are read without finding their end first; any other token is
            // cut out and taken like one joined across chunks.
            if (field_ == 5 || field_ == 9) {
                if (IsDelimiter(p[1]) && (*p == 'S' || *p == 'N' || *p == 'E' || *p == 'O')) {
                    Hemisphere(std::string_view(p, 1));
                    ++p;
                    continue;
                }
            } else if (field_ != 1) {
                double value = 0.0;
                if (ReadShortDecimal(p, end, value)) {
                    if (!Number(value)) {
                        return false;
                    }
                    continue;
                }
            }
            const char* q = FindDelimiter(p, end);
            if (!Take(std::string_view(p, static_cast<std::size_t>(q - p)))) {
                return false;
            }
            p = q;
        }
    }

    // One whole token, not empty, as the field it stands for. False at a stop condition.
    bool Take(std::string_view token) {
        if (token.size() >= kTokenLimit) {
            return false;
        }
        switch (field_) {
        case 1:
            Name(token);
            return true;
        case 5:
        case 9:
            Hemisphere(token);
            return true;
        default:
            return Number(ParseDirectoryNumber(token));
        }
    }

    // Makes room, before a chunk of the given bytes, for the records the rest of the file will
    // likely hold, judged by those read so far; growing by doubling would leave up to half
    // the list unused. fileBytes 0: nothing known.
    void MakeRoom(std::uintmax_t fileBytes, std::uintmax_t bytesRead, std::size_t chunkBytes) {
        const std::size_t read = list_.size() - first_;
        if (fileBytes <= bytesRead || bytesRead == 0 || read == 0) {
            return;
        }
        const std::uintmax_t inChunk = read * chunkBytes / bytesRead + 1;
        if (list_.capacity() - list_.size() >= 2 * inChunk) {
            return;
        }
        const std::uintmax_t rest = fileBytes - bytesRead;
        const double perByte = static_cast<double>(read) / static_cast<double>(bytesRead);
        auto more = static_cast<std::uintmax_t>(perByte * static_cast<double>(rest));
        more += more / 50 + 2 * inChunk;
        more = std::min(more, rest / kShortestRecord + 1);
        if (more >= list_.max_size() - list_.size()) {
            return;
        }
        // Only a guess: a file whose beginning is far denser than the rest could ask for more
        // than there is, and the list then grows as it must.
        try {
            list_.reserve(list_.size() + static_cast<std::size_t>(more));
        } catch (const std::bad_alloc&) {
            return;
        }
        // The entry of a record that runs on into this chunk has moved.
        if (field_ != 1) {
            entry_ = &list_.back();
        }
    }

    // The line of the token being read, from 1.
    std::size_t line = 1;
    // The first hemisphere field that is not one of the two letters, if any.
    std::optional<DirectoryMistake> mistake;

private:
    void Name(std::string_view token) {
        entry_ = &list_.emplace_back();
        field_ = 2;
        // Made at its own size: assigning to the empty name would round its capacity up.
        entry_->name = std::string(token);
    }

    // A number field of the entry being read; false when it lies outside 0 to 360.
    bool Number(double value) {
        if (!(value >= 0.0 && value <= 360.0)) {
            return false;
        }
        // Only "S" and "O" give an entry its hemisphere; a field written "-0" must not turn into
        // a negative zero that would pass for south or west.
        value += 0.0;
        switch (field_) {
        case 2:
            entry_->latitudeDegrees = value;
            break;
        case 3:
            entry_->latitudeMinutes = value;
            break;
        case 4:
            entry_->latitudeSeconds = value;
            break;
        case 6:
            entry_->longitudeDegrees = value;
            break;
        case 7:
            entry_->longitudeMinutes = value;
            break;
        default:
            entry_->longitudeSeconds = value;
            break;
        }
        ++field_;
        return true;
    }

    void Hemisphere(std::string_view token) {
        if (field_ == 5) {
            south_ = token == "S";
            if (!south_ && token != "N") {
                NoteMistake(token, false);
            }
            field_ = 6;
            return;
        }
        const bool west = token == "O";
        if (!west && token != "E") {
            NoteMistake(token, true);
        }
        Complete(*entry_, west);
        field_ = 1;
    }

    void NoteMistake(std::string_view token, bool longitude) {
        if (!mistake) {
            mistake = DirectoryMistake{line, std::string(token), longitude, {}};
        }
    }

    void Complete(KnownPosition& entry, bool west) const {
        // The sign applies to the whole angle, also when the degrees are 0.
        entry.latitude = SignedDecimal(entry.latitudeDegrees, entry.latitudeMinutes,
                                       entry.latitudeSeconds, south_ ? 1 : 0);
        entry.longitude = SignedDecimal(entry.longitudeDegrees, entry.longitudeMinutes,
                                        entry.longitudeSeconds, west ? 1 : 0);
        if (south_) {
            entry.latitudeDegrees = -entry.latitudeDegrees;
        }
        if (west) {
            entry.longitudeDegrees = -entry.longitudeDegrees;
        }
    }

    std::vector<KnownPosition>& list_;
    const std::size_t first_;
    KnownPosition* entry_ = nullptr;
    int field_ = 1;
    bool south_ = false;
};

// Space and line feed separate the tokens; a run of them separates like one, so a blank or
// indented line cannot shift every later field by one. The end of the file ends the last token
// like a delimiter would.
ReadStatus ReadRecords(const std::string& fileName, std::vector<KnownPosition>& list,
                       std::optional<DirectoryMistake>& mistake, std::size_t chunkSize) {
    TextReader reader(fileName, chunkSize);
    if (!reader.IsOpen()) {
        return ReadStatus::Absent;
    }
    std::error_code ec;
    std::uintmax_t fileBytes = std::filesystem::file_size(fileName, ec);
    if (ec) {
        fileBytes = 0;
    }
    RecordReader records(list);
    // Whatever ends the reading, the mistake seen before it is worth telling.
    struct KeepMistake {
        RecordReader& from;
        std::optional<DirectoryMistake>& to;
        ~KeepMistake() { to = std::move(from.mistake); }
    } keep{records, mistake};
    // A token cut by the end of a chunk is gathered here; the others are read where they lie.
    char token[kTokenLimit];
    std::size_t gathered = 0;
    std::uintmax_t bytesRead = 0;
    for (std::string_view chunk = reader.TakeChunk(); !chunk.empty(); chunk = reader.TakeChunk()) {
        records.MakeRoom(fileBytes, bytesRead, chunk.size());
        bytesRead += chunk.size();
        const char* p = chunk.data();
        const char* const end = p + chunk.size();
        if (gathered > 0) {
            const char* q = FindDelimiter(p, end);
            const auto run = static_cast<std::size_t>(q - p);
            if (gathered + run >= kTokenLimit) {
                return ReadStatus::Incorrect;
            }
            std::memcpy(token + gathered, p, run);
            gathered += run;
            if (q == end) {
                continue;
            }
            if (!records.Take(std::string_view(token, gathered))) {
                return ReadStatus::Incorrect;
            }
            gathered = 0;
            p = q;
        }
        // Up to the chunk's last delimiter every token lies whole; the rest waits for the next.
        const char* last = end;
        while (last > p && !IsDelimiter(last[-1])) {
            --last;
        }
        if (!records.Scan(p, last)) {
            return ReadStatus::Incorrect;
        }
        gathered = static_cast<std::size_t>(end - last);
        if (gathered >= kTokenLimit) {
            return ReadStatus::Incorrect;
        }
        std::memcpy(token, last, gathered);
    }
    if (gathered > 0 && !records.Take(std::string_view(token, gathered))) {
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
                         std::optional<DirectoryMistake>& mistake, std::size_t chunkSize) {
    mistake.reset();
    const ReadStatus status =
        ReadRecords(fileName, list, mistake, chunkSize == 0 ? TextReader::kChunkSize : chunkSize);
    if (mistake) {
        mistake->lineText = ReadLineOfFile(fileName, mistake->line);
    }
    return status;
}

} // namespace ervalun
