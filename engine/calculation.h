#pragma once

#include "engine/triangulation_engine.h"

#include <string>

// The form's values that one calculation reads. Hemisphere indexes are the solver's flags
// (0 "E"/"N", 1 "O"/"S"); the selection indexes of the two position lists, which are indexes
// into the directory, name the points in the log (-1: none).
struct CalculationInput {
    double lonDeg1 = 0.0, lonMin1 = 0.0, lonSec1 = 0.0;
    int lonHem1 = 0;
    double latDeg1 = 0.0, latMin1 = 0.0, latSec1 = 0.0;
    int latHem1 = 0;
    double bearing1 = 0.0;
    double lonDeg2 = 0.0, lonMin2 = 0.0, lonSec2 = 0.0;
    int lonHem2 = 0;
    double latDeg2 = 0.0, latMin2 = 0.0, latSec2 = 0.0;
    int latHem2 = 0;
    double bearing2 = 0.0;
    int selection1 = -1;
    int selection2 = -1;
};

// What one calculation gives back to the form.
struct CalculationOutput {
    double resLonDeg = 0.0, resLonMin = 0.0, resLonSec = 0.0;
    double resLatDeg = 0.0, resLatMin = 0.0, resLatSec = 0.0;
    std::string resLonHem = "E";
    std::string resLatHem = "N";
    std::string nearestName;
};

namespace ervalun {

// The files of the program, all in the current directory.
inline constexpr const char* kLogFileName = "ervalun.log";
inline constexpr const char* kCalibrationFileName = "calibration.txt";
inline constexpr const char* kMapPageFileName = "map.html";
inline constexpr const char* kDirectoryFileName = "ervalun.txt";
inline constexpr const char* kRosterFileName = "operateurs.txt";

} // namespace ervalun

// One whole calculation: solver, letters, nearest name, log line, calibration, markers, page.
CalculationOutput RunCalculation(const CalculationInput& input, TriangulationEngine& engine);
