#pragma once

#include <cstdint>
#include <string_view>

namespace ervalun {

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

// The value of a number field of the position directory. Leading tab, vertical tab, form feed
// and carriage return bytes are skipped; the value is then the longest beginning that forms a
// decimal number: an optional sign, digits with at most one "." among them (at least one
// digit), and an optional exponent ("e" or "E", an optional sign, digits). The rest is ignored,
// and a token with no such beginning reads as 0. There is no hexadecimal, no inf and no nan.
// A value too large for a double gives an infinity of its sign, which every range check
// refuses; a value too small gives 0. The process locale plays no part.
double ParseDirectoryNumber(std::string_view token);

} // namespace ervalun
