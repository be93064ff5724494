#pragma once

#include "data/map_calibration.h"
#include "geodesy/field_export.h"

#include <optional>
#include <string>

// The map page "carte.html": the scene over a real map with Leaflet. The page is one file
// that works with no network: Leaflet's script and style sheet (Debian's libjs-leaflet) are
// copied into it, so it keeps working when carried to another computer. Over the calibrated
// map image (beside the page) when there is one; OpenStreetMap tiles may be switched on in the
// layers control, off at first so that nothing is fetched offline; without either, a plain
// background with a graticule drawn by the page. Circle markers only: no image of Leaflet's
// own is needed.

namespace ervalun::geodesy {

struct LeafletPageOptions {
    // The map image's calibration; used when usable (see CalibrationUsable).
    std::optional<MapCalibration> calibration;
    // The map image, relative to the page.
    std::string imageFile = "./map.jpg";
    // Where leaflet.js and leaflet.css are read from.
    std::string leafletDir = DefaultLeafletDir();

    static std::string DefaultLeafletDir();
};

// The corners of a calibrated map image in signed degrees.
struct ImageBounds {
    double west = 0;
    double east = 0;
    double south = 0;
    double north = 0;
    int width = 0;
    int height = 0;
};

// The bounds when the calibration describes a usable map, as map.html asks: a size above zero,
// the west edge left of the east one, the south edge below the north one, spans of 0.1 degree
// at least.
std::optional<ImageBounds> CalibrationUsable(const MapCalibration& calibration);

// Leaflet's script and style sheet, to be copied into the page.
struct LeafletSources {
    std::string script;
    std::string style;
};
// Reads them from the folder; false with a French message when they are missing or cannot be
// put inside a page.
bool ReadLeafletSources(const std::string& dir, LeafletSources& sources, std::string& error);

// The whole page.
std::string LeafletPageText(const FieldScene& scene, const LeafletPageOptions& options,
                            const LeafletSources& sources);

// Reads Leaflet and writes the page whole (see ReplaceFile). The calibration is left aside when
// the image is not beside the page.
ExportResult WriteLeafletPage(const std::string& path, const FieldScene& scene,
                              const LeafletPageOptions& options);

} // namespace ervalun::geodesy
