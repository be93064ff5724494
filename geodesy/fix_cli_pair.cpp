// ervalun-fix with two bearings a line: the flat fix of the dialog and the geodesic fix.

#include "geodesy/fix_cli_options.h"
#include "geodesy/geodesic_check.h"

namespace ervalun::geodesy {

namespace {

// The case of one line, or the reason it is none.
bool ParseCase(std::string_view line, double (&numbers)[6], std::string& reason) {
    const std::vector<std::string_view> fields = SplitFields(line);
    if (fields.size() != 6) {
        reason = "six nombres attendus, " + FieldsRead(fields.size());
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        if (!ReadNumber(fields[i], numbers[i])) {
            reason = "« " + std::string(fields[i]) + " » n'est pas un nombre";
            return false;
        }
    }
    return true;
}

std::string Answer(const CheckFigures& figures, bool withSpread) {
    std::string out =
        FormatFixed(figures.fix.latitude, 9) + " " + FormatFixed(figures.fix.longitude, 9) + " " +
        FormatFixed(figures.flatLatitude, 9) + " " + FormatFixed(figures.flatLongitude, 9) + " " +
        FormatFixed(figures.offset, 3) + " " + FormatFixed(figures.fix.distance1, 3) + " " +
        FormatFixed(figures.fix.distance2, 3) + " " + FormatFixed(figures.fix.crossingAngle, 9);
    if (withSpread) {
        out += " " + FormatFixed(figures.spread, 3);
    }
    return out;
}

// The case for the files: both stations with their true bearing lines, the geodesic fix and the
// flat fix when it is a place on the ground.
FieldScene PairScene(const std::string& name, const CheckFigures& figures,
                     const double (&trueAzimuth)[2]) {
    FieldScene scene;
    scene.caseName = name;
    const Sighting* sightings[2] = {&figures.input.first, &figures.input.second};
    for (int i = 0; i < 2; ++i) {
        const Sighting& o = *sightings[i];
        SceneStation s;
        s.name = "point " + std::to_string(i + 1);
        s.latitude = o.latitude;
        s.longitude = o.longitude;
        s.azimuth = NormalizeAzimuth(trueAzimuth[i]);
        s.line = GeodesicPath(o.latitude, o.longitude, trueAzimuth[i],
                              BearingLineLength(o.latitude, o.longitude, figures.fix.latitude,
                                                figures.fix.longitude));
        scene.stations.push_back(std::move(s));
    }
    scene.geodesicFix = ScenePoint{"", figures.fix.latitude, figures.fix.longitude};
    if (figures.flatMeaningful) {
        scene.flatFix = ScenePoint{"", figures.flatLatitude, figures.flatLongitude};
    }
    return scene;
}

} // namespace

int RunPairMode(std::istream& in, std::FILE* out, std::FILE* err, const FixCliOptions& options) {
    const bool toFile = options.format != FixFormat::Lines;
    std::vector<FieldScene> scenes;
    bool failed = false;
    std::string line;
    long lineNumber = 0;
    while (ReadInputLine(in, line)) {
        ++lineNumber;
        if (SkippedLine(line)) {
            continue;
        }
        double n[6] = {};
        std::string reason;
        std::string answer;
        double azimuth[2] = {};
        // The flat fix takes the bearings as typed (the dialog's digits); only the geodesic
        // figures take them corrected, each at its own station.
        if (ParseCase(line, n, reason) &&
            TrueAzimuth(options, {"point 1", n[0], n[1], 0.0}, n[2], azimuth[0], reason) &&
            TrueAzimuth(options, {"point 2", n[3], n[4], 0.0}, n[5], azimuth[1], reason)) {
            CheckInput input;
            input.first = {n[0], n[1], n[2]};
            input.second = {n[3], n[4], n[5]};
            input.bearingError = options.withSpread ? options.spread : kNaN;
            input.declination = options.declination;
            const CheckFigures figures = RunCheck(input, azimuth[0], azimuth[1]);
            if (!figures.fix.Found()) {
                reason = FixStatusReason(figures.fix.status);
            } else if (toFile) {
                scenes.push_back(
                    PairScene("ligne " + std::to_string(lineNumber), figures, azimuth));
                continue;
            } else {
                answer = Answer(figures, options.withSpread);
            }
        }
        if (answer.empty()) {
            answer = "ERREUR ligne " + std::to_string(lineNumber) + " : " + reason;
            failed = true;
        }
        WriteAnswer(toFile ? err : out, std::move(answer));
    }
    if (toFile) {
        std::fputs(FieldDocument(options.format, scenes).c_str(), out);
        std::fflush(out);
    }
    return failed ? 1 : 0;
}

} // namespace ervalun::geodesy
