#include "data/nearest_position.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ervalun {

namespace {

// The entries that may be chosen, gathered in one pass over the distances in list order. The
// chosen entry is the last whose distance lies within 1e-6 of the smallest; the smallest only
// falls as the pass goes on, so an entry at or above 1e-6 above the smallest so far can never
// be chosen, and only the few below it are kept.
class Candidates {
public:
    Candidates() { kept_.reserve(8); }

    void See(const KnownPosition& entry, double distance) {
        // Also false for a distance that is no number (from infinite inputs).
        if (!(distance < bound_)) {
            return;
        }
        if (kept_.empty() || distance < smallest_) {
            smallest_ = distance;
            bound_ = 1e-6 + smallest_;
            std::erase_if(kept_,
                          [this](const KnownPosition* e) { return !(e->distance < bound_); });
        }
        kept_.push_back(&entry);
    }

    // Among the kept entries, the last one strictly within 1e-6 of the smallest distance.
    const KnownPosition* Chosen() const {
        const double lo = smallest_ - 1e-6;
        const double hi = 1e-6 + smallest_;
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it) {
            if ((*it)->distance > lo && (*it)->distance < hi) {
                return *it;
            }
        }
        return nullptr;
    }

private:
    double smallest_ = 0.0;
    double bound_ = std::numeric_limits<double>::infinity();
    std::vector<const KnownPosition*> kept_;
};

} // namespace

const KnownPosition* ChosenEntry(const std::vector<KnownPosition>& directory) {
    Candidates candidates;
    for (const KnownPosition& e : directory) {
        candidates.See(e, e.distance);
    }
    return candidates.Chosen();
}

const KnownPosition* FindNearest(std::vector<KnownPosition>& directory, double x, double y) {
    // The distances are measured and the entry chosen in one pass over the list.
    Candidates candidates;
    for (KnownPosition& e : directory) {
        const double dx = x - e.longitude;
        const double dy = y - e.latitude;
        e.distance = std::sqrt(dx * dx + dy * dy);
        candidates.See(e, e.distance);
    }
    return candidates.Chosen();
}

const KnownPosition* NamedEntry(const std::vector<KnownPosition>& directory,
                                const std::string& name) {
    const KnownPosition* chosen = ChosenEntry(directory);
    return chosen != nullptr && chosen->name == name ? chosen : nullptr;
}

} // namespace ervalun
