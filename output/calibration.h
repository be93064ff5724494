#pragma once

#include "data/map_calibration.h"

#include <cstdio>
#include <string>

namespace ervalun {

// Reads the map calibration "calibration.txt": 24 white-space separated tokens (label and width,
// label and height, then label, degrees, minutes, seconds and letter for the top-left longitude
// and latitude and the bottom-right longitude and latitude). True when the file is usable:
// sizes within 0..4096, numbers within 0..360, letters "E"/"O" and "N"/"S" exactly. A size out
// of bounds or a malformed or missing token stops the reading; a number out of bounds or a
// wrong letter is not stored and reading goes on. calibration may be partly filled either way.
// Only a regular file is read, and it is never created.
bool ReadCalibration(const std::string& fileName, MapCalibration& calibration);

// Reads a text file as white-space-separated words, a few kilobytes at a time, whatever the
// process locale. A word longer than the limit is refused rather than read on.
class WordReader {
public:
    static constexpr std::size_t kMaxWordLength = 255;

    explicit WordReader(std::FILE* file) : file_(file) {}

    // The next word; false at the end of the file, on a read error or for an overlong word.
    bool Next(std::string& word);

private:
    int Get();

    std::FILE* file_;
    char buffer_[4096];
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
};

} // namespace ervalun
