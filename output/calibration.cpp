#include "output/calibration.h"

#include "data/directory_number.h"
#include "data/file_kind.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace ervalun {

namespace {

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// from_chars takes no "+"; the stream extraction that users' files are written for does.
bool StripPlus(const char*& first, const char* last) {
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first == '-' || *first == '+') {
            return false;
        }
    }
    return first != last;
}

} // namespace

int WordReader::Get() {
    if (pos_ == size_) {
        if (std::ferror(file_) || std::feof(file_)) {
            return EOF;
        }
        size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
        pos_ = 0;
        if (size_ == 0) {
            return EOF;
        }
    }
    return static_cast<unsigned char>(buffer_[pos_++]);
}

bool WordReader::Next(std::string& word) {
    word.clear();
    int c = Get();
    while (c != EOF && IsSpace(c)) {
        c = Get();
    }
    while (c != EOF && !IsSpace(c)) {
        if (word.size() == kMaxWordLength) {
            return false;
        }
        word.push_back(static_cast<char>(c));
        c = Get();
    }
    return !word.empty();
}

bool ParseWholeInt(const std::string& word, int& value) {
    const char* first = word.data();
    const char* last = first + word.size();
    if (!StripPlus(first, last)) {
        return false;
    }
    int v = 0;
    const auto res = std::from_chars(first, last, v);
    if (res.ec != std::errc{} || res.ptr != last) {
        return false;
    }
    value = v;
    return true;
}

bool ParseWholeReal(const std::string& word, double& value) {
    const char* first = word.data();
    const char* last = first + word.size();
    if (!StripPlus(first, last)) {
        return false;
    }
    double v = 0.0;
    const auto res = std::from_chars(first, last, v, std::chars_format::general);
    if (res.ptr != last) {
        return false;
    }
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when the text rounds to zero or beyond the largest
        // double. Stream extraction reads the first as 0 and the directory reader does too;
        // the second stays refused (the directory reader gives an infinity for it).
        v = ParseDirectoryNumber(std::string_view(first, static_cast<std::size_t>(last - first)));
    } else if (res.ec != std::errc{}) {
        return false;
    }
    if (!std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

namespace {

constexpr int kMaxImageSize = 4096;
constexpr double kMaxCoordinate = 360.0;

// Reads label, size. Returns false when reading must stop (bad token or size out of bounds).
bool ReadSize(WordReader& reader, std::string& word, int& target) {
    int v = 0;
    if (!reader.Next(word) || !reader.Next(word) || !ParseWholeInt(word, v)) {
        return false;
    }
    if (v < 0 || v > kMaxImageSize) {
        return false;
    }
    target = v;
    return true;
}

// Reads label, three numbers and the hemisphere letter of one coordinate. Returns false when
// reading must stop; a value out of bounds or a wrong letter only clears valid.
bool ReadCoordinate(WordReader& reader, std::string& word, double& degrees, double& minutes,
                    double& seconds, int& flag, char positive, char negative, bool& valid) {
    if (!reader.Next(word)) {
        return false;
    }
    double* const targets[] = {&degrees, &minutes, &seconds};
    for (double* target : targets) {
        double v = 0.0;
        if (!reader.Next(word) || !ParseWholeReal(word, v)) {
            return false;
        }
        if (v >= 0.0 && v <= kMaxCoordinate) {
            *target = v;
        } else {
            valid = false;
        }
    }
    if (!reader.Next(word)) {
        return false;
    }
    if (word.size() == 1 && word[0] == positive) {
        flag = 0;
    } else if (word.size() == 1 && word[0] == negative) {
        flag = 1;
    } else {
        valid = false;
    }
    return true;
}

bool ReadTokens(std::FILE* file, MapCalibration& cal) {
    WordReader reader(file);
    std::string word;
    if (!ReadSize(reader, word, cal.imageWidth) || !ReadSize(reader, word, cal.imageHeight)) {
        return false;
    }
    bool valid = true;
    MapCorner& tl = cal.topLeft;
    MapCorner& br = cal.bottomRight;
    if (!ReadCoordinate(reader, word, tl.longitudeDegrees, tl.longitudeMinutes, tl.longitudeSeconds,
                        tl.west, 'E', 'O', valid) ||
        !ReadCoordinate(reader, word, tl.latitudeDegrees, tl.latitudeMinutes, tl.latitudeSeconds,
                        tl.south, 'N', 'S', valid) ||
        !ReadCoordinate(reader, word, br.longitudeDegrees, br.longitudeMinutes, br.longitudeSeconds,
                        br.west, 'E', 'O', valid) ||
        !ReadCoordinate(reader, word, br.latitudeDegrees, br.latitudeMinutes, br.latitudeSeconds,
                        br.south, 'N', 'S', valid)) {
        return false;
    }
    return valid;
}

} // namespace

bool ReadCalibration(const std::string& fileName, MapCalibration& calibration) {
    if (KindOfPath(fileName) != PathKind::RegularFile) {
        return false;
    }
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    const bool usable = ReadTokens(file, calibration);
    std::fclose(file);
    return usable;
}

} // namespace ervalun
