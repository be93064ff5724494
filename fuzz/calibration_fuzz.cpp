// The map calibration reader on arbitrary bytes: silent always, and a usable result only with
// every value inside its bounds.
#include "fuzz/fuzz_support.h"
#include "output/map_calibration.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string& path = fuzz_support::WriteInput(data, size);

    fuzz_support::CountingSink sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    MapCalibration cal;
    const int usable = engine.LoadCalibration(path, cal);

    Check(sink.count == 0, "the calibration never shows a message");
    Check(usable == engine.calibrationLoaded, "the result is left in the flag");
    Check(usable == 0 || usable == 1, "the result is 0 or 1");
    if (usable == 1) {
        Check(cal.imageWidth >= 0 && cal.imageWidth <= 4096, "width in 0..4096");
        Check(cal.imageHeight >= 0 && cal.imageHeight <= 4096, "height in 0..4096");
        for (const MapCorner* c : {&cal.topLeft, &cal.bottomRight}) {
            for (double v : {c->longitudeDegrees, c->longitudeMinutes, c->longitudeSeconds,
                             c->latitudeDegrees, c->latitudeMinutes, c->latitudeSeconds}) {
                Check(v >= 0.0 && v <= 360.0, "a corner number in 0..360");
            }
            Check((c->west == 0 || c->west == 1) && (c->south == 0 || c->south == 1),
                  "hemisphere flags are 0 or 1");
        }
        // Whatever a usable file says, placing the markers must stay defined.
        int l1 = 0, t1 = 0, l2 = 0, t2 = 0, l3 = 0, t3 = 0;
        GeoPosition p;
        p.longitude = 1e300;
        p.latitude = -1e300;
        engine.PlaceMarkers(p, p, p, cal.imageWidth, cal.imageHeight, l1, t1, l2, t2, l3, t3,
                            cal.topLeft, cal.bottomRight);
    }
    return 0;
}
