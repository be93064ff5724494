#include "data/name_sort.h"

#include <cstring>
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

// Up to this many names every key is made in one pass over the names, in the order they lie in
// memory, which is quicker than one bucket at a time; the keys then take 6 MB at most. Longer
// lists keep to the memory of one bucket's keys.
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

// Sorts the buckets [first, last) of from, whose b-th bucket begins at starts[b]: through keys
// made one bucket at a time, or, when allKeys holds the keys of every bucket in its place, those.
void SortBuckets(const NameColumn& names, const std::vector<std::uint32_t>& starts,
                 std::vector<NameKey>& allKeys, std::vector<std::uint32_t>& from, std::size_t first,
                 std::size_t last) {
    std::vector<NameKey> keys;
    for (std::size_t b = first; b < last; ++b) {
        if (!allKeys.empty()) {
            NameKey* const begin = allKeys.data() + starts[b];
            NameKey* const end = allKeys.data() + starts[b + 1];
            std::sort(begin, end, KeyLess(names));
            for (const NameKey* key = begin; key != end; ++key) {
                from[starts[b] + static_cast<std::size_t>(key - begin)] = key->index;
            }
        } else if (starts[b + 1] - starts[b] >= 2) {
            SortSlice(names, from.data() + starts[b], from.data() + starts[b + 1], keys);
        }
    }
}

} // namespace

NameKey MakeNameKey(std::string_view name, std::uint32_t index) {
    NameKey key;
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
    std::vector<std::uint32_t> from(count);
    if (count < kBucketedNames) {
        std::iota(from.begin(), from.end(), std::uint32_t{0});
        std::vector<NameKey> keys;
        SortSlice(names, from.data(), from.data() + count, keys);
        return from;
    }
    // The buckets follow one another in the order of the names they hold (a shorter name is
    // zero-padded, as it comes before any longer one it begins); each is dealt its names in
    // the order of their indexes, or their keys.
    std::vector<std::uint32_t> starts(kBuckets + 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        ++starts[BucketOf(names[i]) + 1];
    }
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<NameKey> allKeys(count < kKeyedNames ? count : 0);
    {
        std::vector<std::uint32_t> next(starts.begin(), starts.end() - 1);
        for (std::size_t i = 0; i < count; ++i) {
            const std::string_view name = names[i];
            const auto index = static_cast<std::uint32_t>(i);
            const std::uint32_t place = next[BucketOf(name)]++;
            if (allKeys.empty()) {
                from[place] = index;
            } else {
                allKeys[place] = MakeNameKey(name, index);
            }
        }
    }
    if (count >= kParallelSortNames && std::thread::hardware_concurrency() >= 2) {
        // Each bucket is sorted whole by one thread, the first half of the names by one, the
        // rest by the other. A thread that cannot start leaves the work to this one.
        const auto middle = static_cast<std::size_t>(
            std::lower_bound(starts.begin(), starts.end(), count / 2) - starts.begin());
        try {
            std::thread other([&] { SortBuckets(names, starts, allKeys, from, 0, middle); });
            SortBuckets(names, starts, allKeys, from, middle, kBuckets);
            other.join();
            return from;
        } catch (const std::system_error&) {
        }
    }
    SortBuckets(names, starts, allKeys, from, 0, kBuckets);
    return from;
}

} // namespace ervalun
