#include "data/nearest_position.h"

#include <cmath>

namespace ervalun {

void MeasureDistances(std::vector<KnownPosition>& directory, double x, double y) {
    for (KnownPosition& e : directory) {
        const double dx = x - e.longitude;
        const double dy = y - e.latitude;
        e.distance = std::sqrt(dx * dx + dy * dy);
    }
}

const KnownPosition* ChosenEntry(const std::vector<KnownPosition>& directory) {
    // A NaN distance (from infinite inputs) never becomes the minimum.
    bool any = false;
    double smallest = 0.0;
    for (const KnownPosition& e : directory) {
        if (!std::isnan(e.distance) && (!any || e.distance < smallest)) {
            smallest = e.distance;
            any = true;
        }
    }
    if (!any) {
        return nullptr;
    }
    const double lo = smallest - 1e-6;
    const double hi = 1e-6 + smallest;
    const KnownPosition* chosen = nullptr;
    for (const KnownPosition& e : directory) {
        if (e.distance > lo && e.distance < hi) {
            chosen = &e;
        }
    }
    return chosen;
}

const KnownPosition* FindNearest(std::vector<KnownPosition>& directory, double x, double y) {
    if (directory.empty()) {
        return nullptr;
    }
    MeasureDistances(directory, x, y);
    return ChosenEntry(directory);
}

} // namespace ervalun
