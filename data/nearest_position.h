#pragma once

#include "data/records.h"

#include <string>
#include <string_view>
#include <vector>

namespace ervalun {

// The name a calculation shows when no known position is named.
inline constexpr std::string_view kNoNearestName = "RESULTAT";

// The entry chosen by the distances the entries hold: among those within 1e-6 of the smallest
// distance, the last one in the list (the directory standing sorted by name, the one whose name
// sorts last). There is no maximum distance. Null when the list is empty or no distance is a
// number.
const KnownPosition* ChosenEntry(const std::vector<KnownPosition>& directory);

// The directory entry nearest to (x, y), signed decimal longitude and latitude: every entry's
// flat-plane distance to it, in degrees, is written into the entry, then the entry is chosen as
// ChosenEntry does. Null, and nothing written, for an empty directory.
const KnownPosition* FindNearest(std::vector<KnownPosition>& directory, double x, double y);

// The directory entry the nearest search chose, from the distances it left in each entry (see
// ChosenEntry). Null when the directory is empty or that entry does not carry the given name
// (the search named nothing).
const KnownPosition* NamedEntry(const std::vector<KnownPosition>& directory,
                                const std::string& name);

} // namespace ervalun
