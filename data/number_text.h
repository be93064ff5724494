#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Decimal number text, whatever the process locale: the one scanner under every reader of
// numbers (the directory's fields, the form's numbers, the calibration's values, the command
// line's numbers). Each reader keeps its own grammar on top: what may surround the number, what
// a zero or a value out of range means.

namespace ervalun {

constexpr bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// The usual number field, such as "45" or "30.5": at most kShortDecimalDigits digits, at most
// one point, no sign and no exponent. Its digits read as an integer are then exact in a double,
// and so is the power of ten that divides them; one division gives the correctly rounded
// value, the same that the general conversion gives.
inline constexpr int kShortDecimalDigits = 15;

// The powers of ten that a double holds exactly.
inline constexpr double kExactPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

inline double ShortDecimalValue(std::uint64_t digits, int fractionDigits) {
    const auto value = static_cast<double>(digits);
    // Most fields are whole numbers, and a division by 1 changes nothing but the time taken.
    return fractionDigits == 0 ? value : value / kExactPowersOfTen[fractionDigits];
}

// A short decimal at the start of [first, last): digits with at most one point among them, at
// least one digit and at most kShortDecimalDigits. Returns where it ends, with its value in
// value; null when there is none or more digits follow, and the text then goes the general way
// (ScanDecimal). What may follow it is the caller's grammar.
inline const char* ScanShortDecimal(const char* first, const char* last, double& value) {
    std::uint64_t digits = 0;
    int count = 0;
    int fraction = 0;
    bool point = false;
    const char* p = first;
    for (; p != last; ++p) {
        const char c = *p;
        if (IsDecimalDigit(c)) {
            if (++count > kShortDecimalDigits) {
                return nullptr;
            }
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            fraction += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (count == 0) {
        return nullptr;
    }
    value = ShortDecimalValue(digits, fraction);
    return p;
}

// A decimal number at the start of a text: an optional sign, digits with at most one point among
// them (at least one digit), and an optional exponent ("e" or "E", an optional sign, digits)
// that counts only when a digit follows the letter and its sign. No hexadecimal, inf or nan.
struct DecimalText {
    // False when the text does not begin with a number; the rest is then meaningless.
    bool found = false;
    bool negative = false;
    // Where the digits begin (past the sign) and where the number ends, in bytes.
    std::size_t digits = 0;
    std::size_t end = 0;
    // Whether a digit other than 0 stands in the mantissa, and if so the order of magnitude of
    // the value: it lies within [10^order, 10^(order + 1)). The exponent saturates far beyond
    // any double, so that a huge one still tells an overflow from an underflow.
    bool significant = false;
    long long order = 0;
};

DecimalText ScanDecimal(std::string_view text);

enum class DecimalRange { Within, TooLarge, TooSmall };

// The correctly rounded value of a scanned number (found), with its sign. A value too large for
// a double gives an infinity of its sign, one too small a zero of its sign; range tells which.
double DecimalValue(std::string_view text, const DecimalText& scanned, DecimalRange& range);

} // namespace ervalun
