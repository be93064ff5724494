#pragma once

#include "engine/calculation.h"

#include <random>
#include <string>

// Sample inputs shared by the tests and the benchmarks.

namespace testing_support {

// The calibration of examples/: an 800 x 720 map from 6 40 E / 46 3 N (top left) to
// 7 4 E / 45 48 N (bottom right).
extern const char* const kExampleCalibration;

// Two points of the example map whose bearings meet on it: 6 50 E / 45 50 N looking north-east
// and 6 55 E / 45 50 N looking north-west; no directory selection.
CalculationInput OnTheMap();

// A name of 4 to 16 ASCII letters, upper and lower case mixed, so that a sort by name has work
// to do.
std::string RandomName(std::mt19937& rng);

} // namespace testing_support
