// The map calibration reader on arbitrary bytes: silent always, a usable result only with
// every value inside its bounds, and the same result wherever the reader's buffer is cut.
#include "data/map_calibration.h"
#include "fuzz/fuzz_support.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

struct Read {
    int usable = 0;
    MapCalibration cal;
};

Read Load(const std::string& bytes) {
    using fuzz_support::Check;
    const std::string path =
        fuzz_support::WriteInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    fuzz_support::CountingSink sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    Read out;
    out.usable = engine.LoadCalibration(path, out.cal);
    Check(sink.count == 0, "the calibration never shows a message");
    Check(out.usable == engine.calibrationLoaded, "the result is left in the flag");
    Check(out.usable == 0 || out.usable == 1, "the result is 0 or 1");
    return out;
}

bool SameCorner(const MapCorner& a, const MapCorner& b) {
    return a.longitudeDegrees == b.longitudeDegrees && a.longitudeMinutes == b.longitudeMinutes &&
           a.longitudeSeconds == b.longitudeSeconds && a.latitudeDegrees == b.latitudeDegrees &&
           a.latitudeMinutes == b.latitudeMinutes && a.latitudeSeconds == b.latitudeSeconds &&
           a.west == b.west && a.south == b.south;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const Read read = Load(input);
    const MapCalibration& cal = read.cal;
    if (read.usable == 1) {
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
        TriangulationEngine engine;
        int l1 = 0, t1 = 0, l2 = 0, t2 = 0, l3 = 0, t3 = 0;
        GeoPosition p;
        p.longitude = 1e300;
        p.latitude = -1e300;
        engine.PlaceMarkers(p, p, p, cal.imageWidth, cal.imageHeight, l1, t1, l2, t2, l3, t3,
                            cal.topLeft, cal.bottomRight);
    }

    // White space in front changes nothing, and cuts the reader's 4 KiB buffer a few bytes
    // into the input.
    if (size > 0) {
        const std::size_t into = 1 + data[0] % (size < 255 ? size : 255);
        const Read padded = Load(std::string(4096 - into, ' ') + input);
        Check(padded.usable == read.usable, "a buffer boundary changes nothing");
        if (read.usable == 1) {
            Check(padded.cal.imageWidth == cal.imageWidth &&
                      padded.cal.imageHeight == cal.imageHeight &&
                      SameCorner(padded.cal.topLeft, cal.topLeft) &&
                      SameCorner(padded.cal.bottomRight, cal.bottomRight),
                  "a buffer boundary reads the same values");
        }
    }
    return 0;
}
