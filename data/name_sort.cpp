#include "data/name_sort.h"

#include <cstring>
#include <functional>
#include <memory>
#include <numeric>
#include <system_error>
#include <thread>

namespace ervalun {

namespace {

// The bytes of the key's two words.
constexpr std::size_t kWordBytes = 8;
constexpr std::size_t kKeyBytes = 2 * kWordBytes;

// A bucket for every value of a name's first two bytes, zero-padded.
constexpr std::size_t kBuckets = std::size_t{1} << 16;

// Below this many names their keys are sorted in one go: the buckets' tables would cost more
// than they save.
constexpr std::size_t kBucketedNames = 1 << 12;

// Up to this many names, the key of each name is made as the list is read in its order, and
// the keys themselves are dealt into their buckets: reaching the records in their order is
// quicker than in the buckets' order. That takes 28 bytes a name beside the list; beyond it,
// the keys of one bucket at a time keep the sort's memory small.
constexpr std::size_t kKeyedNames = 1 << 18;

// Below this many names one thread sorts faster than two can start.
constexpr std::size_t kParallelSortNames = 1 << 15;

// How many names ahead the keys' making asks for the records, then for the names' bytes.
constexpr std::size_t kRecordsAhead = 16;
constexpr std::size_t kBytesAhead = 8;

// Up to eight bytes as a number whose order is the order of the bytes, zero-padded.
std::uint64_t OrderedWord(const char* bytes, std::size_t count) {
    unsigned char b[kWordBytes] = {};
    std::memcpy(b, bytes, count);
    std::uint64_t word = 0;
    for (const unsigned char byte : b) {
        word = word << 8 | byte;
    }
    return word;
}

std::size_t BucketOf(std::string_view name) {
    const auto byte = [&name](std::size_t i) -> std::size_t {
        return i < name.size() ? static_cast<unsigned char>(name[i]) : 0;
    };
    return byte(0) << 8 | byte(1);
}

class KeyLess {
public:
    explicit KeyLess(const NameColumn& names) : names_(names) {}

    bool operator()(const NameKey& x, const NameKey& y) const {
        if (x.head != y.head) {
            return x.head < y.head;
        }
        if (x.next != y.next) {
            return x.next < y.next;
        }
        // The first 16 bytes are equal, zero-padded. When one name ends within them it is a
        // beginning of the other, and the shorter comes first; otherwise the rest decides.
        if (x.length > kKeyBytes && y.length > kKeyBytes) {
            const int c =
                names_[x.index].substr(kKeyBytes).compare(names_[y.index].substr(kKeyBytes));
            if (c != 0) {
                return c < 0;
            }
        } else if (x.length != y.length) {
            return x.length < y.length;
        }
        return x.index < y.index;
    }

private:
    const NameColumn& names_;
};

// Sorts the indexes of [first, last) by their names, through keys made in keys (its memory is
// kept for the next slice).
void SortSlice(const NameColumn& names, std::uint32_t* first, std::uint32_t* last,
               std::vector<NameKey>& keys) {
    const auto count = static_cast<std::size_t>(last - first);
    keys.resize(count);
    for (std::size_t j = 0; j < count; ++j) {
        if (j + kRecordsAhead < count) {
            Prefetch(names.At(first[j + kRecordsAhead]), sizeof(std::string));
        }
        if (j + kBytesAhead < count) {
            Prefetch(names[first[j + kBytesAhead]].data(), 1);
        }
        keys[j] = MakeNameKey(names[first[j]], first[j]);
    }
    std::sort(keys.begin(), keys.end(), KeyLess(names));
    for (std::size_t j = 0; j < count; ++j) {
        first[j] = keys[j].index;
    }
}

// Sorts the buckets [first, last) of from, whose b-th bucket begins at starts[b], through keys
// made one bucket at a time.
void SortBuckets(const NameColumn& names, const std::vector<std::uint32_t>& starts,
                 std::vector<std::uint32_t>& from, std::size_t first, std::size_t last) {
    std::vector<NameKey> keys;
    for (std::size_t b = first; b < last; ++b) {
        if (starts[b + 1] - starts[b] >= 2) {
            SortSlice(names, from.data() + starts[b], from.data() + starts[b + 1], keys);
        }
    }
}

// Where each bucket begins (starts, one past the end last) and where the next name of each half
// of the list goes in it: first for the names before half, rest for the others.
struct BucketPlaces {
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> rest;
    std::vector<std::uint32_t> starts;
};

BucketPlaces CountBuckets(const NameColumn& names, std::size_t count, std::size_t half,
                          bool inTwo) {
    BucketPlaces p{std::vector<std::uint32_t>(kBuckets, 0), std::vector<std::uint32_t>(kBuckets, 0),
                   std::vector<std::uint32_t>(kBuckets + 1, 0)};
    auto tally = [&names](std::vector<std::uint32_t>& counts, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            ++counts[BucketOf(names[i])];
        }
    };
    RunInTwo(
        inTwo, [&] { tally(p.first, 0, half); }, [&] { tally(p.rest, half, count); });
    for (std::size_t b = 0; b < kBuckets; ++b) {
        p.starts[b + 1] = p.starts[b] + p.first[b] + p.rest[b];
        p.rest[b] = p.starts[b] + p.first[b];
        p.first[b] = p.starts[b];
    }
    return p;
}

// The order of count names through the keys of all of them (see kKeyedNames), on two threads
// when inTwo: the same order as the buckets of indexes give.
std::vector<std::uint32_t> OrderByKeys(const NameColumn& names, std::size_t count, bool inTwo) {
    const std::size_t half = inTwo ? count / 2 : count;
    BucketPlaces places = CountBuckets(names, count, half, inTwo);
    std::vector<std::uint32_t>& first = places.first;
    std::vector<std::uint32_t>& rest = places.rest;
    const std::vector<std::uint32_t>& starts = places.starts;
    const auto dealt = std::make_unique_for_overwrite<NameKey[]>(count);
    // Each key is made as its name is met, in the list's order, and put in its bucket's place;
    // left unwritten before, the pages are first touched by the thread that fills them.
    auto deal = [&](std::vector<std::uint32_t>& next, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            if (i + kRecordsAhead < end) {
                Prefetch(names.At(i + kRecordsAhead), sizeof(std::string));
            }
            const NameKey key = MakeNameKey(names[i], static_cast<std::uint32_t>(i));
            // A key's head begins with the name's first two bytes, zero-padded: its bucket.
            dealt[next[key.head >> 48]++] = key;
        }
    };
    RunInTwo(
        inTwo, [&] { deal(first, 0, half); }, [&] { deal(rest, half, count); });
    std::vector<std::uint32_t> from(count);
    const auto middle = static_cast<std::size_t>(
        std::lower_bound(starts.begin(), starts.end(), count / 2) - starts.begin());
    auto sort = [&](std::size_t firstBucket, std::size_t lastBucket) {
        const KeyLess less(names);
        for (std::size_t b = firstBucket; b < lastBucket; ++b) {
            NameKey* begin = dealt.get() + starts[b];
            NameKey* end = dealt.get() + starts[b + 1];
            std::sort(begin, end, less);
            for (NameKey* key = begin; key != end; ++key) {
                from[static_cast<std::size_t>(key - dealt.get())] = key->index;
            }
        }
    };
    RunInTwo(
        inTwo, [&] { sort(0, middle); }, [&] { sort(middle, kBuckets); });
    return from;
}

} // namespace

