#pragma once

#include <QIcon>
#include <QImage>

// The size in pixels of an icon control (the about box's, the diagram legend's), whatever the
// font: icons are not measured in dialog units.
inline constexpr int kIconSize = 32;

// The three markers of the bearing diagram, which the legend icons stand for.
enum class DiagramMarker { FirstPoint, SecondPoint, Result };

// The application icon drawn at size x size pixels: a purple, a green and a red cross joined by
// blue lines on yellow (the two observation points below, the result above).
QImage ApplicationIconImage(int size);

// The application icon at 16, 24, 32, 48, 64, 128 and 256 pixels, for the window and the about
// box. Needs a QGuiApplication.
QIcon ApplicationIcon();

// A legend icon: one kIconSize x kIconSize cross in the marker's diagram colour on yellow.
QImage LegendIconImage(DiagramMarker marker);
