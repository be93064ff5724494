#include "tests/support/samples.h"

namespace testing_support {

const char* const kExampleCalibration = "largeur 800\nhauteur 720\nouest 6 40 0 E\nnord 46 3 0 N\n"
                                        "est 7 4 0 E\nsud 45 48 0 N\n";

CalculationInput OnTheMap() {
    CalculationInput in;
    in.lonDeg1 = 6;
    in.lonMin1 = 50;
    in.latDeg1 = 45;
    in.latMin1 = 50;
    in.bearing1 = 45;
    in.lonDeg2 = 6;
    in.lonMin2 = 55;
    in.latDeg2 = 45;
    in.latMin2 = 50;
    in.bearing2 = 315;
    return in;
}

std::string RandomName(std::mt19937& rng) {
    std::uniform_int_distribution<int> length(4, 16);
    std::uniform_int_distribution<int> letter(0, 51);
    std::string name;
    for (int i = length(rng); i > 0; --i) {
        const int l = letter(rng);
        name.push_back(static_cast<char>(l < 26 ? 'A' + l : 'a' + (l - 26)));
    }
    return name;
}

} // namespace testing_support
