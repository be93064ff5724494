#include "ui/form/form_number.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace ervalun {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The decimal grammar the form accepts, checked by hand: from_chars alone would also take
// "inf", "nan" and "infinity", which are not numbers here.
struct Scanned {
    bool ok = false;
    bool significandIsZero = true;
    // Decimal order of magnitude of the first non-zero significand digit, roughly: positive means
    // the value is large, negative that it is tiny. Only its sign matters.
    long long order = 0;
};

Scanned ScanDecimal(std::string_view s) {
    Scanned out;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    long long integerDigits = 0; // counted after the leading zeros
    long long leadingFractionZeros = 0;
    bool anyDigit = false;
    bool seenNonZero = false;
    while (i < s.size() && IsDigit(s[i])) {
        anyDigit = true;
        if (s[i] != '0') {
            seenNonZero = true;
        }
        if (seenNonZero) {
            ++integerDigits;
        }
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            anyDigit = true;
            if (s[i] != '0') {
                seenNonZero = true;
            } else if (!seenNonZero) {
                ++leadingFractionZeros;
            }
            ++i;
        }
    }
    if (!anyDigit) {
        return out;
    }
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negative = s[i] == '-';
            ++i;
        }
        if (i == s.size() || !IsDigit(s[i])) {
            return out;
        }
        while (i < s.size() && IsDigit(s[i])) {
            // Saturate: any exponent this large already decides overflow or underflow.
            if (exponent < 1000000000LL) {
                exponent = exponent * 10 + (s[i] - '0');
            }
            ++i;
        }
        if (negative) {
            exponent = -exponent;
        }
    }
    if (i != s.size()) {
        return out;
    }
    out.ok = true;
    out.significandIsZero = !seenNonZero;
    out.order = integerDigits > 0 ? exponent + integerDigits : exponent - leadingFractionZeros;
    return out;
}

} // namespace

FormNumberStatus ParseFormNumber(std::string_view text, double& value) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    const std::string_view number = text.substr(begin, end - begin);
    const Scanned scanned = ScanDecimal(number);
    if (!scanned.ok) {
        return FormNumberStatus::NotANumber;
    }

    // from_chars takes no leading '+'.
    std::string_view digits = number;
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);
    }
    double parsed = 0.0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (scanned.order > 0) {
            return FormNumberStatus::OutOfRange;
        }
        // Too small to hold: it reads as zero, like the C library's conversion.
        parsed = 0.0;
    } else if (ec != std::errc() || ptr != digits.data() + digits.size()) {
        return FormNumberStatus::NotANumber;
    }

    // A zero counts only when written with a leading 0: ".0", "+0" or "-0" are refused.
    if (parsed == 0.0 && number.front() != '0') {
        return FormNumberStatus::NotANumber;
    }
    if (!(parsed >= 0.0 && parsed <= 360.0)) {
        return FormNumberStatus::OutOfRange;
    }
    value = parsed;
    return FormNumberStatus::Ok;
}

std::string FormatFormNumber(double value) {
    // A negative zero would show as "-0", a text the form itself refuses; it is zero.
    if (value == 0.0) {
        value = 0.0;
    }
    char buffer[64];
    const auto [ptr, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc()) {
        return std::string();
    }
    return std::string(buffer, ptr);
}

} // namespace ervalun
