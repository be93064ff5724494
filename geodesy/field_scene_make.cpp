// Kept apart from the writers: only this part needs the estimator.
#include "geodesy/field_export.h"

#include <cmath>

namespace ervalun::geodesy {

FieldScene MakeFieldScene(const std::vector<BearingInput>& bearings,
                          const BearingEstimate& estimate, double lineLength) {
    FieldScene scene;
    const bool found = estimate.Found();
    for (std::size_t i = 0; i < bearings.size(); ++i) {
        const BearingInput& b = bearings[i];
        SceneStation s;
        s.name = b.name;
        s.latitude = b.latitude;
        s.longitude = b.longitude;
        s.azimuth = b.azimuth;
        s.excluded = b.excluded;
        if (found && i < estimate.residuals.size()) {
            s.residual = estimate.residuals[i].residual;
        }
        const double length = found ? BearingLineLength(b.latitude, b.longitude, estimate.latitude,
                                                        estimate.longitude)
                                    : lineLength;
        if (std::isfinite(b.azimuth) && std::isfinite(length)) {
            s.line = GeodesicPath(b.latitude, b.longitude, b.azimuth, length);
        }
        scene.stations.push_back(std::move(s));
    }
    if (!found) {
        return scene;
    }
    scene.estimate = ScenePoint{"", estimate.latitude, estimate.longitude};
    scene.ellipse = EllipseRing(estimate);
    scene.figures.sigma = estimate.sigma;
    scene.figures.semiMajor = estimate.ellipse.semiMajor;
    scene.figures.semiMinor = estimate.ellipse.semiMinor;
    scene.figures.majorAzimuth = estimate.ellipse.majorAzimuth;
    scene.figures.areaHectares = estimate.ellipse.areaHectares;
    scene.figures.level = estimate.ellipse.level;
    return scene;
}

} // namespace ervalun::geodesy
