#pragma once

#include "engine/coordinates.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>
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

// A name's place in the order by name, quick to compare: its first 16 bytes (zero-padded) as
// two numbers that order like the bytes, its length, and the index of its record in the list.
struct NameKey {
    std::uint64_t head = 0;
    std::uint64_t next = 0;
    std::uint32_t length = 0;
    std::uint32_t index = 0;
};

NameKey MakeNameKey(std::string_view name, std::uint32_t index);

// Puts keys in the order of the names they stand for, names[key.index], as NameLess orders
// them; equal names keep the order of their indexes. That order is one and the same however it
// is reached, so a long list is sorted on two threads when the machine has two cores.
void SortNameKeys(std::vector<NameKey>& keys, const std::vector<std::string_view>& names);

// Asks for the memory of a record about to be used, so that its reading can start early.
template <typename Record> void Prefetch(const Record& record) {
#if defined(__GNUC__)
    const char* const bytes = reinterpret_cast<const char*>(&record);
    for (std::size_t offset = 0; offset < sizeof(Record); offset += 64) {
        __builtin_prefetch(bytes + offset);
    }
    __builtin_prefetch(bytes + sizeof(Record) - 1);
#else
    (void)record;
#endif
}

// Puts the record from[i] at place i, for every i, moving each record once and using no second
// list: the places form cycles (the record of place a goes to b, that of b to c... back to a),
// followed one after the other. A walk a few steps ahead on the cycle asks for the records it
// will need, which lie anywhere in the list. from is overwritten.
template <typename Record>
void MoveIntoOrder(std::vector<Record>& list, std::vector<std::uint32_t>& from) {
    constexpr int kStepsAhead = 16;
    for (std::uint32_t start = 0; start < from.size(); ++start) {
        if (from[start] == start) {
            continue; // in its place already, or moved there along an earlier cycle
        }
        Record held = std::move(list[start]);
        std::uint32_t ahead = start;
        for (int step = 0; step < kStepsAhead; ++step) {
            ahead = from[ahead];
            Prefetch(list[ahead]);
        }
        std::uint32_t place = start;
        for (;;) {
            const std::uint32_t next = from[place];
            from[place] = place;
            if (next == start) {
                list[place] = std::move(held);
                break;
            }
            list[place] = std::move(list[next]);
            place = next;
            ahead = from[ahead];
            Prefetch(list[ahead]);
        }
    }
}

} // namespace ervalun

// Sorts a reference list by name (NameLess); records with equal names keep their order. The
// records are not compared and swapped in place, which would move each of them many times and
// reach their names all over memory: a compact key per record is sorted instead, and each
// record is then moved once to its place.
template <typename Record> void SortByName(std::vector<Record>& list) {
    if (list.size() < 2) {
        return;
    }
    if (list.size() > std::numeric_limits<std::uint32_t>::max()) {
        std::stable_sort(list.begin(), list.end(),
                         [](const Record& a, const Record& b) { return NameLess(a.name, b.name); });
        return;
    }
    std::vector<std::string_view> names;
    std::vector<ervalun::NameKey> keys;
    names.reserve(list.size());
    keys.reserve(list.size());
    for (const Record& record : list) {
        keys.push_back(ervalun::MakeNameKey(record.name, static_cast<std::uint32_t>(names.size())));
        names.emplace_back(record.name);
    }
    ervalun::SortNameKeys(keys, names);
    std::vector<std::uint32_t> from;
    from.reserve(keys.size());
    for (const ervalun::NameKey& key : keys) {
        from.push_back(key.index);
    }
    keys = {};
    ervalun::MoveIntoOrder(list, from);
}

namespace ervalun {

// The longitude and latitude of a directory entry as the form takes them: magnitudes, and the
// hemisphere from the sign bit of the degrees, since 0 degrees west or south is a negative zero
// (taking it for east or north would move the point by up to a degree).
Dms LongitudeOf(const KnownPosition& entry);
Dms LatitudeOf(const KnownPosition& entry);

} // namespace ervalun
