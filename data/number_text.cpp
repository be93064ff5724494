#include "data/number_text.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace ervalun {

namespace {

// An exponent beyond this is far out of the range of a double whatever the mantissa's length
// (a text would need petabytes of leading zeros to bring it back), so it stops growing there.
constexpr long long kExponentCap = 1'000'000'000'000'000LL;

} // namespace

DecimalText ScanDecimal(std::string_view text) {
    DecimalText out;
    const std::size_t n = text.size();
    std::size_t i = 0;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        out.negative = text[i] == '-';
        ++i;
    }
    out.digits = i;

    // The mantissa. Where its first significant digit stands gives the order of magnitude.
    long long integerDigits = 0;
    long long fractionDigits = 0;
    long long leadInteger = -1;
    long long leadFraction = -1;
    bool point = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (IsDecimalDigit(c)) {
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
        return out;
    }
    out.found = true;
    out.end = i;
    out.significant = leadInteger >= 0 || leadFraction >= 0;
    const long long leadOrder =
        leadInteger >= 0 ? integerDigits - 1 - leadInteger : -(leadFraction + 1);

    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            negative = text[j] == '-';
            ++j;
        }
        if (j < n && IsDecimalDigit(text[j])) {
            for (; j < n && IsDecimalDigit(text[j]); ++j) {
                if (exponent < kExponentCap) {
                    exponent = exponent * 10 + (text[j] - '0');
                }
            }
            exponent = negative ? -exponent : exponent;
            out.end = j;
        }
    }
    out.order = leadOrder + exponent;
    return out;
}

double DecimalValue(std::string_view text, const DecimalText& scanned, DecimalRange& range) {
    double value = 0.0;
    range = DecimalRange::Within;
    // from_chars takes no "+", and would take "inf" and "nan": it only converts what the scan
    // found, the sign left out.
    const char* first = text.data() + scanned.digits;
    const char* last = text.data() + scanned.end;
    const std::from_chars_result r =
        std::from_chars(first, last, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone then; the scan tells which side it fell.
        if (scanned.significant && scanned.order > 0) {
            range = DecimalRange::TooLarge;
            value = std::numeric_limits<double>::infinity();
        } else {
            range = DecimalRange::TooSmall;
            value = 0.0;
        }
    } else if (r.ec != std::errc()) {
        value = 0.0;
    }
    return scanned.negative ? -value : value;
}

} // namespace ervalun
