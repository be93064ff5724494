// The scanner under every number reader, and the whole-word grammar on top of it that the
// calibration file and the command line share.
#include "data/number_text.h"
#include "data/whole_number.h"
#include "tests/support/locale_guard.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace ervalun;

namespace {

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What the C library reads from the whole text, in the C locale.
double CValue(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

TEST(NumberText, ScanFindsTheNumberItsEndAndItsOrder) {
    const std::string tiny = "0." + std::string(400, '0') + "1e400";
    struct Case {
        std::string text;
        bool found;
        std::size_t end;
        bool significant;
        long long order; // for a saturated exponent, the least it may be
    };
    const Case cases[] = {
        {"", false, 0, false, 0},
        {"+", false, 0, false, 0},
        {"-.e5", false, 0, false, 0},
        {"inf", false, 0, false, 0},
        {"-.5x", true, 3, true, -1},
        {"12.5e3rest", true, 6, true, 4},
        {"7e", true, 1, true, 0},
        {"7e+", true, 1, true, 0},
        {"7E-2", true, 4, true, -2},
        {"00120", true, 5, true, 2},
        {"0.0012", true, 6, true, -3},
        {"0.000e999", true, 9, false, 0},
        {"1.2.3", true, 3, true, 0},
        {"0x10", true, 1, false, 0},
        {tiny, true, tiny.size(), true, -1},
        // The exponent saturates, far beyond a double, instead of overflowing.
        {"1e99999999999999999999999", true, 25, true, 1'000'000'000'000'000LL},
    };
    for (const Case& c : cases) {
        const DecimalText scanned = ScanDecimal(c.text);
        EXPECT_EQ(scanned.found, c.found) << c.text;
        if (!c.found) {
            continue;
        }
        EXPECT_EQ(scanned.negative, c.text[0] == '-') << c.text;
        EXPECT_EQ(scanned.end, c.end) << c.text;
        EXPECT_EQ(scanned.significant, c.significant) << c.text;
        if (c.significant && c.order > 1000) {
            EXPECT_GE(scanned.order, c.order) << c.text;
        } else if (c.significant) {
            EXPECT_EQ(scanned.order, c.order) << c.text;
        }
    }
}

TEST(NumberText, ValueIsTheCLibrarysAndOutOfRangeKeepsItsSign) {
    testing_support::ScopedLocale locale({"C"});
    struct Case {
        std::string text;
        DecimalRange range;
    };
    const Case cases[] = {
        {"0.1", DecimalRange::Within},
        {"-2.5e-1", DecimalRange::Within},
        {"0e99999", DecimalRange::Within},
        {"-0", DecimalRange::Within},
        {"4.9e-324", DecimalRange::Within},
        {"1.7976931348623157e308", DecimalRange::Within},
        {"0." + std::string(400, '0') + "1e400", DecimalRange::Within},
        {"1e400", DecimalRange::TooLarge},
        {"-1e400", DecimalRange::TooLarge},
        {std::string(400, '9'), DecimalRange::TooLarge},
        {"1e-400", DecimalRange::TooSmall},
        {"-1e-400", DecimalRange::TooSmall},
        {"-" + std::string(400, '0') + "1e-800", DecimalRange::TooSmall},
    };
    for (const Case& c : cases) {
        const DecimalText scanned = ScanDecimal(c.text);
        ASSERT_TRUE(scanned.found) << c.text;
        DecimalRange range = DecimalRange::Within;
        const double value = DecimalValue(c.text, scanned, range);
        EXPECT_EQ(range, c.range) << c.text;
        // The C library gives an infinity or a zero of the sign out of range too.
        EXPECT_TRUE(SameBits(value, CValue(c.text))) << c.text << " " << value;
    }
}

TEST(NumberText, ShortDecimalStopsWhereTheGeneralWayMustTakeOver) {
    struct Case {
        std::string text;
        std::size_t end; // 0: none
    };
    const Case cases[] = {
        {"45", 2},
        {"30.5 N", 4},
        {"7.", 2},
        {".5", 2},
        {"1.2.3", 3},
        {"12e3", 2},
        {"-1", 0},
        {".", 0},
        {"", 0},
        {"123456789.012345", 16},
        {"1234567890123456", 0},
        {"0.00000000000001x", 16},
        {"0.000000000000001", 0},
    };
    for (const Case& c : cases) {
        const char* first = c.text.data();
        double value = -1.0;
        const char* end = ScanShortDecimal(first, first + c.text.size(), value);
        if (c.end == 0) {
            EXPECT_EQ(end, nullptr) << c.text;
            continue;
        }
        ASSERT_EQ(end, first + c.end) << c.text;
        double expected = 0.0;
        std::from_chars(first, end, expected);
        EXPECT_TRUE(SameBits(value, expected)) << c.text;
    }
}

TEST(WholeNumber, TheWholeWordIsTheNumber) {
    testing_support::ScopedLocale locale({"C"});
    struct Case {
        std::string word;
        bool real;
        bool whole;
    };
    const Case cases[] = {
        {"+1.5", true, false},    {".5", true, false},         {"5.", true, false},
        {"-1e-400", true, false}, {"+1e5", true, false},       {"+42", true, true},
        {"-0", true, true},       {"2147483648", true, false}, {"-2147483648", true, true},
        {"", false, false},       {"+", false, false},         {"+-1", false, false},
        {"++1", false, false},    {"-+1", false, false},       {"1e", false, false},
        {" 1", false, false},     {"1 ", false, false},        {"inf", false, false},
        {"nan", false, false},    {"1e400", false, false},     {"0x10", false, false},
        {"30,5", false, false},
    };
    for (const Case& c : cases) {
        double real = 99.0;
        EXPECT_EQ(ParseWholeReal(c.word, real), c.real) << c.word;
        EXPECT_TRUE(SameBits(real, c.real ? CValue(c.word) : 99.0)) << c.word;
        int whole = 99;
        EXPECT_EQ(ParseWholeInt(c.word, whole), c.whole) << c.word;
        EXPECT_EQ(whole, c.whole ? std::atoi(c.word.c_str()) : 99) << c.word;
    }
}
