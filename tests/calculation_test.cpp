#include "engine/calculation.h"

#include "output/map_page.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

using testing_support::Lines;
using testing_support::ReadFile;
using testing_support::ScopedWorkDir;
using testing_support::WriteFile;

namespace {

const LocalDateTime kWhen{2002, 3, 6, 9, 5, 3};

// First point (0, 0) looking due north, second (1 E, 1 N) looking due west: they meet exactly
// at (0, 1).
CalculationInput RightAngle() {
    CalculationInput in;
    in.bearing1 = 0;
    in.lonDeg2 = 1;
    in.latDeg2 = 1;
    in.bearing2 = 270;
    return in;
}

// A 300 x 300 map from 1 W / 2 N to 2 E / 1 S: 100 pixels per degree both ways.
const char* const kCalibration = "largeur 300 hauteur 300 ouest 1 0 0 O nord 2 0 0 N "
                                 "est 2 0 0 E sud 1 0 0 S";

KnownPosition Entry(const std::string& name, double lon, double lat) {
    KnownPosition k;
    k.name = name;
    k.longitude = lon;
    k.latitude = lat;
    return k;
}

} // namespace

TEST(CalculationRun, ResultLettersNameLogAndPage) {
    ScopedWorkDir dir;
    WriteFile("calibration.txt", kCalibration);
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };

    const CalculationOutput out = RunCalculation(RightAngle(), engine);
    EXPECT_EQ(out.resLonDeg, 0.0);
    EXPECT_EQ(out.resLonMin, 0.0);
    EXPECT_EQ(out.resLonSec, 0.0);
    EXPECT_EQ(out.resLatDeg, 1.0);
    EXPECT_EQ(out.resLatMin, 0.0);
    EXPECT_EQ(out.resLatSec, 0.0);
    EXPECT_EQ(out.resLonHem, "E");
    EXPECT_EQ(out.resLatHem, "N");
    EXPECT_EQ(out.nearestName, "RESULTAT"); // no directory loaded

    EXPECT_EQ(ReadFile("ervalun.log"),
              "ID_OPERATEUR;06/03/2002;09:05:03;POSITION1;0.00 0.00 0.00 E;0.00 0.00 0.00 N;"
              "0.00;POSITION2;1.00 0.00 0.00 E;1.00 0.00 0.00 N;270.00;;0.00 0.00 0.00 E;"
              "1.00 0.00 0.00 N;0.00;IDs_PARTICIPANTS\n");
    // Markers: (0, 0) at 100, 200; (1, 1) at 200, 100; (0, 1) at 100, 100; less 25 each.
    EXPECT_EQ(ReadFile("map.html"),
              ervalun::FormatMapPage(300, 300, {{75, 175}, {175, 75}, {75, 75}}));
    EXPECT_EQ(engine.calibrationLoaded, 1);
}

TEST(CalculationRun, WestSouthResultAndDirectoryNames) {
    ScopedWorkDir dir;
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };
    engine.directory = {Entry("Croix", -0.5, -0.5), Entry("Puits", -1.0, -2.0)};
    engine.directoryLoaded = 1;
    Member op;
    op.name = "Alpha";
    engine.operators.push_back(op);

    // (0 30 O, 0) looking south and (1 O, 1 S) looking east meet at (0 30 O, 1 S).
    CalculationInput in;
    in.bearing1 = 180;
    in.lonDeg2 = 1;
    in.lonHem2 = 1;
    in.latDeg2 = 1;
    in.latHem2 = 1;
    in.bearing2 = 90;
    in.lonDeg1 = 0.5;
    in.lonHem1 = 1;
    in.selection1 = 0;
    in.selection2 = 1;
    const CalculationOutput out = RunCalculation(in, engine);
    EXPECT_EQ(out.resLonHem, "O");
    EXPECT_EQ(out.resLatHem, "S");
    EXPECT_EQ(out.resLonDeg, 0.0);
    EXPECT_EQ(out.resLonMin, 30.0);
    EXPECT_EQ(out.resLatDeg, 1.0);
    EXPECT_GE(out.resLonMin, 0.0);
    EXPECT_GE(out.resLonSec, 0.0);
    EXPECT_EQ(out.nearestName, "Croix"); // (-0.5, -0.5) is 0.5 away, Puits 1.1
    EXPECT_EQ(engine.result.longitude, -0.5);
    EXPECT_EQ(engine.result.latitude, -1.0);

    EXPECT_EQ(ReadFile("ervalun.log"),
              "Alpha;06/03/2002;09:05:03;Croix;0.50 0.00 0.00 O;0.00 0.00 0.00 N;180.00;Puits;"
              "1.00 0.00 0.00 O;1.00 0.00 0.00 S;90.00;;0.00 30.00 0.00 O;1.00 0.00 0.00 S;0.00;"
              "IDs_PARTICIPANTS\n");
    EXPECT_FALSE(std::filesystem::exists("map.html"));
}

