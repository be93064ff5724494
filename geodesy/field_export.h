#pragma once

#include "geodesy/bearing_estimate.h"

#include <limits>
#include <optional>
#include <string>
#include <vector>

// Files that hand a result to other tools: GPX 1.1 (GPS receivers), KML 2.2 (Google Earth and
// the like) and GeoJSON (GIS). They take points already computed, so that they depend on no
// estimator. Names may be Latin-1 or UTF-8 (the directory's bytes may be either): the files
// are always UTF-8. Coordinates have 9 decimals; longitudes are written within [-180, 180].

namespace ervalun::geodesy {

// A station with the bearing taken there.
struct SceneStation {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
    double azimuth = std::numeric_limits<double>::quiet_NaN();  // true, degrees
    double residual = std::numeric_limits<double>::quiet_NaN(); // degrees, NaN when unknown
    bool excluded = false;                                      // left out of the estimate
    // The bearing line, from the station to a little beyond the estimate (see
    // BearingLineLength), dense enough to follow the geodesic; empty for none.
    std::vector<GeoPoint> line;
};

// A point of the answer with its name.
struct ScenePoint {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;
};

// What the estimate's figures say; NaN for what is not known.
struct SceneFigures {
    double sigma = std::numeric_limits<double>::quiet_NaN();        // of a bearing, degrees
    double semiMajor = std::numeric_limits<double>::quiet_NaN();    // metres
    double semiMinor = std::numeric_limits<double>::quiet_NaN();    // metres
    double majorAzimuth = std::numeric_limits<double>::quiet_NaN(); // degrees
    double areaHectares = std::numeric_limits<double>::quiet_NaN();
    double level = std::numeric_limits<double>::quiet_NaN(); // of the ellipse, in (0, 1)
};

// Everything a file may show; each item is optional.
struct FieldScene {
    std::string title = "Ervalun";
    // In a file of several scenes, the case this one is: put before the names of its points,
    // lines and ellipse ("a : Estimation") and given as "cas" in GeoJSON. Empty for none.
    std::string caseName;
    std::vector<SceneStation> stations;
    std::optional<ScenePoint> estimate;    // the many-bearing estimate
    std::optional<ScenePoint> geodesicFix; // the two-bearing fix on the ellipsoid
    std::optional<ScenePoint> flatFix;     // the two-bearing fix of the flat model
    std::optional<ScenePoint> nearest;     // the nearest named position of the directory
    std::vector<GeoPoint> ellipse;         // the confidence ellipse as a ring; empty for none
    SceneFigures figures;
};

// How far to draw a bearing line: the geodesic distance from the station to the target, plus
// a tenth of it and at least 200 m, so that the line runs a little beyond the target.
double BearingLineLength(double stationLatitude, double stationLongitude, double targetLatitude,
                         double targetLongitude);

// The scene of a many-bearing estimate: each bearing's station (its residual when the estimate
// gives one, left-out bearings marked) with its geodesic line to a little beyond the estimate
// (lineLength metres when there is no estimate), the estimate, its ellipse ring and figures.
// The fixes of two bearings, the nearest named position and the title are the caller's to add.
FieldScene MakeFieldScene(const std::vector<BearingInput>& bearings,
                          const BearingEstimate& estimate, double lineLength = 10000.0);

// The whole content of each file.
std::string GpxText(const FieldScene& scene);
std::string KmlText(const FieldScene& scene);
std::string GeoJsonText(const FieldScene& scene);

// One file for several scenes (a run of cases) under one title, each scene's items after the
// other's. With one scene, the text of that scene alone titled so; with none, an empty file.
std::string GpxCasesText(const std::vector<FieldScene>& scenes, const std::string& title);
std::string KmlCasesText(const std::vector<FieldScene>& scenes, const std::string& title);
std::string GeoJsonCasesText(const std::vector<FieldScene>& scenes, const std::string& title);

// What a write gives back: ok, or why not in French.
struct ExportResult {
    bool ok = false;
    std::string error;
};

// Each writes its file whole (see ReplaceFile).
ExportResult WriteGpx(const std::string& path, const FieldScene& scene);
ExportResult WriteKml(const std::string& path, const FieldScene& scene);
ExportResult WriteGeoJson(const std::string& path, const FieldScene& scene);

// Shared by the files and the map page: the ring closed (first point repeated last) and
// counter-clockwise (the outer ring of RFC 7946); empty when it has fewer than three points.
std::vector<GeoPoint> CounterClockwiseRing(const std::vector<GeoPoint>& ring);

// The scene without what cannot be drawn: stations and points whose coordinates are not finite
// (or beyond a pole), such points of the lines, an ellipse with any. Every writer starts there.
FieldScene FiniteScene(const FieldScene& scene);

// French descriptions of the scene's points, as the files show them.
std::string StationDescription(const SceneStation& station);
std::string FiguresDescription(const SceneFigures& figures);

} // namespace ervalun::geodesy
