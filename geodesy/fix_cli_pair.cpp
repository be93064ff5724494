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

} // namespace

int RunPairMode(std::istream& in, std::FILE* out, const FixCliOptions& options) {
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
        if (ParseCase(line, n, reason)) {
            CheckInput input;
            input.first = {n[0], n[1], n[2]};
            input.second = {n[3], n[4], n[5]};
            input.bearingError = options.withSpread ? options.spread : kNaN;
            input.declination = options.declination;
            const CheckFigures figures = RunCheck(input);
            if (figures.fix.Found()) {
                answer = Answer(figures, options.withSpread);
            } else {
                reason = FixStatusReason(figures.fix.status);
            }
        }
        if (answer.empty()) {
            answer = "ERREUR ligne " + std::to_string(lineNumber) + " : " + reason;
            failed = true;
        }
        WriteAnswer(out, std::move(answer));
    }
    return failed ? 1 : 0;
}

} // namespace ervalun::geodesy
