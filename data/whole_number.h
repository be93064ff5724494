#pragma once

#include <string_view>

// A whole word as a number, the grammar of the calibration file's values and of the command
// line's numbers: nothing may surround the number, and the process locale plays no part.

namespace ervalun {

// A whole word as a decimal integer (optional sign, digits) that an int holds; false for
// anything else.
bool ParseWholeInt(std::string_view word, int& value);

// A whole word as a finite real (optional sign, digits with at most one point, optional
// exponent); false for anything else, "inf" and "nan" included. A value too small for a double
// reads as 0 (of its sign), one too large is refused. value is written only on true.
bool ParseWholeReal(std::string_view word, double& value);

} // namespace ervalun
