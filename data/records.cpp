#include "data/records.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <thread>

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

// The bytes of the key's two words.
constexpr std::size_t kWordBytes = 8;
constexpr std::size_t kKeyBytes = 2 * kWordBytes;

// Below this many names one thread sorts faster than two can start, sort and merge.
constexpr std::size_t kParallelSortNames = 1 << 15;

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

class KeyLess {
public:
    explicit KeyLess(const std::vector<std::string_view>& names) : names_(names) {}

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
            const std::string_view a = names_[x.index];
            const std::string_view b = names_[y.index];
            const int c = a.substr(kKeyBytes).compare(b.substr(kKeyBytes));
            if (c != 0) {
                return c < 0;
            }
        } else if (x.length != y.length) {
            return x.length < y.length;
        }
        return x.index < y.index;
    }

private:
    const std::vector<std::string_view>& names_;
};

void SortInTwo(std::vector<NameKey>& keys, const KeyLess& less) {
    const auto middle = keys.begin() + static_cast<std::ptrdiff_t>(keys.size() / 2);
    std::thread first([&] { std::sort(keys.begin(), middle, less); });
    std::sort(middle, keys.end(), less);
    first.join();
    std::vector<NameKey> merged(keys.size());
    std::merge(keys.begin(), middle, middle, keys.end(), merged.begin(), less);
    keys.swap(merged);
}

Dms FromSignedDegrees(double degrees, double minutes, double seconds) {
    const bool negative = std::signbit(degrees);
    return {negative ? -degrees : degrees, minutes, seconds, negative ? 1 : 0};
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

void SortNameKeys(std::vector<NameKey>& keys, const std::vector<std::string_view>& names) {
    const KeyLess less(names);
    if (keys.size() >= kParallelSortNames && std::thread::hardware_concurrency() >= 2) {
        // Every key is distinct (the indexes differ), so two sorted halves merged give the
        // very order one sort gives. A thread that cannot start leaves the work to this one.
        try {
            SortInTwo(keys, less);
            return;
        } catch (const std::exception&) {
        }
    }
    std::sort(keys.begin(), keys.end(), less);
}

Dms LongitudeOf(const KnownPosition& entry) {
    return FromSignedDegrees(entry.longitudeDegrees, entry.longitudeMinutes,
                             entry.longitudeSeconds);
}

Dms LatitudeOf(const KnownPosition& entry) {
    return FromSignedDegrees(entry.latitudeDegrees, entry.latitudeMinutes, entry.latitudeSeconds);
}

} // namespace ervalun
