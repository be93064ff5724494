#include "ui/icons.h"

#include "ui/diagram_painter.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPointF>
#include <QRectF>

#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb kIconLineColour = qRgb(0, 0, 255);

QRgb MarkerColour(DiagramMarker marker) {
    switch (marker) {
    case DiagramMarker::FirstPoint:
        return kFirstPointColour;
    case DiagramMarker::SecondPoint:
        return kSecondPointColour;
    case DiagramMarker::Result:
        break;
    }
    return kResultColour;
}

// A cross as two filled bars centred on (cx, cy): arms of `arm` on each side, `thick` wide.
void FillCross(QPainter& painter, double cx, double cy, double arm, double thick, QRgb colour) {
    const QColor c = QColor::fromRgb(colour);
    painter.fillRect(QRectF(cx - arm, cy - thick / 2, 2 * arm, thick), c);
    painter.fillRect(QRectF(cx - thick / 2, cy - arm, thick, 2 * arm), c);
}

} // namespace

// Laid out on a 32-unit grid: observation points at (8, 24) and (24, 24), the result at (16, 8).
// Up to 32 pixels everything is snapped to whole pixels and drawn without antialiasing so the
// small icons stay crisp; larger sizes are exact multiples of the grid.
QImage ApplicationIconImage(int size) {
    if (size <= 0) {
        return QImage();
    }
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(kDiagramBackground);
    QPainter painter(&image);
    const bool crisp = size <= 32;
    painter.setRenderHint(QPainter::Antialiasing, !crisp);
    const double scale = size / 32.0;
    auto at = [&](double units) { return crisp ? std::round(units * scale) : units * scale; };
    const double arm = crisp ? std::floor(6.0 * scale) : 6.0 * scale;
    // Even bar widths, so that bars centred on pixel boundaries cover whole pixels.
    const double thick = crisp ? std::max(2.0, 2.0 * std::floor(2.0 * scale)) : 3.0 * scale;
    const double lineWidth = crisp ? std::max(1.0, std::floor(2.0 * scale)) : 2.0 * scale;

    const QPointF first(at(8.0), at(24.0));
    const QPointF second(at(24.0), at(24.0));
    const QPointF result(at(16.0), at(8.0));
    QPen pen{QColor::fromRgb(kIconLineColour)};
    pen.setWidthF(lineWidth);
    painter.setPen(pen);
    painter.drawLine(first, result);
    painter.drawLine(result, second);
    FillCross(painter, first.x(), first.y(), arm, thick, kFirstPointColour);
    FillCross(painter, second.x(), second.y(), arm, thick, kSecondPointColour);
    FillCross(painter, result.x(), result.y(), arm, thick, kResultColour);
    painter.end();
    return image;
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addPixmap(QPixmap::fromImage(ApplicationIconImage(size)));
    }
    return icon;
}

QImage LegendIconImage(DiagramMarker marker) {
    QImage image(kIconSize, kIconSize, QImage::Format_ARGB32);
    image.fill(kDiagramBackground);
    QPainter painter(&image);
    FillCross(painter, kIconSize / 2.0, kIconSize / 2.0, 10.0, 4.0, MarkerColour(marker));
    painter.end();
    return image;
}
