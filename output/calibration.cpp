#include "output/calibration.h"

#include "data/file_kind.h"
#include "data/whole_number.h"

namespace ervalun {

namespace {

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
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
