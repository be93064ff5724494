// The 16-byte name of a directory entry keeps every byte of every name, inline or in a block,
// and no name made from another, by copy, move or assignment, changes with it.
#include "data/compact_name.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace {

using ervalun::CompactName;
using ervalun::NamePool;

std::string Bytes(std::size_t size, unsigned char first) {
    std::string text(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>(static_cast<unsigned char>(first + i * 7));
    }
    return text;
}

// Every way a name is made: inline (up to 15 bytes) or not, alone or from a pool.
const std::vector<std::string>& Texts() {
    static const std::vector<std::string> texts = {
        "",
        "A",
        std::string("\0b", 2),
        "Saint-Jean-de-M",                      // 15 bytes: the longest inline
        "Saint-Jean-de-Ma",                     // 16: the shortest in a block
        "\xC3\x89tang-du-Pr\xC3\xA9-Noir",      // UTF-8 accents, past 15
        std::string("\xFF\x80\x00\xC3\xA9", 5), // high and zero bytes inline
        Bytes(15, 0x80),
        Bytes(16, 0xF0),
        Bytes(254, 0x01), // the longest a directory holds
        Bytes(300, 0x90),
    };
    return texts;
}

void ExpectHolds(const CompactName& name, const std::string& text) {
    EXPECT_EQ(name.size(), text.size());
    EXPECT_EQ(std::string(name.data(), name.size()), text);
    EXPECT_EQ(name.str(), text);
    EXPECT_EQ(std::string_view(name), std::string_view(text));
    // Followed by a zero byte, also a 15-byte name whose last byte is the size's place.
    EXPECT_EQ(name.c_str()[text.size()], '\0');
}

TEST(CompactName, KeepsEveryByteAndStaysIndependentOfItsCopies) {
    NamePool pool;
    for (const std::string& text : Texts()) {
        SCOPED_TRACE(text.size());
        for (const bool pooled : {false, true}) {
            CompactName made = pooled ? pool.Make(text) : CompactName(text);
            ExpectHolds(made, text);

            CompactName copy(made);
            CompactName assigned("x");
            assigned = made;
            CompactName moved(std::move(copy));
            ExpectHolds(moved, text);
            ExpectHolds(copy, ""); // NOLINT(bugprone-use-after-move): a moved-from name is empty
            ExpectHolds(assigned, text);

            // Changing or ending one leaves the others as they were.
            made = "Z";
            ExpectHolds(made, "Z");
            ExpectHolds(moved, text);
            { CompactName gone(assigned); }
            assigned = std::string(text.size(), 'q');
            ExpectHolds(moved, text);
            ExpectHolds(assigned, std::string(text.size(), 'q'));
            moved = std::move(moved);
            ExpectHolds(moved, text);
            moved = moved;
            ExpectHolds(moved, text);
        }
    }
}

TEST(CompactName, PooledNamesOutliveThePoolAndOrderAsBytes) {
    std::vector<CompactName> names;
    {
        NamePool pool;
        // Enough long names to fill several of the pool's blocks.
        for (std::size_t i = 0; i < 20000; ++i) {
            names.push_back(pool.Make(Texts()[i % Texts().size()] + std::to_string(i)));
        }
    }
    for (std::size_t i = 0; i < names.size(); i += 997) {
        ExpectHolds(names[i], Texts()[i % Texts().size()] + std::to_string(i));
    }
    // Compared as unsigned bytes: a high byte after every ASCII one, a prefix first.
    const struct {
        std::string a, b;
    } ordered[] = {{"Z", "\xC3\x89"},
                   {"Saint-Jean-de-M", "Saint-Jean-de-Ma"},
                   {Bytes(254, 1), Bytes(254, 1) + "a"},
                   {std::string("\0", 1), "\x01"}};
    for (const auto& [a, b] : ordered) {
        EXPECT_LT(CompactName(a), CompactName(b));
        EXPECT_TRUE(CompactName(a) < std::string_view(b));
        EXPECT_NE(CompactName(a), CompactName(b));
        EXPECT_EQ(CompactName(a), a);
    }
}

} // namespace
