#include "data/nearest_position.h"

#include <cmath>

namespace ervalun {

namespace {

// The last entry whose distance lies within 1e-6 of the smallest.
const KnownPosition* LastWithin(const std::vector<KnownPosition>& directory, double smallest) {
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

// Keeps the smallest of the distances seen; one that is no number (from infinite inputs) never
// becomes it.
struct Smallest {
    bool any = false;
    double value = 0.0;

    void See(double distance) {
        if (!std::isnan(distance) && (!any || distance < value)) {
            value = distance;
            any = true;
        }
    }
};

} // namespace

const KnownPosition* ChosenEntry(const std::vector<KnownPosition>& directory) {
    Smallest smallest;
    for (const KnownPosition& e : directory) {
        smallest.See(e.distance);
    }
    return smallest.any ? LastWithin(directory, smallest.value) : nullptr;
}

const KnownPosition* FindNearest(std::vector<KnownPosition>& directory, double x, double y) {
    // The distances are measured and their smallest found in one pass over the list.
    Smallest smallest;
    for (KnownPosition& e : directory) {
        const double dx = x - e.longitude;
        const double dy = y - e.latitude;
        e.distance = std::sqrt(dx * dx + dy * dy);
        smallest.See(e.distance);
    }
    return smallest.any ? LastWithin(directory, smallest.value) : nullptr;
}

} // namespace ervalun
