#pragma once

#include <string>
#include <string_view>

// Text pieces the exported files share: names made valid UTF-8, XML and JSON escapes, numbers
// written the same way whatever the process locale.

namespace ervalun::geodesy {

// The bytes as UTF-8: unchanged when they already are valid UTF-8 (no overlong form, no
// surrogate), otherwise read as Latin-1, the other encoding the directory may be written in.
std::string ToUtf8(std::string_view bytes);

// For XML text and attribute values: & < > " ' escaped; control characters that XML 1.0 does
// not allow (all below 0x20 but tab, line feed and carriage return) become spaces.
std::string XmlEscape(std::string_view utf8);

// A JSON string literal, quotes included. Safe inside an HTML <script> as well: "</" is written
// "<\/", and U+2028 and U+2029 are escaped.
std::string JsonString(std::string_view utf8);

// Fixed notation with the given number of decimals, "-0" written "0"; empty when not finite.
std::string FormatFixedDecimals(double value, int decimals);

// Degrees in exported files: 9 decimals (under a millimetre).
inline std::string FormatDegrees(double degrees) {
    return FormatFixedDecimals(degrees, 9);
}

} // namespace ervalun::geodesy
