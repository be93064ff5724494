// The sort by name through buckets and keys gives the stable byte order of NameLess, whatever
// way the names fall into the buckets and however the buckets are shared between threads.
#include "data/name_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using NameMaker = std::function<std::string(std::mt19937&, int)>;

std::string Pick(std::mt19937& rng, const std::vector<std::string>& parts) {
    return parts[std::uniform_int_distribution<std::size_t>(0, parts.size() - 1)(rng)];
}

std::string RandomBytes(std::mt19937& rng, int most) {
    std::string name(std::uniform_int_distribution<std::size_t>(0, std::size_t(most))(rng), '\0');
    for (char& c : name) {
        // Zero and high bytes included; a few values only, so that names repeat.
        c = "\0\x01"
            "AZaz\xC3\xFF"[std::uniform_int_distribution<int>(0, 7)(rng)];
    }
    return name;
}

// Place names as a directory holds them: shared beginnings, accents, repeats.
std::string PlaceName(std::mt19937& rng, int) {
    static const std::vector<std::string> first = {
        "Saint-", "Sainte-", "Col-du-", "Le ", "La ", "\xC3\x89tang-", "Ch\xC3\xA2teau-", "Mont"};
    static const std::vector<std::string> rest = {
        "Jean", "Jean-de-Maurienne", "G\xC3\xAEte", "Pr\xC3\xA9s", "Bois", "", "Bois-Noir"};
    return Pick(rng, first) + Pick(rng, rest) + Pick(rng, rest);
}

struct Case {
    const char* what;
    int count;
    NameMaker name;
};

template <typename Record> void ExpectStableByteOrder(const Case& c, std::vector<Record> list) {
    std::vector<Record> expected = list;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Record& a, const Record& b) { return NameLess(a.name, b.name); });
    SortByName(list);
    ASSERT_EQ(list.size(), expected.size()) << c.what;
    for (std::size_t i = 0; i < list.size(); ++i) {
        // The names and, for equal names, the records themselves, in their file order.
        ASSERT_EQ(list[i].name, expected[i].name) << c.what << ", place " << i;
        if constexpr (std::is_same_v<Record, Member>) {
            ASSERT_EQ(list[i].role, expected[i].role) << c.what << ", place " << i;
        } else {
            ASSERT_EQ(list[i].latitude, expected[i].latitude) << c.what << ", place " << i;
        }
    }
}

TEST(NameSort, BucketsAndThreadsKeepTheStableByteOrder) {
    const Case cases[] = {
        {"few names, sorted in one go", 4095, RandomBytes},
        {"as many as start the buckets", 4096, RandomBytes},
        {"one bucket holds them all, on two threads' worth", 40000,
         [](std::mt19937& rng, int) { return "Saint-" + RandomBytes(rng, 12); }},
        {"half the names begin with A, half with B: the threads split between them", 40000,
         [](std::mt19937& rng, int i) { return (i % 2 ? "A" : "B") + RandomBytes(rng, 3); }},
        {"short and empty names, zero bytes, every bucket", 50000,
         [](std::mt19937& rng, int) { return RandomBytes(rng, 3); }},
        {"place names", 60000, PlaceName},
    };
    for (const Case& c : cases) {
        std::mt19937 rng(static_cast<unsigned>(c.count));
        std::vector<Member> members(static_cast<std::size_t>(c.count));
        std::vector<KnownPosition> positions(members.size());
        for (int i = 0; i < c.count; ++i) {
            const auto at = static_cast<std::size_t>(i);
            members[at].name = c.name(rng, i);
            members[at].role = i;
            positions[at].name = members[at].name;
            positions[at].latitude = i;
        }
        ExpectStableByteOrder(c, std::move(members));
        ExpectStableByteOrder(c, std::move(positions));
    }
}

} // namespace
