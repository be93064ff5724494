#pragma once

#include "data/map_calibration.h"
#include "engine/geo_position.h"

#include <optional>
#include <string>

namespace ervalun {

// Where a 50-pixel marker goes: the offsets of its top-left corner from the map image's
// top-left corner, x to the east (right), y to the south (down). Either may lie outside the
// image.
struct MarkerOffset {
    int left = 0;
    int top = 0;
};

// The markers of the page: black on the first point, green on the second, red on the result.
struct MarkerOffsets {
    MarkerOffset first;
    MarkerOffset second;
    MarkerOffset result;
};

// Places the markers of three points of the flat plane (x the signed decimal longitude, y the
// latitude) so that each marker's centre falls on its point: pixel positions truncated toward
// zero, less 25, saturating at the limits of int and never clamped to the image. None when the
// corners describe no usable map: the west edge must lie left of the east edge, the south edge
// below the north edge, and both spans be at least 0.1 degree.
std::optional<MarkerOffsets> PlaceMarkers(const MapCalibration& calibration, const Vector2& first,
                                          const Vector2& second, const Vector2& result);

// The 18 lines of the map page, each ending with a newline: the three markers over the map
// image, drawn at the given size, all absolutely placed.
std::string FormatMapPage(int imageWidth, int imageHeight, const MarkerOffsets& markers);

// Replaces the page whole (see ReplaceFile); false when it could not be written.
bool WriteMapPage(const std::string& fileName, int imageWidth, int imageHeight,
                  const MarkerOffsets& markers);

} // namespace ervalun
