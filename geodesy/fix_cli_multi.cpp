// ervalun-fix --multi: one bearing a line, consecutive lines with the same id make one case, and
// each case is answered with the estimate of bearing_estimate.h as soon as it is complete.

#include "geodesy/fix_cli_options.h"
#include "geodesy/geodesic_check.h"

#include <utility>

namespace ervalun::geodesy {

namespace {

struct PendingCase {
    std::string id;
    std::vector<BearingInput> bearings;
    // Lines of the case that could not be read: the case then gets no estimate, as the bearings
    // left would not be the ones the user meant.
    std::vector<long> badLines;
    // Why a bearing could not be made true (the first such), which also costs the case.
    std::string correctionError;
};

// One bearing of a line ("id lat lon azimuth [sigma]"), or the reason it is none.
bool ParseBearing(const std::vector<std::string_view>& fields, BearingInput& bearing,
                  std::string& reason) {
    if (fields.size() != 4 && fields.size() != 5) {
        reason = "quatre ou cinq champs attendus (id lat lon azimut [sigma]), " +
                 FieldsRead(fields.size());
        return false;
    }
    double numbers[4] = {0.0, 0.0, 0.0, bearing.sigma};
    for (std::size_t i = 1; i < fields.size(); ++i) {
        if (!ReadNumber(fields[i], numbers[i - 1])) {
            reason = "« " + std::string(fields[i]) + " » n'est pas un nombre";
            return false;
        }
    }
    if (fields.size() == 5 && !(numbers[3] > 0.0)) {
        reason = "l'écart type « " + std::string(fields[4]) + " » n'est pas positif";
        return false;
    }
    bearing.latitude = numbers[0];
    bearing.longitude = numbers[1];
    bearing.azimuth = numbers[2];
    bearing.sigma = numbers[3];
    return true;
}

// "ligne 4 illisible", "lignes 4, 6 illisibles".
std::string BadLinesReason(const std::vector<long>& lines) {
    std::string text = lines.size() > 1 ? "lignes " : "ligne ";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        text += (i > 0 ? ", " : "") + std::to_string(lines[i]);
    }
    return text + (lines.size() > 1 ? " illisibles" : " illisible");
}

// The numbers (1-based, in the case's order) of the bearings that stand out, or "-".
std::string Flagged(const BearingEstimate& estimate) {
    std::string text;
    for (std::size_t i = 0; i < estimate.residuals.size(); ++i) {
        if (estimate.residuals[i].outlier) {
            text += (text.empty() ? "" : ",") + std::to_string(i + 1);
        }
    }
    return text.empty() ? "-" : text;
}

std::string Answer(const std::string& id, const BearingEstimate& e) {
    return id + " " + FormatFixed(e.latitude, 9) + " " + FormatFixed(e.longitude, 9) + " " +
           FormatFixed(e.sigmaEast, 3) + " " + FormatFixed(e.sigmaNorth, 3) + " " +
           FormatFixed(e.correlation, 6) + " " + FormatFixed(e.ellipse.semiMajor, 3) + " " +
           FormatFixed(e.ellipse.semiMinor, 3) + " " + FormatFixed(e.ellipse.majorAzimuth, 9) +
           " " + std::to_string(e.used) + " " + FormatFixed(e.kappa, 3) + " " + Flagged(e);
}

// The answer line of a complete case, or its scene when the output is a file; false when it is
// an error (line then says which).
bool Finish(const PendingCase& pending, const FixCliOptions& options, std::string& line,
            std::vector<FieldScene>& scenes) {
    std::string reason;
    if (!pending.badLines.empty()) {
        reason = BadLinesReason(pending.badLines);
    } else if (!pending.correctionError.empty()) {
        reason = pending.correctionError;
    } else {
        // The answer line has no use for each bearing's leave-one-out shift: n solutions saved.
        EstimateOptions estimateOptions = options.estimate;
        estimateOptions.leaveOneOut = false;
        const BearingEstimate estimate = EstimatePosition(pending.bearings, estimateOptions);
        if (estimate.Found() && options.format != FixFormat::Lines) {
            scenes.push_back(MakeFieldScene(pending.bearings, estimate));
            scenes.back().caseName = pending.id;
            return true;
        }
        if (estimate.Found()) {
            line = Answer(pending.id, estimate);
            return true;
        }
        reason = EstimateStatusReason(estimate.status);
    }
    line = "ERREUR cas " + pending.id + " : " + reason;
    return false;
}

} // namespace

int RunMultiMode(std::istream& in, std::FILE* out, std::FILE* err, const FixCliOptions& options) {
    const bool toFile = options.format != FixFormat::Lines;
    std::FILE* errors = toFile ? err : out;
    std::vector<FieldScene> scenes;
    bool failed = false;
    bool open = false;
    PendingCase pending;
    const auto finish = [&] {
        if (!open) {
            return;
        }
        std::string answer;
        failed = !Finish(pending, options, answer, scenes) || failed;
        if (!answer.empty()) {
            WriteAnswer(answer.starts_with("ERREUR") ? errors : out, std::move(answer));
        }
        pending = PendingCase();
        open = false;
    };

    std::string line;
    long lineNumber = 0;
    while (ReadInputLine(in, line)) {
        ++lineNumber;
        if (SkippedLine(line)) {
            continue;
        }
        const std::vector<std::string_view> fields = SplitFields(line);
        // A line that cannot be read still has its id: it belongs to that case.
        if (open && fields[0] != pending.id) {
            finish();
        }
        if (!open) {
            pending.id = std::string(fields[0]);
            open = true;
        }
        BearingInput bearing;
        bearing.name = "ligne " + std::to_string(lineNumber);
        std::string reason;
        if (!ParseBearing(fields, bearing, reason)) {
            pending.badLines.push_back(lineNumber);
            failed = true;
            WriteAnswer(errors, "ERREUR ligne " + std::to_string(lineNumber) + " : " + reason);
            continue;
        }
        const Station station{bearing.name, bearing.latitude, bearing.longitude, 0.0};
        if (!TrueAzimuth(options, station, bearing.azimuth, bearing.azimuth, reason)) {
            if (pending.correctionError.empty()) {
                pending.correctionError = reason;
            }
            continue;
        }
        pending.bearings.push_back(std::move(bearing));
    }
    finish();
    if (toFile) {
        std::fputs(FieldDocument(options.format, scenes).c_str(), out);
        std::fflush(out);
    }
    return failed ? 1 : 0;
}

} // namespace ervalun::geodesy
