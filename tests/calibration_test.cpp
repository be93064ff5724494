#include "engine/triangulation_engine.h"
#include "tests/support/locale_guard.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

const char* const kExampleLines = "largeur 640\n"
                                  "hauteur 480\n"
                                  "ouest 1 30 0 O\n"
                                  "nord 48 10 0 N\n"
                                  "est 0 50 0 E\n"
                                  "sud 47 40 0 N\n";

// The example with some tokens replaced: each key is the 1-based token number.
std::string ExampleWith(std::initializer_list<std::pair<int, std::string>> changes) {
    std::vector<std::string> tokens{"largeur", "640",  "hauteur", "480", "ouest", "1",  "30",  "0",
                                    "O",       "nord", "48",      "10",  "0",     "N",  "est", "0",
                                    "50",      "0",    "E",       "sud", "47",    "40", "0",   "N"};
    for (const auto& [index, text] : changes) {
        tokens[static_cast<std::size_t>(index - 1)] = text;
    }
    std::string out;
    for (const auto& t : tokens) {
        out += t;
        out += ' ';
    }
    return out;
}

int Load(const std::string& text, MapCalibration& cal) {
    WriteFile("calibration.txt", text);
    TriangulationEngine engine;
    const int result = engine.LoadCalibration("calibration.txt", cal);
    EXPECT_EQ(result, engine.calibrationLoaded);
    return result;
}

int Load(const std::string& text) {
    MapCalibration cal;
    return Load(text, cal);
}

void ExpectExample(const MapCalibration& cal) {
    EXPECT_EQ(cal.imageWidth, 640);
    EXPECT_EQ(cal.imageHeight, 480);
    EXPECT_EQ(cal.topLeft.longitudeDegrees, 1.0);
    EXPECT_EQ(cal.topLeft.longitudeMinutes, 30.0);
    EXPECT_EQ(cal.topLeft.longitudeSeconds, 0.0);
    EXPECT_EQ(cal.topLeft.west, 1);
    EXPECT_EQ(cal.topLeft.latitudeDegrees, 48.0);
    EXPECT_EQ(cal.topLeft.latitudeMinutes, 10.0);
    EXPECT_EQ(cal.topLeft.south, 0);
    EXPECT_EQ(cal.bottomRight.longitudeDegrees, 0.0);
    EXPECT_EQ(cal.bottomRight.longitudeMinutes, 50.0);
    EXPECT_EQ(cal.bottomRight.west, 0);
    EXPECT_EQ(cal.bottomRight.latitudeDegrees, 47.0);
    EXPECT_EQ(cal.bottomRight.latitudeMinutes, 40.0);
    EXPECT_EQ(cal.bottomRight.south, 0);
}

} // namespace

TEST(Calibration, ExampleFileOneEntryPerLineOrAllOnOneLine) {
    ScopedWorkDir dir;
    MapCalibration perLine;
    EXPECT_EQ(Load(kExampleLines, perLine), 1);
    ExpectExample(perLine);

    MapCalibration oneLine;
    EXPECT_EQ(Load(ExampleWith({}), oneLine), 1);
    ExpectExample(oneLine);

    // Any white space separates; tokens after the 24th are never looked at.
    MapCalibration mixed;
    EXPECT_EQ(Load("\t largeur\r\n640\vhauteur\f480 ouest 1 30 0 O nord 48 10 0 N est 0 50 0 E "
                   "sud 47 40 0 N trailing nonsense nan 99999",
                   mixed),
              1);
    ExpectExample(mixed);

    // Labels are never looked at; south and west letters of the bottom-right corner.
    MapCalibration flags;
    EXPECT_EQ(Load(ExampleWith({{1, "w"},
                                {19, "O"},
                                {24, "S"},
                                {20, "S\xfc"
                                     "d"}}),
                   flags),
              1);
    EXPECT_EQ(flags.bottomRight.west, 1);
    EXPECT_EQ(flags.bottomRight.south, 1);
}

