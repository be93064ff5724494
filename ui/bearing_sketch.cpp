#include "ui/bearing_sketch.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

namespace geodesy = ervalun::geodesy;

// Metres per degree, near enough for a drawing a few tens of kilometres across.
constexpr double kMetresPerDegree = 111320.0;
constexpr int kMargin = 18;
constexpr int kInsetSize = 130;

QString ScaleText(double metres) {
    if (metres >= 1000.0) {
        return QString::number(metres / 1000.0, 'g', 6) + QStringLiteral(" km");
    }
    return QString::number(metres, 'g', 6) + QStringLiteral(" m");
}

} // namespace

// East and north in metres from a centre, in a plane tangent there: enough for a sketch.
class CBearingSketch::Plane {
public:
    Plane(double latitude, double longitude)
        : latitude_(latitude), longitude_(longitude),
          cosine_(std::max(0.01, std::cos(latitude * std::numbers::pi / 180.0))) {}

    QPointF Metres(double latitude, double longitude) const {
        double east = longitude - longitude_;
        east -= 360.0 * std::round(east / 360.0);
        return {east * cosine_ * kMetresPerDegree, (latitude - latitude_) * kMetresPerDegree};
    }

private:
    double latitude_;
    double longitude_;
    double cosine_;
};

double ScaleBarMetres(double metres) {
    if (!(metres > 0.0) || !std::isfinite(metres)) {
        return 0.0;
    }
    const double half = metres / 2.0;
    double step = std::pow(10.0, std::floor(std::log10(half)));
    for (double factor : {5.0, 2.0, 1.0}) {
        if (factor * step <= half) {
            return factor * step;
        }
    }
    return step / 2.0;
}

