#pragma once

#include "geodesy/bearing_estimate.h"

#include <QWidget>

#include <vector>

// A small map of the bearings: the stations, numbered as in the table, their lines along the
// ellipsoid, the estimate and its confidence ellipse; north up, scaled to fit, with a scale bar.
// Left-out bearings are drawn dashed and grey, those that stand out in red.
class CBearingSketch : public QWidget {
    Q_OBJECT
public:
    // What one bearing shows: its station, its line, and how it came out.
    struct Line {
        ervalun::geodesy::BearingInput bearing;
        std::vector<ervalun::geodesy::GeoPoint> path;
        bool outlier = false;
    };

    explicit CBearingSketch(QWidget* parent = nullptr);

    // ring: the ellipse, empty without an estimate.
    void Show(std::vector<Line> lines, const ervalun::geodesy::BearingEstimate& estimate,
              std::vector<ervalun::geodesy::GeoPoint> ring);

    QSize sizeHint() const override { return {360, 320}; }
    QSize minimumSizeHint() const override { return {220, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class Plane;
    // The ellipse, the lines, the stations (when asked) and the estimate, middle (metres on the
    // plane) at the centre of clip, scale pixels a metre.
    void DrawScene(QPainter& painter, const QRect& clip, const Plane& plane, QPointF middle,
                   double scale, bool stations) const;

    std::vector<Line> lines_;
    ervalun::geodesy::BearingEstimate estimate_;
    std::vector<ervalun::geodesy::GeoPoint> ring_;
};

// The length of a scale bar for a drawing that shows `metres` across: 1, 2 or 5 times a power
// of ten, at most half of it.
double ScaleBarMetres(double metres);
