#pragma once

namespace ervalun {

// Pixel positions of the three crosses of the bearing diagram, relative to its top-left corner.
struct DiagramPoints {
    int x1 = 0, y1 = 0; // first observation point
    int x2 = 0, y2 = 0; // second observation point
    int xr = 0, yr = 0; // result
};

} // namespace ervalun

// Scales the three positions (signed decimal longitude as x, latitude as y) together into the
// central 80 % of a width x height area, north up, east right, each axis on its own.
ervalun::DiagramPoints ScaleDiagram(double x1, double y1, double x2, double y2, double xr,
                                    double yr, int width, int height);
