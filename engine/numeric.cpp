#include "engine/numeric.h"

#include <cmath>
#include <limits>

namespace ervalun {

double TruncTowardZero(double v) {
    if (std::isnan(v)) {
        return 0.0;
    }
    return std::trunc(v);
}

int TruncToInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    constexpr double lo = static_cast<double>(std::numeric_limits<int>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<int>::max());
    if (v <= lo) {
        return std::numeric_limits<int>::min();
    }
    if (v >= hi) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(v);
}

int SaturatingSub(int a, int b) {
    const long long r = static_cast<long long>(a) - static_cast<long long>(b);
    if (r < std::numeric_limits<int>::min()) {
        return std::numeric_limits<int>::min();
    }
    if (r > std::numeric_limits<int>::max()) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(r);
}

} // namespace ervalun
