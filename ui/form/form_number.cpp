#include "ui/form/form_number.h"

#include "data/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace ervalun {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
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
    // The whole text between the blanks must be the number.
    const DecimalText scanned = ScanDecimal(number);
    if (!scanned.found || scanned.end != number.size()) {
        return FormNumberStatus::NotANumber;
    }
    DecimalRange range = DecimalRange::Within;
    double parsed = DecimalValue(number, scanned, range);
    if (range == DecimalRange::TooLarge) {
        return FormNumberStatus::OutOfRange;
    }
    if (range == DecimalRange::TooSmall) {
        // Too small to hold: it reads as zero, like the C library's conversion.
        parsed = 0.0;
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
