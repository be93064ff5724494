#pragma once

#include "geodesy/field_export.h"

#include <string>

// What the tests of the exported files share: a scene on the example map and a way to run the
// independent readers.

namespace field_testing {

// Four stations of examples/ervalun.txt with bearings on a target near Chamonix, their
// geodesic lines, the target as the estimate, two fixes a little off it, a nearest named
// position and a clockwise ellipse ring of 300 m by 120 m. One name is Latin-1, one carries
// characters XML, JSON and HTML must escape.
ervalun::geodesy::FieldScene SampleScene();

// The target of SampleScene, degrees.
constexpr double kTargetLatitude = 45.9232;
constexpr double kTargetLongitude = 6.8762;

// The names and places every file must give back for a scene with all its points, in the
// writers' order: stations, estimate, geodesic fix, flat fix, nearest named position.
struct Expected {
    std::string name;
    double latitude;
    double longitude;
};
std::vector<Expected> ExpectedPoints(const ervalun::geodesy::FieldScene& scene);

// Whether a program is on the PATH.
bool HaveTool(const std::string& name);

// Runs a shell command; its standard output, and its exit status in status.
std::string RunCommand(const std::string& command, int& status);

} // namespace field_testing
