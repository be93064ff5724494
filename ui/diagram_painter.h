#pragma once

#include "engine/geo_position.h"

#include <QImage>
#include <QRgb>

// Colours of the bearing diagram; the legend icons use the same three marker colours.
inline constexpr QRgb kDiagramBackground = qRgb(255, 255, 0);
inline constexpr QRgb kDiagramFrame = qRgb(0, 0, 0);
inline constexpr QRgb kDiagramLine = qRgb(0, 0, 0);
inline constexpr QRgb kFirstPointColour = qRgb(128, 0, 128);
inline constexpr QRgb kSecondPointColour = qRgb(0, 128, 0);
inline constexpr QRgb kResultColour = qRgb(255, 0, 0);

// Composes the bearing diagram off screen, ready to be copied in one block to the diagram area:
// a yellow width x height image with a 1-pixel black frame and, once a result exists, the black
// lines first point -> result -> second point and the purple, green and red crosses on top.
// Only the signed decimal longitude and latitude of the three positions are read.
QImage RenderDiagram(int width, int height, bool calculated, const GeoPosition& p1,
                     const GeoPosition& p2, const GeoPosition& result);