TEST(CalculationRun, NoCalibrationLeavesTheOldPageUntouched) {
    ScopedWorkDir dir;
    const std::string oldPage = "<html>earlier page \xe9t\xe9</html>\r\n";
    WriteFile("map.html", oldPage);
    WriteFile("ervalun.log", "earlier line\n");
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };
    RunCalculation(RightAngle(), engine);
    EXPECT_EQ(ReadFile("map.html"), oldPage);
    EXPECT_EQ(Lines(ReadFile("ervalun.log")).size(), 2u);
    EXPECT_EQ(engine.calibrationLoaded, 0);

    // An invalid calibration and one whose map is refused behave alike.
    WriteFile("calibration.txt", "largeur 300 hauteur 300 ouest 1 0 0 W nord 2 0 0 N "
                                 "est 2 0 0 E sud 1 0 0 S");
    RunCalculation(RightAngle(), engine);
    EXPECT_EQ(ReadFile("map.html"), oldPage);
    WriteFile("calibration.txt", "largeur 300 hauteur 300 ouest 2 0 0 E nord 2 0 0 N "
                                 "est 1 0 0 O sud 1 0 0 S");
    RunCalculation(RightAngle(), engine);
    EXPECT_EQ(engine.calibrationLoaded, 1);
    EXPECT_EQ(ReadFile("map.html"), oldPage);
    EXPECT_EQ(Lines(ReadFile("ervalun.log")).size(), 4u);
}

TEST(CalculationRun, UnwritableLogStillWritesThePage) {
    ScopedWorkDir dir;
    std::filesystem::create_directory("ervalun.log");
    WriteFile("calibration.txt", kCalibration);
    TriangulationEngine engine;
    const CalculationOutput out = RunCalculation(RightAngle(), engine);
    EXPECT_EQ(out.resLatDeg, 1.0);
    EXPECT_TRUE(std::filesystem::is_directory("ervalun.log"));
    EXPECT_EQ(ReadFile("map.html"),
              ervalun::FormatMapPage(300, 300, {{75, 175}, {175, 75}, {75, 75}}));
}

TEST(CalculationRun, TwoRunsInARowGiveTheSameResultAndTwoLines) {
    ScopedWorkDir dir;
    WriteFile("calibration.txt", kCalibration);
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };
    engine.directory = {Entry("Croix", 0, 0), Entry("Puits", 1, 1)};
    engine.directoryLoaded = 1;

    // (0, 0) at 45 and (2, 0) at 315 cross near (1, 1), just short of it.
    CalculationInput in;
    in.bearing1 = 45;
    in.lonDeg2 = 2;
    in.bearing2 = 315;
    in.selection1 = 0;
    const CalculationOutput first = RunCalculation(in, engine);
    const std::string page = ReadFile("map.html");
    // The dialog clears both selections after a run.
    in.selection1 = -1;
    const CalculationOutput second = RunCalculation(in, engine);

    EXPECT_EQ(first.resLonDeg, 0.0);
    EXPECT_EQ(first.resLonMin, 59.0);
    EXPECT_GT(first.resLonSec, 59.99);
    EXPECT_LT(first.resLonSec, 60.0);
    EXPECT_EQ(first.nearestName, "Puits");
    for (auto [a, b] : {std::pair{first.resLonDeg, second.resLonDeg},
                        {first.resLonMin, second.resLonMin},
                        {first.resLonSec, second.resLonSec},
                        {first.resLatDeg, second.resLatDeg},
                        {first.resLatMin, second.resLatMin},
                        {first.resLatSec, second.resLatSec}}) {
        EXPECT_EQ(a, b);
    }
    EXPECT_EQ(first.resLonHem, second.resLonHem);
    EXPECT_EQ(first.resLatHem, second.resLatHem);
    EXPECT_EQ(first.nearestName, second.nearestName);
    EXPECT_EQ(ReadFile("map.html"), page);

    const std::vector<std::string> lines = Lines(ReadFile("ervalun.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("ID_OPERATEUR;06/03/2002;09:05:03;Croix;0.00 0.00 0.00 E;", 0), 0u);
    EXPECT_EQ(lines[1].rfind("ID_OPERATEUR;06/03/2002;09:05:03;POSITION1;0.00 0.00 0.00 E;", 0),
              0u);
    EXPECT_NE(lines[1].find(";45.00;POSITION2;2.00 0.00 0.00 E;"), std::string::npos);
    EXPECT_EQ(lines[0].substr(lines[0].find(";0.00 0.00 0.00 E;0.00 0.00 0.00 N;45.00;")),
              lines[1].substr(lines[1].find(";0.00 0.00 0.00 E;0.00 0.00 0.00 N;45.00;")));
}

TEST(CalculationRun, ResultBeyondThirtyTwoBitRange) {
    ScopedWorkDir dir;
    WriteFile("calibration.txt", kCalibration);
    TriangulationEngine engine;
    engine.clock = [] { return kWhen; };

    // Nearly parallel bearings from points 360 degrees apart meet billions of degrees away.
    CalculationInput in;
    in.bearing1 = 5;
    in.lonDeg2 = 360;
    in.bearing2 = 5.0000006;
    const CalculationOutput out = RunCalculation(in, engine);
    ASSERT_TRUE(std::isfinite(engine.result.longitude));
    EXPECT_LT(engine.result.longitude, -2147483648.0);
    EXPECT_LT(engine.result.latitude, -2147483648.0);
    EXPECT_EQ(out.resLonHem, "O");
    EXPECT_EQ(out.resLatHem, "S");
    EXPECT_GT(out.resLonDeg, 2147483648.0);
    EXPECT_EQ(out.resLonDeg, std::trunc(out.resLonDeg));
    EXPECT_GE(out.resLonMin, 0.0);
    EXPECT_LT(out.resLonMin, 60.0);

    // The log writes the huge magnitudes in full; the page saturates the result's offsets.
    const std::string log = ReadFile("ervalun.log");
    const std::string degrees = std::to_string(static_cast<long long>(out.resLonDeg));
    EXPECT_NE(log.find(";5.00;;" + degrees + ".00 "), std::string::npos) << log;
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    EXPECT_EQ(ReadFile("map.html"),
              ervalun::FormatMapPage(300, 300, {{75, 175}, {36075, 175}, {kMin, kMax - 25}}));
}
