#pragma once

#include "data/records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

// The sort of the reference lists by name (NameLess), and the machinery behind it: compact
// keys, buckets by first bytes, and the threads that share them.

namespace ervalun {

// A name's place in the order by name, quick to compare: its first 16 bytes (zero-padded) as
// two numbers that order like the bytes, its length, and the index of its record in the list.
// Without default values, so that an array of keys about to be made costs no writes.
struct NameKey {
    std::uint64_t head;
    std::uint64_t next;
    std::uint32_t length;
    std::uint32_t index;
};

NameKey MakeNameKey(std::string_view name, std::uint32_t index);

// The names of a list's records, read where they lie: the i-th is the name of the i-th record.
// No copy of them is made, so that a sort asks for no memory in proportion to the names.
class NameColumn {
public:
    template <typename Record>
    explicit NameColumn(const std::vector<Record>& list)
        : first_(list.empty() ? nullptr : reinterpret_cast<const char*>(&list.front().name)),
          stride_(sizeof(Record)), compact_(std::is_same_v<decltype(Record::name), CompactName>) {
        static_assert(std::is_same_v<decltype(Record::name), CompactName> ||
                      std::is_same_v<decltype(Record::name), std::string>);
    }

    std::string_view operator[](std::size_t i) const {
        const char* at = first_ + i * stride_;
        if (compact_) {
            return *std::launder(reinterpret_cast<const CompactName*>(at));
        }
        return *std::launder(reinterpret_cast<const std::string*>(at));
    }
    // Where the i-th name's record lies, to ask for its memory early.
    const char* At(std::size_t i) const { return first_ + i * stride_; }

private:
    const char* first_;
    std::size_t stride_;
    bool compact_;
};

// The order by name of count names: from[i] is the index of the name that comes i-th, as
// NameLess orders them; equal names keep the order of their indexes. The names are first
// dealt into buckets by their first two bytes, in order, then each bucket's keys are sorted
// on their own, so that the keys of one bucket at a time take memory. That order is one and
// the same however it is reached, so a long list's buckets are shared by two threads when the
// machine has two cores.
std::vector<std::uint32_t> OrderByName(const NameColumn& names, std::size_t count);

// Asks for the memory at bytes, size bytes long, so that its reading can start early.
inline void Prefetch(const char* bytes, std::size_t size) {
#if defined(__GNUC__)
    for (std::size_t offset = 0; offset < size; offset += 64) {
        __builtin_prefetch(bytes + offset);
    }
    __builtin_prefetch(bytes + size - 1);
#else
    (void)bytes;
    (void)size;
#endif
}

// Runs first on a thread of its own and second on this one when inTwo, else both here. A
// thread that cannot start leaves its work to this one.
void RunInTwo(bool inTwo, const std::function<void()>& first, const std::function<void()>& second);

// How MoveIntoOrder shares the moves between two threads. PlanMoves follows every cycle of from
// once, in the order of their first places, and marks each place of a cycle (kInCycle) and the
// first (kCycleStart); the cycles that begin before split are the first thread's, those that
// begin after it the second's. The cycle that begins at split is cut at middle: the first
// thread moves its records from split up to middle, the second the rest (the whole cycle when
// middle is split). split is from.size() when nothing moves.
struct MoveShares {
    std::uint32_t split;
    std::uint32_t middle;
};
constexpr std::uint32_t kInCycle = std::uint32_t{1} << 31;
constexpr std::uint32_t kCycleStart = std::uint32_t{1} << 30;
constexpr std::uint32_t kPlaceBits = kCycleStart - 1;
MoveShares PlanMoves(std::vector<std::uint32_t>& from);

// Below this many records one thread moves them faster than two can start.
constexpr std::size_t kParallelMoves = std::size_t{1} << 15;

// Puts the record from[i] at place i, for every i, moving each record once and using no second
// list: the places form cycles (the record of place a goes to b, that of b to c... back to a),
// followed one after the other. A walk a few steps ahead on the cycle asks for the records it
// will need, which lie anywhere in the list. A long list's cycles are shared by two threads,
// a cycle that is most of the list cut in two. from is overwritten.
template <typename Record>
void MoveIntoOrder(std::vector<Record>& list, std::vector<std::uint32_t>& from) {
    constexpr int kStepsAhead = 16;
    auto prefetch = [&list](std::uint32_t i) {
        Prefetch(reinterpret_cast<const char*>(&list[i]), sizeof(Record));
    };
    // Moves the records along a cycle from start, until the place whose record comes from end,
    // which receives last.
    auto walk = [&](std::uint32_t start, std::uint32_t end, Record& last) {
        std::uint32_t ahead = start;
        for (int step = 0; step < kStepsAhead; ++step) {
            ahead = from[ahead] & kPlaceBits;
            prefetch(ahead);
        }
        std::uint32_t place = start;
        for (;;) {
            const std::uint32_t next = from[place] & kPlaceBits;
            if (next == end) {
                list[place] = std::move(last);
                return;
            }
            list[place] = std::move(list[next]);
            place = next;
            ahead = from[ahead] & kPlaceBits;
            prefetch(ahead);
        }
    };
    auto whole = [&](std::uint32_t start) {
        Record held = std::move(list[start]);
        walk(start, start, held);
    };
    const bool inTwo = list.size() >= kParallelMoves && list.size() <= kPlaceBits &&
                       std::thread::hardware_concurrency() >= 2;
    if (!inTwo) {
        for (std::uint32_t start = 0; start < from.size(); ++start) {
            if (from[start] == start) {
                continue; // in its place already, or moved there along an earlier cycle
            }
            Record held = std::move(list[start]);
            std::uint32_t ahead = start;
            for (int step = 0; step < kStepsAhead; ++step) {
                ahead = from[ahead];
                prefetch(ahead);
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
                prefetch(ahead);
            }
        }
        return;
    }
    const MoveShares shares = PlanMoves(from);
    const auto count = static_cast<std::uint32_t>(from.size());
    if (shares.split == count) {
        return;
    }
    // Both ends of a cut cycle are taken out before either thread moves a record into them.
    const bool cut = shares.middle != shares.split;
    Record atSplit = cut ? std::move(list[shares.split]) : Record();
    Record atMiddle = cut ? std::move(list[shares.middle]) : Record();
    auto cycles = [&](std::uint32_t begin, std::uint32_t end) {
        for (std::uint32_t start = begin; start < end; ++start) {
            if ((from[start] & kCycleStart) != 0) {
                whole(start);
            }
        }
    };
    RunInTwo(
        true,
        [&] {
            cycles(0, shares.split);
            if (cut) {
                walk(shares.split, shares.middle, atMiddle);
            }
        },
        [&] {
            if (cut) {
                walk(shares.middle, shares.split, atSplit);
            } else {
                whole(shares.split);
            }
            cycles(shares.split + 1, count);
        });
}

} // namespace ervalun

// Sorts a reference list by name (NameLess); records with equal names keep their order. The
// records are not compared and swapped in place, which would move each of them many times and
// reach their names all over memory: their order is found first, through compact keys, and
// each record is then moved once to its place. Beside the list it takes four bytes a record
// and the keys of one bucket of names.
template <typename Record> void SortByName(std::vector<Record>& list) {
    if (list.size() < 2) {
        return;
    }
    if (list.size() > std::numeric_limits<std::uint32_t>::max()) {
        std::stable_sort(list.begin(), list.end(),
                         [](const Record& a, const Record& b) { return NameLess(a.name, b.name); });
        return;
    }
    std::vector<std::uint32_t> from = ervalun::OrderByName(ervalun::NameColumn(list), list.size());
    ervalun::MoveIntoOrder(list, from);
}
