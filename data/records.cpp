#include "data/records.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

bool NameLess(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    // memcmp compares as unsigned char, whatever the signedness of char.
    const int c = common == 0 ? 0 : std::memcmp(a.data(), b.data(), common);
    if (c != 0) {
        return c < 0;
    }
    return a.size() < b.size();
}

namespace ervalun {

namespace {

Dms FromSignedDegrees(double degrees, double minutes, double seconds) {
    const bool negative = std::signbit(degrees);
    return {negative ? -degrees : degrees, minutes, seconds, negative ? 1 : 0};
}

} // namespace

Dms LongitudeOf(const KnownPosition& entry) {
    return FromSignedDegrees(entry.longitudeDegrees, entry.longitudeMinutes,
                             entry.longitudeSeconds);
}

Dms LatitudeOf(const KnownPosition& entry) {
    return FromSignedDegrees(entry.latitudeDegrees, entry.latitudeMinutes, entry.latitudeSeconds);
}

} // namespace ervalun
