#include "tests/field_scene.h"

#include "geodesy/field_text.h"

#include <GeographicLib/Geodesic.hpp>

#include <cmath>
#include <cstdio>

namespace field_testing {

using ervalun::geodesy::FieldScene;
using ervalun::geodesy::GeoPoint;
using ervalun::geodesy::SceneStation;
using GeographicLib::Geodesic;

FieldScene SampleScene() {
    const struct {
        const char* name;
        double latitude;
        double longitude;
    } stations[] = {
        {"Le-Br\xc3\xa9vent", 45 + 56 / 60.0 + 3 / 3600.0, 6 + 50 / 60.0 + 15 / 3600.0},
        {"Montenvers", 45 + 55 / 60.0 + 44 / 3600.0, 6 + 55 / 60.0 + 7 / 3600.0},
        {"Aiguille-du-Midi <&\"'>", 45 + 52 / 60.0 + 44 / 3600.0, 6 + 53 / 60.0 + 15 / 3600.0},
        // Latin-1, as a directory written on an old system holds it.
        {"Argenti\xe8re</script>", 45 + 58 / 60.0 + 54 / 3600.0, 6 + 55 / 60.0 + 40 / 3600.0},
    };
    FieldScene scene;
    scene.title = "Exercice du 7 d\xc3\xa9"
                  "cembre";
    for (const auto& s : stations) {
        SceneStation station;
        station.name = s.name;
        station.latitude = s.latitude;
        station.longitude = s.longitude;
        double distance = 0;
        double azimuth = 0;
        double back = 0;
        Geodesic::WGS84().Inverse(s.latitude, s.longitude, kTargetLatitude, kTargetLongitude,
                                  distance, azimuth, back);
        station.azimuth = azimuth < 0 ? azimuth + 360 : azimuth;
        station.residual = 0.25;
        station.line = ervalun::geodesy::GeodesicPath(
            s.latitude, s.longitude, azimuth,
            ervalun::geodesy::BearingLineLength(s.latitude, s.longitude, kTargetLatitude,
                                                kTargetLongitude));
        scene.stations.push_back(station);
    }
    scene.stations.back().excluded = true;
    scene.estimate = {"", kTargetLatitude, kTargetLongitude};
    scene.geodesicFix = {"", kTargetLatitude + 0.0004, kTargetLongitude - 0.0003};
    scene.flatFix = {"", kTargetLatitude - 0.0005, kTargetLongitude + 0.0006};
    scene.nearest = {"Chamonix", 45 + 55 / 60.0 + 25 / 3600.0, 6 + 52 / 60.0 + 10 / 3600.0};
    // Clockwise, as the azimuth turns: the writers must turn it round.
    const double a = 300;
    const double b = 120;
    const double major = 60;
    for (int k = 0; k <= 72; ++k) {
        const double t = (k % 72) * 5.0 * M_PI / 180;
        const double along = a * std::cos(t);
        const double across = b * std::sin(t);
        const double r = std::hypot(along, across);
        const double azimuth = major + std::atan2(across, along) * 180 / M_PI;
        GeoPoint p;
        Geodesic::WGS84().Direct(kTargetLatitude, kTargetLongitude, azimuth, r, p.latitude,
                                 p.longitude);
        scene.ellipse.push_back(p);
    }
    scene.figures.sigma = 2.0;
    scene.figures.semiMajor = a;
    scene.figures.semiMinor = b;
    scene.figures.majorAzimuth = major;
    scene.figures.areaHectares = M_PI * a * b / 10000;
    scene.figures.level = 0.95;
    return scene;
}

std::vector<Expected> ExpectedPoints(const FieldScene& scene) {
    std::vector<Expected> points;
    for (const SceneStation& s : scene.stations) {
        points.push_back({ervalun::geodesy::ToUtf8(s.name), s.latitude, s.longitude});
    }
    points.push_back({"Estimation", scene.estimate->latitude, scene.estimate->longitude});
    points.push_back(
        {"Point géodésique", scene.geodesicFix->latitude, scene.geodesicFix->longitude});
    points.push_back({"Point plan", scene.flatFix->latitude, scene.flatFix->longitude});
    points.push_back({scene.nearest->name, scene.nearest->latitude, scene.nearest->longitude});
    return points;
}

bool HaveTool(const std::string& name) {
    int status = 0;
    RunCommand("command -v " + name + " >/dev/null 2>&1 && echo yes", status);
    return status == 0;
}

std::string RunCommand(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    status = pclose(pipe);
    return out;
}

} // namespace field_testing
