#pragma once

#include "data/records.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The sort of the reference lists by name (NameLess), and the machinery behind it: compact
// keys, buckets by first bytes, and the threads that share them.

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

// The names of a list's records, read where they lie: the i-th is the name of the i-th record.
// No copy of them is made, so that a sort asks for no memory in proportion to the names.
class NameColumn {
public:
    template <typename Record>
    explicit NameColumn(const std::vector<Record>& list)
        : first_(list.empty() ? nullptr : reinterpret_cast<const char*>(&list.front().name)),
          stride_(sizeof(Record)) {}

    std::string_view operator[](std::size_t i) const {
        return *std::launder(reinterpret_cast<const std::string*>(first_ + i * stride_));
    }
    // Where the i-th name's record lies, to ask for its memory early.
    const char* At(std::size_t i) const { return first_ + i * stride_; }

private:
    const char* first_;
    std::size_t stride_;
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

// Puts the record from[i] at place i, for every i, moving each record once and using no second
// list: the places form cycles (the record of place a goes to b, that of b to c... back to a),
// followed one after the other. A walk a few steps ahead on the cycle asks for the records it
// will need, which lie anywhere in the list. from is overwritten.
template <typename Record>
void MoveIntoOrder(std::vector<Record>& list, std::vector<std::uint32_t>& from) {
    constexpr int kStepsAhead = 16;
    auto prefetch = [&list](std::uint32_t i) {
        Prefetch(reinterpret_cast<const char*>(&list[i]), sizeof(Record));
    };
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
