#pragma once

#include <cstdio>
#include <string>

namespace ervalun {

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

// A whole word as a decimal integer (optional sign, digits); false for anything else.
bool ParseWholeInt(const std::string& word, int& value);

// A whole word as a finite real (optional sign, digits, optional point and exponent); false
// for anything else, "inf" and "nan" included. A value too small for a double reads as 0 (of
// its sign), one too large is refused.
bool ParseWholeReal(const std::string& word, double& value);

} // namespace ervalun
