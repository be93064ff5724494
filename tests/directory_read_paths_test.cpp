// The directory reader takes the usual fields where they lie in its chunk and any other token,
// or one cut by a chunk's end, whole: both roads must give the same list, bit for bit.
#include "data/position_directory.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

struct Read {
    ervalun::ReadStatus status = ervalun::ReadStatus::Absent;
    std::vector<KnownPosition> list;
    std::optional<ervalun::DirectoryMistake> mistake;
};

Read ReadWithChunk(std::size_t chunk) {
    Read r;
    r.status = ervalun::ReadDirectory("ervalun.txt", r.list, r.mistake, chunk);
    return r;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSame(const Read& a, const Read& b) {
    ASSERT_EQ(a.status, b.status);
    ASSERT_EQ(a.list.size(), b.list.size());
    for (std::size_t i = 0; i < a.list.size(); ++i) {
        const KnownPosition& x = a.list[i];
        const KnownPosition& y = b.list[i];
        ASSERT_EQ(x.name, y.name) << i;
        const double xs[] = {x.latitude,         x.longitude,        x.latitudeDegrees,
                             x.latitudeMinutes,  x.latitudeSeconds,  x.longitudeDegrees,
                             x.longitudeMinutes, x.longitudeSeconds, x.distance};
        const double ys[] = {y.latitude,         y.longitude,        y.latitudeDegrees,
                             y.latitudeMinutes,  y.latitudeSeconds,  y.longitudeDegrees,
                             y.longitudeMinutes, y.longitudeSeconds, y.distance};
        for (std::size_t k = 0; k < std::size(xs); ++k) {
            ASSERT_TRUE(SameBits(xs[k], ys[k])) << "entry " << i << " field " << k;
        }
    }
    ASSERT_EQ(a.mistake.has_value(), b.mistake.has_value());
    if (a.mistake) {
        EXPECT_EQ(a.mistake->line, b.mistake->line);
        EXPECT_EQ(a.mistake->token, b.mistake->token);
        EXPECT_EQ(a.mistake->longitude, b.mistake->longitude);
    }
}

// A field as files hold it: a name, a number or a hemisphere letter.
std::string UsualField(int field, std::mt19937& rng) {
    std::uniform_int_distribution<int> value(0, 359);
    std::uniform_int_distribution<int> digit(0, 9);
    if (field == 0) {
        std::string name = digit(rng) < 3 ? "Col-du-" : "Pr\xC3\xA9-";
        for (int n = digit(rng); n >= 0; --n) {
            name += static_cast<char>('a' + value(rng) % 26);
        }
        return name;
    }
    if (field == 4) {
        return digit(rng) < 4 ? "S" : "N";
    }
    if (field == 8) {
        return digit(rng) < 4 ? "O" : "E";
    }
    std::string number = std::to_string(value(rng) % 90);
    if (digit(rng) < 4) {
        number += '.';
        for (int d = digit(rng) % 4; d >= 0; --d) {
            number += static_cast<char>('0' + digit(rng));
        }
    }
    return number;
}

// What only hand-edited files hold: each must read the same by either road.
std::string OddField(std::mt19937& rng) {
    static const std::vector<std::string> odd = {"W",
                                                 "s",
                                                 "-0",
                                                 "+3",
                                                 "2.5e-1",
                                                 "1e1x",
                                                 "30,5",
                                                 "\t12",
                                                 "\r7.5",
                                                 "7.",
                                                 ".5",
                                                 "-.5",
                                                 "12x",
                                                 "0x10",
                                                 "1.2.3",
                                                 "abc",
                                                 "Re\rfuge",
                                                 "\xC9mile",
                                                 "0000000000000012.5",
                                                 "359.99999999999999999",
                                                 "1234567890.12345",
                                                 "123456789012345",
                                                 "1234567890123456",
                                                 "0.000000000000001",
                                                 "1e2",
                                                 "36O"};
    std::uniform_int_distribution<std::size_t> pick(0, odd.size() - 1);
    return odd[pick(rng)];
}

std::string RandomDelimiters(std::mt19937& rng) {
    static const char* const runs[] = {" ", " ", " ", " ", "\n", "\r\n", "  ", " \n ", "\n\n"};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(runs) - 1);
    return runs[pick(rng)];
}

} // namespace

TEST(DirectoryReadPaths, ChunkCutsChangeNothing) {
    ScopedWorkDir dir;
    std::mt19937 rng(1515);
    std::uniform_int_distribution<int> records(0, 80);
    std::uniform_int_distribution<int> percent(0, 99);
    std::size_t entries = 0;
    for (int round = 0; round < 60; ++round) {
        std::string text = round % 3 == 0 ? RandomDelimiters(rng) : "";
        for (int n = records(rng); n > 0; --n) {
            for (int field = 0; field < 9; ++field) {
                text += percent(rng) < 3 ? OddField(rng) : UsualField(field, rng);
                text += RandomDelimiters(rng);
            }
        }
        // Some files end inside a token, without their last line feed, or on a number out of
        // range.
        if (round % 4 == 0) {
            text += UsualField(0, rng);
        } else if (round % 4 == 1) {
            text += percent(rng) < 50 ? "361 " : "1e400 ";
            text += UsualField(0, rng);
        }
        WriteFile("ervalun.txt", text);
        const Read whole = ReadWithChunk(0);
        entries += whole.list.size();
        for (const std::size_t chunk : {2, 3, 5, 8, 13, 64, 300}) {
            SCOPED_TRACE("round " + std::to_string(round) + ", chunk " + std::to_string(chunk));
            ExpectSame(whole, ReadWithChunk(chunk));
        }
    }
    // The files must have made entries, or little was compared.
    EXPECT_GT(entries, 500u);
}

TEST(DirectoryReadPaths, ShortDecimalsReadAsFromChars) {
    // Every number field read in place must hold the correctly rounded value of its text, as
    // std::from_chars gives it, around the 15 digits up to which the quick road is taken.
    ScopedWorkDir dir;
    std::mt19937 rng(36015);
    std::uniform_int_distribution<int> whole(0, 359);
    std::uniform_int_distribution<int> fraction(0, 18);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> zeros(0, 3);
    std::vector<std::string> numbers;
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        text += "P" + std::to_string(i);
        for (int field = 0; field < 6; ++field) {
            std::string number(static_cast<std::size_t>(zeros(rng) == 0 ? 1 : 0), '0');
            number += std::to_string(whole(rng));
            const int f = fraction(rng);
            if (f > 0) {
                number += '.';
                for (int d = 1; d < f; ++d) {
                    number += static_cast<char>('0' + digit(rng));
                }
            }
            numbers.push_back(number);
            text += ' ' + number + (field == 2 ? " N" : "");
        }
        text += " E\n";
    }
    WriteFile("ervalun.txt", text);
    const Read r = ReadWithChunk(0);
    ASSERT_EQ(r.status, ervalun::ReadStatus::Loaded);
    ASSERT_EQ(r.list.size(), 20000u);
    for (std::size_t i = 0; i < r.list.size(); ++i) {
        const KnownPosition& e = r.list[i];
        const double read[] = {e.latitudeDegrees,  e.latitudeMinutes,  e.latitudeSeconds,
                               e.longitudeDegrees, e.longitudeMinutes, e.longitudeSeconds};
        for (std::size_t field = 0; field < 6; ++field) {
            const std::string& number = numbers[i * 6 + field];
            double expected = 0.0;
            std::from_chars(number.data(), number.data() + number.size(), expected);
            ASSERT_TRUE(SameBits(read[field], expected))
                << number << " read as " << read[field] << ", not " << expected;
        }
    }
}