CBearingSketch::CBearingSketch(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("bearingSketch"));
    setAccessibleName(QStringLiteral("Croquis des relevés"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void CBearingSketch::Show(std::vector<Line> lines, const geodesy::BearingEstimate& estimate,
                          std::vector<geodesy::GeoPoint> ring) {
    lines_ = std::move(lines);
    estimate_ = estimate;
    ring_ = std::move(ring);
    update();
}

void CBearingSketch::DrawScene(QPainter& painter, const QRect& clip, const Plane& plane,
                               QPointF middle, double scale, bool stations) const {
    const QPointF centre = QRectF(clip).center();
    auto toScreen = [&](double lat, double lon) {
        const QPointF m = plane.Metres(lat, lon) - middle;
        return QPointF(centre.x() + m.x() * scale, centre.y() - m.y() * scale);
    };
    painter.save();
    painter.setClipRect(clip);
    if (estimate_.Found() && ring_.size() > 2) {
        QPolygonF ring;
        for (const geodesy::GeoPoint& point : ring_) {
            ring << toScreen(point.latitude, point.longitude);
        }
        painter.setPen(QPen(QColor(214, 120, 0), 1.5));
        painter.setBrush(QColor(255, 170, 40, 70));
        painter.drawPolygon(ring);
    }
    painter.setBrush(Qt::NoBrush);
    for (const Line& line : lines_) {
        QPen pen(QColor(30, 90, 170), 1.6);
        if (line.bearing.excluded) {
            pen = QPen(QColor(150, 150, 150), 1.2, Qt::DashLine);
        } else if (line.outlier) {
            pen.setColor(QColor(200, 30, 30));
        }
        painter.setPen(pen);
        QPolygonF path;
        for (const geodesy::GeoPoint& point : line.path) {
            path << toScreen(point.latitude, point.longitude);
        }
        painter.drawPolyline(path);
    }

    // Stations over the lines, numbered as in the table.
    QFont small = painter.font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    painter.setFont(small);
    for (std::size_t i = 0; i < lines_.size() && stations; ++i) {
        const QPointF p = toScreen(lines_[i].bearing.latitude, lines_[i].bearing.longitude);
        QPolygonF triangle;
        triangle << p + QPointF(0, -6) << p + QPointF(5.5, 4) << p + QPointF(-5.5, 4);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(lines_[i].bearing.excluded ? QColor(200, 200, 200) : QColor(30, 90, 170));
        painter.drawPolygon(triangle);
        painter.setPen(Qt::black);
        painter.drawText(p + QPointF(7, -5), QString::number(i + 1));
    }
    if (estimate_.Found()) {
        const QPointF p = toScreen(estimate_.latitude, estimate_.longitude);
        painter.setPen(QPen(QColor(190, 0, 0), 2.2));
        painter.drawLine(p + QPointF(-6, -6), p + QPointF(6, 6));
        painter.drawLine(p + QPointF(-6, 6), p + QPointF(6, -6));
    }
    painter.restore();
}

void CBearingSketch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(250, 250, 246));
    painter.setPen(QColor(190, 190, 180));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (lines_.empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         QStringLiteral("Aucun relevé à dessiner"));
        return;
    }

    // Centred on the estimate, or on the stations without one; fitted to the stations, the
    // estimate and the ellipse. The lines run beyond and are cut at the edges.
    double latitude = 0.0;
    double longitude = 0.0;
    if (estimate_.Found()) {
        latitude = estimate_.latitude;
        longitude = estimate_.longitude;
    } else {
        for (const Line& line : lines_) {
            latitude += line.bearing.latitude / static_cast<double>(lines_.size());
        }
        longitude = lines_.front().bearing.longitude;
    }
    const Plane plane(latitude, longitude);
    QRectF bounds(plane.Metres(lines_.front().bearing.latitude, lines_.front().bearing.longitude),
                  QSizeF(0, 0));
    auto extend = [&bounds](QPointF p) {
        bounds.setLeft(std::min(bounds.left(), p.x()));
        bounds.setRight(std::max(bounds.right(), p.x()));
        bounds.setTop(std::min(bounds.top(), p.y()));
        bounds.setBottom(std::max(bounds.bottom(), p.y()));
    };
    for (const Line& line : lines_) {
        extend(plane.Metres(line.bearing.latitude, line.bearing.longitude));
        if (!estimate_.Found()) {
            // Without an estimate the lines tell where the bearings point.
            for (const geodesy::GeoPoint& point : line.path) {
                extend(plane.Metres(point.latitude, point.longitude));
            }
        }
    }
    if (estimate_.Found()) {
        extend(plane.Metres(estimate_.latitude, estimate_.longitude));
        for (const geodesy::GeoPoint& point : ring_) {
            extend(plane.Metres(point.latitude, point.longitude));
        }
    }
    const double span = std::max({bounds.width(), bounds.height(), 50.0});
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin + 10, -kMargin, -kMargin - 16);
    const double scale = std::min(area.width(), area.height()) / span;
    DrawScene(painter, rect().adjusted(1, 1, -1, -1), plane, bounds.center(), scale, true);

    // An ellipse too small to be seen at that scale gets an enlarged view in a corner.
    const double major = estimate_.ellipse.semiMajor;
    if (estimate_.Found() && ring_.size() > 2 && std::isfinite(major) && major > 0.0 &&
        major * scale < 25.0) {
        const QRectF inset(8, 8, kInsetSize, kInsetSize);
        painter.setPen(QPen(QColor(120, 120, 110), 1));
        painter.setBrush(QColor(255, 255, 255, 235));
        painter.drawRect(inset);
        const double insetScale = kInsetSize * 0.38 / major;
        DrawScene(painter, inset.toRect().adjusted(1, 1, -1, -1), plane,
                  plane.Metres(estimate_.latitude, estimate_.longitude), insetScale, false);
        const double bar = ScaleBarMetres(kInsetSize / insetScale);
        painter.setPen(QPen(Qt::black, 1.2));
        const QPointF start(inset.left() + 6, inset.bottom() - 7);
        painter.drawLine(start, start + QPointF(bar * insetScale, 0));
        painter.drawText(start + QPointF(bar * insetScale + 4, 4), ScaleText(bar));
        painter.drawText(inset.adjusted(4, 2, -4, -2), Qt::AlignTop | Qt::AlignLeft,
                         QStringLiteral("ellipse, agrandie"));
    }

    // North up, and a scale bar at the bottom left.
    painter.setPen(QPen(Qt::black, 1.4));
    painter.setBrush(Qt::black);
    const QPointF north(width() - 16.0, 10.0);
    QPolygonF arrow;
    arrow << north << north + QPointF(4, 10) << north + QPointF(-4, 10);
    painter.drawPolygon(arrow);
    painter.drawLine(north + QPointF(0, 10), north + QPointF(0, 22));
    painter.drawText(QRectF(north.x() - 20, 22 + north.y() - 10, 40, 30),
                     Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("N"));
    const double bar = ScaleBarMetres(area.width() / scale);
    if (bar > 0.0) {
        const double length = bar * scale;
        const QPointF start(kMargin, height() - 12.0);
        painter.drawLine(start, start + QPointF(length, 0));
        painter.drawLine(start + QPointF(0, -4), start + QPointF(0, 0));
        painter.drawLine(start + QPointF(length, -4), start + QPointF(length, 0));
        painter.drawText(start + QPointF(length + 6, 4), ScaleText(bar));
    }
}
