#include "data/whole_number.h"

#include "data/number_text.h"

#include <charconv>
#include <system_error>

namespace ervalun {

bool ParseWholeInt(std::string_view word, int& value) {
    const char* first = word.data();
    const char* last = first + word.size();
    // from_chars takes no "+"; the stream extraction that users' files are written for does.
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first == '-' || *first == '+') {
            return false;
        }
    }
    int v = 0;
    const auto res = std::from_chars(first, last, v);
    if (first == last || res.ec != std::errc{} || res.ptr != last) {
        return false;
    }
    value = v;
    return true;
}

bool ParseWholeReal(std::string_view word, double& value) {
    const DecimalText scanned = ScanDecimal(word);
    if (!scanned.found || scanned.end != word.size()) {
        return false;
    }
    DecimalRange range = DecimalRange::Within;
    const double v = DecimalValue(word, scanned, range);
    // Stream extraction reads a value too small as 0, and the directory reader does too; a value
    // too large stays refused.
    if (range == DecimalRange::TooLarge) {
        return false;
    }
    value = v;
    return true;
}

} // namespace ervalun
