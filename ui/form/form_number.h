#pragma once

#include <string>
#include <string_view>

// The numbers of the dialog's form, formatted and parsed the same way whatever the locale.

namespace ervalun {

enum class FormNumberStatus { Ok, NotANumber, OutOfRange };

// Parses a form field: blanks and tabs around a decimal number (optional sign, digits with at
// most one point, optional exponent). An empty text, any other character, or a zero whose first
// character is not the digit 0 is not a number; a value outside 0..360 is out of range.
// value is written only on Ok.
FormNumberStatus ParseFormNumber(std::string_view text, double& value);

// Shortest general notation with up to 15 significant digits and a decimal point: 0 -> "0",
// 0.5 -> "0.5", 1e20 -> "1e+20".
std::string FormatFormNumber(double value);

} // namespace ervalun
