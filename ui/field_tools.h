#pragma once

#include "geodesy/bearing_estimate.h"
#include "geodesy/field_export.h"
#include "geodesy/geodesic_check.h"

#include <QString>

#include <optional>
#include <vector>

// What the geodesic window hands to the field: the scene of its last figures, the map page
// "carte.html" written beside map.html, and the GPX, KML and GeoJSON files.

// The page's name, in the working folder.
inline constexpr char kFieldMapFileName[] = "carte.html";

// The scene of the window: the bearings' stations and lines with the estimate and its ellipse,
// the two-bearing fixes and the named position of the last calculation when there is one.
ervalun::geodesy::FieldScene
WindowScene(const std::vector<ervalun::geodesy::BearingInput>& bearings,
            const ervalun::geodesy::BearingEstimate& estimate,
            const std::optional<ervalun::geodesy::CheckFigures>& figures);

// Writes carte.html whole in the working folder, over ./map.jpg with calibration.txt when both
// are there and usable.
ervalun::geodesy::ExportResult WriteFieldMap(const ervalun::geodesy::FieldScene& scene);

// The filters the export's file dialog offers, GPX first.
QString ExportFilters();
// Writes the scene to path in the format its suffix names, or else the filter's (whose suffix is
// then added). written: the path really written.
ervalun::geodesy::ExportResult ExportScene(const QString& path, const QString& filter,
                                           const ervalun::geodesy::FieldScene& scene,
                                           QString* written = nullptr);