void RunInTwo(bool inTwo, const std::function<void()>& first, const std::function<void()>& second) {
    if (inTwo) {
        try {
            std::thread other(first);
            second();
            other.join();
            return;
        } catch (const std::system_error&) {
        }
    }
    first();
    second();
}

MoveShares PlanMoves(std::vector<std::uint32_t>& from) {
    const auto count = static_cast<std::uint32_t>(from.size());
    std::uint32_t moved = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        moved += from[i] != i ? 1 : 0;
    }
    const std::uint32_t half = moved / 2;
    MoveShares shares{count, count};
    std::uint32_t before = 0;
    for (std::uint32_t start = 0; start < count; ++start) {
        if (from[start] == start || (from[start] & kInCycle) != 0) {
            continue;
        }
        // The step of this cycle at which the first half of the moves would end, if it does.
        const bool open = shares.split == count && before <= half;
        const std::uint32_t target = open ? half - before : 0;
        std::uint32_t middle = start;
        std::uint32_t place = start;
        std::uint32_t length = 0;
        do {
            if (length == target) {
                middle = place;
            }
            const std::uint32_t next = from[place];
            from[place] = next | kInCycle;
            place = next;
            ++length;
        } while (place != start);
        from[start] |= kCycleStart;
        if (open && before + length > half) {
            shares.split = start;
            shares.middle = middle;
        }
        before += length;
    }
    return shares;
}

NameKey MakeNameKey(std::string_view name, std::uint32_t index) {
    NameKey key{0, 0, 0, 0};
    const std::size_t size = name.size();
    key.head = OrderedWord(name.data(), std::min(size, kWordBytes));
    if (size > kWordBytes) {
        key.next = OrderedWord(name.data() + kWordBytes, std::min(size, kKeyBytes) - kWordBytes);
    }
    key.length = static_cast<std::uint32_t>(
        std::min<std::size_t>(size, std::numeric_limits<std::uint32_t>::max()));
    key.index = index;
    return key;
}

std::vector<std::uint32_t> OrderByName(const NameColumn& names, std::size_t count) {
    if (count < kBucketedNames) {
        std::vector<std::uint32_t> from(count);
        std::iota(from.begin(), from.end(), std::uint32_t{0});
        std::vector<NameKey> keys;
        SortSlice(names, from.data(), from.data() + count, keys);
        return from;
    }
    // Each pass is shared by two threads: the names of the first half of the list and those of
    // the rest, then the buckets that hold the first half of the names and the others.
    const bool inTwo = count >= kParallelSortNames && std::thread::hardware_concurrency() >= 2;
    if (count <= kKeyedNames) {
        return OrderByKeys(names, count, inTwo);
    }
    const std::size_t half = inTwo ? count / 2 : count;
    std::vector<std::uint32_t> from(count);
    // The buckets follow one another in the order of the names they hold (a shorter name is
    // zero-padded, as it comes before any longer one it begins); each is dealt its names in
    // the order of their indexes: the first half's, then the rest's.
    BucketPlaces places = CountBuckets(names, count, half, inTwo);
    std::vector<std::uint32_t>& first = places.first;
    std::vector<std::uint32_t>& rest = places.rest;
    const std::vector<std::uint32_t>& starts = places.starts;
    auto deal = [&](std::vector<std::uint32_t>& next, std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            from[next[BucketOf(names[i])]++] = static_cast<std::uint32_t>(i);
        }
    };
    RunInTwo(
        inTwo, [&] { deal(first, 0, half); }, [&] { deal(rest, half, count); });
    // Each bucket is sorted whole by one thread.
    const auto middle = static_cast<std::size_t>(
        std::lower_bound(starts.begin(), starts.end(), count / 2) - starts.begin());
    RunInTwo(
        inTwo, [&] { SortBuckets(names, starts, from, 0, middle); },
        [&] { SortBuckets(names, starts, from, middle, kBuckets); });
    return from;
}

} // namespace ervalun
