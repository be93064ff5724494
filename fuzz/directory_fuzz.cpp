// The position directory reader on arbitrary bytes, and the text-mode byte reader under it
// checked against a plain translation at small chunk sizes.
#include "data/text_reader.h"
#include "fuzz/fuzz_support.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

// Text mode as the reference files were written for: CR LF reads as LF, 0x1A ends the text.
std::string Translate(const std::uint8_t* data, std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1A) {
            break;
        }
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
            continue;
        }
        out.push_back(static_cast<char>(data[i]));
    }
    return out;
}

std::string ReadAll(const std::string& path, std::size_t chunk) {
    ervalun::TextReader reader(path, chunk);
    fuzz_support::Check(reader.IsOpen(), "an existing file opens");
    std::string out;
    for (int c = reader.Next(); c >= 0; c = reader.Next()) {
        fuzz_support::Check(c <= 255, "a byte is 0 to 255");
        out.push_back(static_cast<char>(c));
    }
    fuzz_support::Check(reader.Next() == -1, "the end stays the end");
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz_support::Check;
    const std::string& path = fuzz_support::WriteInput(data, size);

    const std::string expected = Translate(data, size);
    const std::size_t smallChunk = size > 0 ? 2 + data[0] % 7 : 2;
    Check(ReadAll(path, smallChunk) == expected, "small chunks translate like the whole");
    Check(ReadAll(path, ervalun::TextReader::kChunkSize) == expected,
          "large chunks translate like the whole");

    fuzz_support::CountingSink sink;
    TriangulationEngine engine;
    engine.messages = &sink;
    engine.LoadPositions(path, &engine.directory);

    if (engine.directoryLoaded == 1) {
        Check(sink.count == 0, "a successful load says nothing");
    } else {
        Check(engine.directoryLoaded == 0, "the flag is 0 or 1");
        Check(sink.count == 1 && sink.last == "Fichier ervalun.txt incorrect",
              "an existing file that fails is incorrect, said once");
    }
    for (const KnownPosition& e : engine.directory) {
        Check(!e.name.empty() && e.name.size() <= 254, "a name has 1 to 254 bytes");
        Check(e.name.find(' ') == std::string::npos && e.name.find('\n') == std::string::npos,
              "a name holds no delimiter");
        Check(e.distance == 0.0, "a fresh entry has no distance");
        for (double v :
             {e.latitudeMinutes, e.latitudeSeconds, e.longitudeMinutes, e.longitudeSeconds}) {
            Check(v >= 0.0 && v <= 360.0 && !std::signbit(v), "minutes and seconds in 0..360");
        }
        for (double v : {e.latitudeDegrees, e.longitudeDegrees}) {
            Check(std::fabs(v) <= 360.0, "degrees in 0..360 with a sign");
        }
        double lat = 0.0;
        TriangulationEngine::DmsToDecimal(std::fabs(e.latitudeDegrees), e.latitudeMinutes,
                                          e.latitudeSeconds, lat);
        double lon = 0.0;
        TriangulationEngine::DmsToDecimal(std::fabs(e.longitudeDegrees), e.longitudeMinutes,
                                          e.longitudeSeconds, lon);
        Check(e.latitude == (std::signbit(e.latitudeDegrees) ? -lat : lat),
              "the decimal latitude agrees with the degrees and their sign");
        Check(e.longitude == (std::signbit(e.longitudeDegrees) ? -lon : lon),
              "the decimal longitude agrees with the degrees and their sign");
    }
    return 0;
}
