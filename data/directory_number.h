#pragma once

#include "data/number_text.h"

#include <string_view>

namespace ervalun {

// The value of a number field of the position directory. Leading tab, vertical tab, form feed
// and carriage return bytes are skipped; the value is then the longest beginning that forms a
// decimal number: an optional sign, digits with at most one "." among them (at least one
// digit), and an optional exponent ("e" or "E", an optional sign, digits). The rest is ignored,
// and a token with no such beginning reads as 0. There is no hexadecimal, no inf and no nan.
// A value too large for a double gives an infinity of its sign, which every range check
// refuses; a value too small gives 0. The process locale plays no part.
double ParseDirectoryNumber(std::string_view token);

} // namespace ervalun
