#include "data/directory_number.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace ervalun {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A short decimal (see ShortDecimalValue) followed by anything but an exponent. False sends the
// text the general way.
bool ParseShortDecimal(std::string_view text, double& value) {
    unsigned long long mantissa = 0;
    int digits = 0;
    int fraction = 0;
    bool point = false;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            if (++digits > kShortDecimalDigits) {
                return false;
            }
            mantissa = mantissa * 10 + static_cast<unsigned long long>(c - '0');
            if (point) {
                ++fraction;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0 || (i < text.size() && (text[i] == 'e' || text[i] == 'E'))) {
        return false;
    }
    value = ShortDecimalValue(mantissa, fraction);
    return true;
}

} // namespace

double ParseDirectoryNumber(std::string_view token) {
    std::size_t i = 0;
    const std::size_t n = token.size();
    while (i < n &&
           (token[i] == '\t' || token[i] == '\v' || token[i] == '\f' || token[i] == '\r')) {
        ++i;
    }

    bool negative = false;
    if (i < n && (token[i] == '+' || token[i] == '-')) {
        negative = token[i] == '-';
        ++i;
    }

    double value = 0.0;
    if (ParseShortDecimal(token.substr(i), value)) {
        return negative ? -value : value;
    }

    // The mantissa: digits with at most one point, at least one digit. Where its first
    // significant digit stands tells an overflow from an underflow below.
    const std::size_t begin = i;
    long long integerDigits = 0;
    long long fractionDigits = 0;
    long long leadInteger = -1;
    long long leadFraction = -1;
    bool point = false;
    for (; i < n; ++i) {
        const char c = token[i];
        if (IsDigit(c)) {
            if (!point) {
                if (leadInteger < 0 && c != '0') {
                    leadInteger = integerDigits;
                }
                ++integerDigits;
            } else {
                if (leadInteger < 0 && leadFraction < 0 && c != '0') {
                    leadFraction = fractionDigits;
                }
                ++fractionDigits;
            }
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (integerDigits + fractionDigits == 0) {
        return 0.0;
    }
    const bool significant = leadInteger >= 0 || leadFraction >= 0;
    // The mantissa lies between 10^leadExponent and 10^(leadExponent + 1).
    const long long leadExponent =
        leadInteger >= 0 ? integerDigits - 1 - leadInteger : -(leadFraction + 1);

    // An exponent counts only when at least one digit follows the letter and its sign.
    long long exponent = 0;
    std::size_t end = i;
    if (i < n && (token[i] == 'e' || token[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (token[j] == '+' || token[j] == '-')) {
            expNegative = token[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(token[j])) {
            for (; j < n && IsDigit(token[j]); ++j) {
                // Saturate: any exponent beyond a million is already far out of range.
                if (exponent < 1000000) {
                    exponent = exponent * 10 + (token[j] - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
            end = j;
        }
    }

    const char* first = token.data() + begin;
    const char* last = token.data() + end;
    const std::from_chars_result r =
        std::from_chars(first, last, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        value = (significant && leadExponent + exponent > 0)
                    ? std::numeric_limits<double>::infinity()
                    : 0.0;
    } else if (r.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

} // namespace ervalun
