#include "ui/form/diagram_scale.h"

#include "engine/numeric.h"

#include <algorithm>

using ervalun::DiagramPoints;
using ervalun::TruncToInt;

DiagramPoints ScaleDiagram(double x1, double y1, double x2, double y2, double xr, double yr,
                           int width, int height) {
    const double xmin = std::min({x1, x2, xr});
    const double xmax = std::max({x1, x2, xr});
    const double ymin = std::min({y1, y2, yr});
    const double ymax = std::max({y1, y2, yr});
    const double dx = xmax - xmin;
    const double dy = ymax - ymin;

    const double w = static_cast<double>(width);
    const double h = static_cast<double>(height);
    const double sx = 0.8 * w;
    const double sy = 0.8 * h;
    const double mx = 0.1 * w;
    const double my = 0.1 * h;

    // A single longitude goes to 60 % of the width and a single latitude to 40 % of the height;
    // so three coincident points meet there too instead of dividing zero by zero. Every
    // conversion saturates, so a result far away (or not a number) cannot overflow an int.
    const bool oneMeridian = dx == 0.0;
    const bool oneParallel = dy == 0.0;
    auto px = [&](double x) {
        return oneMeridian ? TruncToInt(0.5 * w + mx) : TruncToInt((x - xmin) * sx / dx + mx);
    };
    auto py = [&](double y) {
        return oneParallel ? TruncToInt(0.5 * h - my) : TruncToInt(h - (y - ymin) * sy / dy - my);
    };

    DiagramPoints p;
    p.x1 = px(x1);
    p.y1 = py(y1);
    p.x2 = px(x2);
    p.y2 = py(y2);
    p.xr = px(xr);
    p.yr = py(yr);
    return p;
}
