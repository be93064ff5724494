#include "ui/form/form_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

namespace {

using ervalun::FormatFormNumber;
using ervalun::FormNumberStatus;
using ervalun::ParseFormNumber;

FormNumberStatus Parse(const std::string& text, double& value) {
    return ParseFormNumber(text, value);
}

TEST(FormNumberParse, AcceptsDecimalNumbersWithBlanksAndTabsAround) {
    struct Case {
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"0", 0.0},           {"00", 0.0},      {"0.0", 0.0},     {"0.", 0.0},
        {"0e5", 0.0},         {"12", 12.0},     {"+12", 12.0},    {"12.5", 12.5},
        {".5", 0.5},          {"5.", 5.0},      {"1e2", 100.0},   {"1E+2", 100.0},
        {"2.5e-1", 0.25},     {"  45", 45.0},   {"\t45\t", 45.0}, {" \t 7.25 \t ", 7.25},
        {"360", 360.0},       {"360.0", 360.0}, {"75", 75.0},     {"3.6e2", 360.0},
        {"000012.500", 12.5}, {"0.1", 0.1},
    };
    for (const Case& c : cases) {
        double value = -1.0;
        EXPECT_EQ(Parse(c.text, value), FormNumberStatus::Ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.expected) << '"' << c.text << '"';
    }
}

TEST(FormNumberParse, RefusesTextsThatAreNotNumbersAndLeavesTheValue) {
    const char* const cases[] = {
        "",
        " ",
        "\t",
        "abc",
        "1a",
        "a1",
        "1 2",
        "1,5",
        "1.2.3",
        ".",
        "+",
        "-",
        "e5",
        "1e",
        "1e+",
        "--1",
        "+-1",
        "++1",
        "inf",
        "INF",
        "nan",
        "NaN",
        "infinity",
        "0x10",
        "0x1p3",
        "1\n",
        "\n1",
        "1\r",
        "\v1",
        "\f1",
        "1 e5",
        // A zero is a number only when its first character is the digit 0.
        ".0",
        "+0",
        "-0",
        "+0.0",
        "-0.0",
        " .0 ",
        ".0e3",
        // Too small for a double reads as zero, and begins with a 1.
        "1e-400",
    };
    for (const char* text : cases) {
        double value = 42.0;
        EXPECT_EQ(Parse(text, value), FormNumberStatus::NotANumber) << '"' << text << '"';
        EXPECT_EQ(value, 42.0) << '"' << text << '"';
    }
    // An embedded NUL is a character like any other.
    double value = 42.0;
    EXPECT_EQ(ParseFormNumber(std::string_view("1\0", 2), value), FormNumberStatus::NotANumber);
}

TEST(FormNumberParse, RefusesValuesOutsideZeroTo360) {
    const char* const cases[] = {"361",   "360.0000001", "-1",
                                 "-0.5",  "-360",        "1e3",
                                 "1e400", "-1e400",      "99999999999999999999999"};
    for (const char* text : cases) {
        double value = 42.0;
        EXPECT_EQ(Parse(text, value), FormNumberStatus::OutOfRange) << '"' << text << '"';
        EXPECT_EQ(value, 42.0) << '"' << text << '"';
    }
}

TEST(FormNumberFormat, ShortestGeneralNotationWithFifteenDigits) {
    EXPECT_EQ(FormatFormNumber(0.0), "0");
    EXPECT_EQ(FormatFormNumber(-0.0), "0");
    EXPECT_EQ(FormatFormNumber(0.5), "0.5");
    EXPECT_EQ(FormatFormNumber(48.0), "48");
    EXPECT_EQ(FormatFormNumber(360.0), "360");
    EXPECT_EQ(FormatFormNumber(0.1), "0.1");
    EXPECT_EQ(FormatFormNumber(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatFormNumber(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatFormNumber(123456.789012345678), "123456.789012346");
    EXPECT_EQ(FormatFormNumber(1e20), "1e+20");
    EXPECT_EQ(FormatFormNumber(1e15), "1e+15");
    EXPECT_EQ(FormatFormNumber(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatFormNumber(1e-5), "1e-05");
    EXPECT_EQ(FormatFormNumber(0.0001), "0.0001");
    EXPECT_EQ(FormatFormNumber(59.999999999999996), "60");
    EXPECT_EQ(FormatFormNumber(-2.5), "-2.5");
}

TEST(FormNumber, WhatIsShownReadsBackAsTheSameValue) {
    const double values[] = {0.0, 0.5, 12.345, 59.99999, 359.999999999999, 1e-7, 47.123456789012};
    for (double v : values) {
        double back = -1.0;
        ASSERT_EQ(ParseFormNumber(FormatFormNumber(v), back), FormNumberStatus::Ok) << v;
        // Fifteen significant digits: equal within the last shown digit.
        EXPECT_NEAR(back, v, std::abs(v) * 1e-14) << v;
    }
}

TEST(FormNumber, IgnoresTheProcessLocale) {
    const char* const frenchLocales[] = {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"};
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    bool french = false;
    for (const char* name : frenchLocales) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            french = true;
            break;
        }
    }
    double value = 0.0;
    const FormNumberStatus dot = ParseFormNumber("12.5", value);
    double commaValue = 0.0;
    const FormNumberStatus comma = ParseFormNumber("12,5", commaValue);
    const std::string shown = FormatFormNumber(0.25);
    std::setlocale(LC_ALL, previous.c_str());
    if (!french) {
        GTEST_SKIP() << "no French locale on this machine";
    }
    EXPECT_EQ(dot, FormNumberStatus::Ok);
    EXPECT_EQ(value, 12.5);
    EXPECT_EQ(comma, FormNumberStatus::NotANumber);
    EXPECT_EQ(shown, "0.25");
}

} // namespace
