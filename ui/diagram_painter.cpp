#include "ui/diagram_painter.h"

#include "engine/numeric.h"
#include "ui/form/diagram_scale.h"

#include <QColor>
#include <QPainter>
#include <QPen>

#include <algorithm>

using ervalun::DiagramPoints;
using ervalun::TruncToInt;

namespace {

// Arms of 5 % of the width and of the height on each side; flat caps so each arm ends where
// the sketch says rather than a pen's half-width further.
void DrawCross(QPainter& painter, QRgb colour, int x, int y, int width, int height) {
    QPen pen{QColor::fromRgb(colour)};
    pen.setWidth(2);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const double armX = 0.05 * width;
    const double armY = 0.05 * height;
    painter.drawLine(TruncToInt(x - armX), y, TruncToInt(x + armX), y);
    painter.drawLine(x, TruncToInt(y - armY), x, TruncToInt(y + armY));
}

} // namespace

QImage RenderDiagram(int width, int height, bool calculated, const GeoPosition& p1,
                     const GeoPosition& p2, const GeoPosition& result) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;
    }
    image.fill(kDiagramBackground);

    QPainter painter(&image);
    // Plain pixels, so what is drawn is exactly the sketch's integer geometry.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor frame = QColor::fromRgb(kDiagramFrame);
    painter.fillRect(0, 0, width, 1, frame);
    painter.fillRect(0, height - 1, width, 1, frame);
    painter.fillRect(0, 0, 1, height, frame);
    painter.fillRect(width - 1, 0, 1, height, frame);

    if (calculated) {
        const DiagramPoints pts = ScaleDiagram(p1.longitude, p1.latitude, p2.longitude, p2.latitude,
                                               result.longitude, result.latitude, width, height);
        QPen line{QColor::fromRgb(kDiagramLine)};
        line.setWidth(1);
        painter.setPen(line);
        painter.drawLine(pts.x1, pts.y1, pts.xr, pts.yr);
        painter.drawLine(pts.xr, pts.yr, pts.x2, pts.y2);
        // The result's cross is drawn last and lies on top.
        DrawCross(painter, kFirstPointColour, pts.x1, pts.y1, width, height);
        DrawCross(painter, kSecondPointColour, pts.x2, pts.y2, width, height);
        DrawCross(painter, kResultColour, pts.xr, pts.yr, width, height);
    }
    painter.end();
    return image;
}
