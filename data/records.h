#pragma once

#include "engine/coordinates.h"

#include <string>
#include <vector>

// One entry of the position directory. The hemisphere is carried by the sign of the degrees
// (0 degrees west or south is a negative zero); the decimals carry the sign on the whole value.
class KnownPosition {
public:
    KnownPosition() = default;
    KnownPosition(const KnownPosition&) = default;
    KnownPosition& operator=(const KnownPosition&) = default;
    // Sorting a large list moves entries instead of copying their names.
    KnownPosition(KnownPosition&&) noexcept = default;
    KnownPosition& operator=(KnownPosition&&) noexcept = default;
    virtual ~KnownPosition() = default;

    double distance = 0.0;
    double latitude = 0.0;
    double longitude = 0.0;
    std::string name;
    double longitudeDegrees = 0.0;
    double longitudeMinutes = 0.0;
    double longitudeSeconds = 0.0;
    double latitudeDegrees = 0.0;
    double latitudeMinutes = 0.0;
    double latitudeSeconds = 0.0;
};

// One member of the roster. role: -1 none yet, 0 operator, 1 participant.
class Member {
public:
    Member() = default;
    Member(const Member&) = default;
    Member& operator=(const Member&) = default;
    // Sorting a large list moves entries instead of copying their names.
    Member(Member&&) noexcept = default;
    Member& operator=(Member&&) noexcept = default;
    virtual ~Member() = default;

    std::string name;
    int role = -1;
};

// The order by name of both reference lists: names compared as strings of unsigned bytes, the
// first differing byte deciding and a proper prefix first. Upper-case ASCII therefore sorts
// before lower case, and Latin-1 or UTF-8 accented letters after every ASCII letter.
bool NameLess(const std::string& a, const std::string& b);

namespace ervalun {

// The longitude and latitude of a directory entry as the form takes them: magnitudes, and the
// hemisphere from the sign bit of the degrees, since 0 degrees west or south is a negative zero
// (taking it for east or north would move the point by up to a degree).
Dms LongitudeOf(const KnownPosition& entry);
Dms LatitudeOf(const KnownPosition& entry);

} // namespace ervalun