TEST(Calibration, BoundsOfSizesAndCoordinates) {
    ScopedWorkDir dir;
    MapCalibration cal;
    EXPECT_EQ(Load(ExampleWith({{2, "4096"}, {4, "0"}}), cal), 1);
    EXPECT_EQ(cal.imageWidth, 4096);
    EXPECT_EQ(cal.imageHeight, 0);
    EXPECT_EQ(Load(ExampleWith({{2, "4097"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{2, "-1"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{4, "4097"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{4, "-1"}})), 0);

    EXPECT_EQ(Load(ExampleWith({{6, "360"}, {13, "360"}, {23, "0"}})), 1);
    EXPECT_EQ(Load(ExampleWith({{6, "360.5"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{22, "-0.5"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{17, "1e10"}})), 0);

    // A value out of bounds is not stored, and reading goes on to the end.
    MapCalibration partial;
    partial.topLeft.longitudeDegrees = -7.0;
    EXPECT_EQ(Load(ExampleWith({{6, "400"}}), partial), 0);
    EXPECT_EQ(partial.topLeft.longitudeDegrees, -7.0);
    EXPECT_EQ(partial.bottomRight.latitudeDegrees, 47.0);

    // A size out of bounds stops the reading at once.
    MapCalibration stopped;
    EXPECT_EQ(Load(ExampleWith({{2, "5000"}}), stopped), 0);
    EXPECT_EQ(stopped.imageWidth, 0);
    EXPECT_EQ(stopped.imageHeight, 0);
}

TEST(Calibration, LettersMustBeExactCapitals) {
    ScopedWorkDir dir;
    EXPECT_EQ(Load(ExampleWith({{9, "e"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{9, "W"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{9, "Est"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{14, "E"}})), 0); // a longitude letter in a latitude's place
    EXPECT_EQ(Load(ExampleWith({{19, "N"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{24, "s"}})), 0);

    MapCalibration cal;
    cal.topLeft.west = 5;
    EXPECT_EQ(Load(ExampleWith({{9, "OO"}}), cal), 0);
    EXPECT_EQ(cal.topLeft.west, 5); // a wrong letter is not stored
}

TEST(Calibration, MalformedMissingAndOverlongTokens) {
    ScopedWorkDir dir;
    // Numbers must be whole tokens; NaN and infinities are never numbers here.
    for (const char* bad :
         {"640px", "abc", "6.4e2", "0x280", "", "+-640", "--640", "99999999999999999999"}) {
        EXPECT_EQ(Load(ExampleWith({{2, bad}})), 0) << bad;
    }
    for (const char* bad : {"1,5", "nan", "NaN", "inf", "-inf", "infinity", "1e999", "1.5.2", "1e",
                            "0x1p3", "+", "-", "."}) {
        EXPECT_EQ(Load(ExampleWith({{7, bad}})), 0) << bad;
    }
    // What stream extraction reads as numbers is read the same.
    MapCalibration cal;
    EXPECT_EQ(Load(ExampleWith({{2, "+640"},
                                {6, "+1"},
                                {7, "3e1"},
                                {8, ".5"},
                                {11, "48."},
                                {12, "1E1"},
                                {21, "-0"}}),
                   cal),
              1);
    EXPECT_EQ(cal.imageWidth, 640);
    EXPECT_EQ(cal.topLeft.longitudeDegrees, 1.0);
    EXPECT_EQ(cal.topLeft.longitudeMinutes, 30.0);
    EXPECT_EQ(cal.topLeft.longitudeSeconds, 0.5);
    EXPECT_EQ(cal.topLeft.latitudeDegrees, 48.0);
    EXPECT_EQ(cal.topLeft.latitudeMinutes, 10.0);

    // Ends after the first coordinate group, or in the middle of one.
    EXPECT_EQ(Load("largeur 640 hauteur 480 ouest 1 30 0 O"), 0);
    EXPECT_EQ(Load("largeur 640 hauteur 480 ouest 1 30"), 0);
    EXPECT_EQ(Load(""), 0);

    // A label of 255 characters is a label; one of 256 is not.
    EXPECT_EQ(Load(ExampleWith({{5, std::string(255, 'x')}})), 1);
    EXPECT_EQ(Load(ExampleWith({{5, std::string(256, 'x')}})), 0);
    EXPECT_EQ(Load(ExampleWith({{1, std::string(100000, 'x')}})), 0);
}

TEST(Calibration, MissingOrUnusableFileClearsTheFlag) {
    ScopedWorkDir dir;
    WriteFile("calibration.txt", kExampleLines);
    TriangulationEngine engine;
    MapCalibration cal;
    ASSERT_EQ(engine.LoadCalibration("calibration.txt", cal), 1);
    ASSERT_EQ(engine.calibrationLoaded, 1);

    EXPECT_EQ(engine.LoadCalibration("absent.txt", cal), 0);
    EXPECT_EQ(engine.calibrationLoaded, 0);
    EXPECT_FALSE(std::filesystem::exists("absent.txt")); // never created

    ASSERT_EQ(engine.LoadCalibration("calibration.txt", cal), 1);
    std::filesystem::create_directory("folder.txt");
    EXPECT_EQ(engine.LoadCalibration("folder.txt", cal), 0);
    EXPECT_EQ(engine.calibrationLoaded, 0);
}

TEST(Calibration, ReadsTheSameUnderAFrenchLocale) {
    ScopedWorkDir dir;
    testing_support::FrenchLocale fr;
    if (!fr.ok()) {
        GTEST_SKIP() << "fr_FR.UTF-8 locale not available; locale independence NOT checked";
    }
    ASSERT_TRUE(fr.WritesDecimalComma()) << "the French locale did not take effect";

    MapCalibration cal;
    EXPECT_EQ(Load(ExampleWith({{23, "7.25"}}), cal), 1);
    EXPECT_EQ(cal.bottomRight.latitudeSeconds, 7.25);
    ExpectExample(cal);
    EXPECT_EQ(Load(ExampleWith({{23, "7,25"}})), 0);
}

TEST(Calibration, UnderflowReadsAsZeroAndOverflowStaysRefused) {
    ScopedWorkDir dir;
    // Below the smallest double: zero, as stream extraction and the directory reader give it.
    MapCalibration cal;
    EXPECT_EQ(Load(ExampleWith({{8, "1e-400"}, {13, "-1e-400"}, {18, "0.001e-99999999999"}}), cal),
              1);
    EXPECT_EQ(cal.topLeft.longitudeSeconds, 0.0);
    EXPECT_EQ(cal.topLeft.latitudeSeconds, 0.0);
    EXPECT_EQ(cal.bottomRight.longitudeSeconds, 0.0);
    ExpectExample(cal);
    // A subnormal value is kept as the nearest double, not flushed.
    EXPECT_EQ(Load(ExampleWith({{23, "1e-320"}}), cal), 1);
    EXPECT_EQ(cal.bottomRight.latitudeSeconds, 1e-320);

    // Too large stays refused, and so does the underflowing text anywhere a whole token or an
    // integer is needed.
    for (const char* bad : {"1e400", "1e99999999999", "-1e400"}) {
        EXPECT_EQ(Load(ExampleWith({{7, bad}})), 0) << bad;
    }
    EXPECT_EQ(Load(ExampleWith({{7, "1e-400x"}})), 0);
    EXPECT_EQ(Load(ExampleWith({{2, "1e-400"}})), 0);
}
