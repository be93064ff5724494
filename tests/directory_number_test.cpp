// The number fields of the position directory: the longest decimal beginning of a token,
// whatever the process locale.
#include "data/directory_number.h"
#include "data/position_directory.h"
#include "tests/support/locale_guard.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

using ervalun::ParseDirectoryNumber;
using testing_support::FrenchLocale;
using testing_support::ScopedLocale;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

TEST(DirectoryNumber, LongestDecimalPrefix) {
    EXPECT_EQ(ParseDirectoryNumber("30.5"), 30.5);
    EXPECT_EQ(ParseDirectoryNumber("30,5"), 30.0);
    EXPECT_EQ(ParseDirectoryNumber("+.5"), 0.5);
    EXPECT_EQ(ParseDirectoryNumber("7."), 7.0);
    EXPECT_EQ(ParseDirectoryNumber("-12.25xyz"), -12.25);
    EXPECT_EQ(ParseDirectoryNumber("1.2.3"), 1.2);
    EXPECT_EQ(ParseDirectoryNumber("2.5e2"), 250.0);
    EXPECT_EQ(ParseDirectoryNumber("2.5E-1"), 0.25);
    EXPECT_EQ(ParseDirectoryNumber("1.e1"), 10.0);
    // An exponent without digits is not part of the number.
    EXPECT_EQ(ParseDirectoryNumber("3e"), 3.0);
    EXPECT_EQ(ParseDirectoryNumber("3e+"), 3.0);
    EXPECT_EQ(ParseDirectoryNumber("3E-x"), 3.0);
    // Only tab, vertical tab, form feed and carriage return are skipped in front.
    EXPECT_EQ(ParseDirectoryNumber("\t\v\f\r42"), 42.0);
    EXPECT_EQ(ParseDirectoryNumber(" 42"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("\n42"), 0.0);
    // A long mantissa is rounded correctly.
    EXPECT_EQ(ParseDirectoryNumber("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_EQ(ParseDirectoryNumber("359.99999999999999999999999"), 360.0);
}

TEST(DirectoryNumber, NothingElseIsANumber) {
    for (const char* text : {"", "-", "+", ".", "-.", ".e5", "e5", "abc", "N", "inf", "-inf", "nan",
                             "infinity", "\t"}) {
        EXPECT_EQ(ParseDirectoryNumber(text), 0.0) << text;
    }
    // No hexadecimal: "0x10" is the number 0 followed by text.
    EXPECT_EQ(ParseDirectoryNumber("0x10"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("0x1p3"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("12x"), 12.0);
    EXPECT_EQ(ParseDirectoryNumber(std::string_view("5\0"
                                                    "7",
                                                    3)),
              5.0);
}

TEST(DirectoryNumber, OverflowIsOutOfRangeAndUnderflowIsZero) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ParseDirectoryNumber("1e400"), inf);
    EXPECT_EQ(ParseDirectoryNumber("-1e400"), -inf);
    EXPECT_EQ(ParseDirectoryNumber("1e99999999999999999999"), inf);
    EXPECT_EQ(ParseDirectoryNumber("0.0001e309"), 1e305);
    EXPECT_EQ(ParseDirectoryNumber(std::string(400, '9')), inf);
    EXPECT_EQ(ParseDirectoryNumber("1e-400"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("-1e-99999999999999999999"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("0e99999"), 0.0);
    EXPECT_EQ(ParseDirectoryNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
}

TEST(DirectoryNumber, AgreesWithTheCLibraryOnDecimalText) {
    // Over an alphabet without the forms the C library reads and the directory does not
    // (hexadecimal, inf, nan, leading spaces), both must give the same bits.
    ScopedLocale locale({"C"});
    std::mt19937 rng(20240611);
    auto check = [&rng](const std::string& alphabet, int maxLength, int count) {
        std::uniform_int_distribution<int> length(0, maxLength);
        std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
        for (int i = 0; i < count; ++i) {
            std::string token;
            const int n = length(rng);
            for (int k = 0; k < n; ++k) {
                token.push_back(alphabet[pick(rng)]);
            }
            const double expected = std::strtod(token.c_str(), nullptr);
            const double actual = ParseDirectoryNumber(token);
            ASSERT_EQ(std::memcmp(&expected, &actual, sizeof expected), 0)
                << "[" << token << "] " << expected << " vs " << actual;
        }
    };
    check("0123456789..eE+-a\t", 14, 100000);
    // Long runs of digits, around the length where short fields take a quicker road.
    check("0123456789012345678901234567890123456789.", 24, 50000);
    check("0123456789000000000000.e-", 40, 50000);
}

TEST(DirectoryNumber, ReadTheSameUnderAFrenchLocale) {
    FrenchLocale locale;
    if (!locale.ok()) {
        GTEST_SKIP() << "Locale fr_FR.UTF-8 absente : vérification sous locale française sautée";
    }
    EXPECT_EQ(ParseDirectoryNumber("30.5"), 30.5);
    EXPECT_EQ(ParseDirectoryNumber("30,5"), 30.0);
    EXPECT_EQ(ParseDirectoryNumber("2.5e-1"), 0.25);

    ScopedWorkDir dir;
    WriteFile("ervalun.txt", "Refuge 45 12 30.5 N 6 5 0 E\nDemi 0.5 12,75 1.25 N 6.5 0 0 E\n");
    std::vector<KnownPosition> list;
    std::optional<ervalun::DirectoryMistake> mistake;
    EXPECT_EQ(ervalun::ReadDirectory("ervalun.txt", list, mistake), ervalun::ReadStatus::Loaded);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].latitudeSeconds, 30.5);
    EXPECT_EQ(list[0].latitude, (45.0 + 12.0 / 60) + 30.5 / 3600);
    EXPECT_EQ(list[1].latitudeDegrees, 0.5);
    EXPECT_EQ(list[1].latitudeMinutes, 12.0);
    EXPECT_EQ(list[1].latitudeSeconds, 1.25);
    EXPECT_EQ(list[1].longitudeDegrees, 6.5);
}
