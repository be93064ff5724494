#include "data/directory_number.h"

#include <cstddef>

namespace ervalun {

double ParseDirectoryNumber(std::string_view token) {
    std::size_t i = 0;
    const std::size_t n = token.size();
    while (i < n &&
           (token[i] == '\t' || token[i] == '\v' || token[i] == '\f' || token[i] == '\r')) {
        ++i;
    }
    const std::string_view number = token.substr(i);

    // The usual field, not followed by an exponent, needs no general conversion.
    const std::size_t sign = !number.empty() && (number[0] == '+' || number[0] == '-') ? 1 : 0;
    const char* last = number.data() + number.size();
    double value = 0.0;
    const char* end = ScanShortDecimal(number.data() + sign, last, value);
    if (end != nullptr && (end == last || (*end != 'e' && *end != 'E'))) {
        return sign == 1 && number[0] == '-' ? -value : value;
    }

    const DecimalText scanned = ScanDecimal(number);
    if (!scanned.found) {
        return 0.0;
    }
    DecimalRange range = DecimalRange::Within;
    return DecimalValue(number, scanned, range);
}

} // namespace ervalun
