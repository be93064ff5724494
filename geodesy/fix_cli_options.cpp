#include "geodesy/fix_cli_options.h"

#include "data/whole_number.h"
#include "geodesy/fix_cli_north.h"

#include <cmath>

namespace ervalun::geodesy {

namespace {

enum class Applies { Both, Pair, Multi, At };

using Apply = bool (*)(FixCliOptions&, const char* const* values, std::string& message);

// One option: its name, how many words follow it, the mode it belongs to, and what it sets.
struct OptionRow {
    std::string_view name;
    int values;
    Applies applies;
    Apply apply;
};

bool Number(const char* word, double& value, std::string& message) {
    if (!ReadNumber(word, value)) {
        message = std::string("« ") + word + " » n'est pas un nombre";
        return false;
    }
    return true;
}

bool Positive(const char* option, const char* word, double& value, std::string& message) {
    if (!Number(word, value, message)) {
        return false;
    }
    if (!(value > 0.0)) {
        message = std::string(option) + " attend un nombre positif, pas « " + word + " »";
        return false;
    }
    return true;
}

bool SetMulti(FixCliOptions& o, const char* const*, std::string&) {
    o.mode = FixMode::Multi;
    return true;
}

bool SetSpread(FixCliOptions& o, const char* const* v, std::string& message) {
    o.withSpread = true;
    return Number(v[0], o.spread, message);
}

bool SetDeclination(FixCliOptions& o, const char* const* v, std::string& message) {
    return Number(v[0], o.declination, message);
}

bool SetEstimator(FixCliOptions& o, const char* const* v, std::string& message) {
    const std::string_view name = v[0];
    if (name == "mle") {
        o.estimate.estimator = Estimator::MaximumLikelihood;
    } else if (name == "huber") {
        o.estimate.estimator = Estimator::Huber;
    } else if (name == "andrews") {
        o.estimate.estimator = Estimator::Andrews;
    } else {
        message = std::string("estimateur inconnu « ") + v[0] + " » (mle, huber ou andrews)";
        return false;
    }
    return true;
}

bool SetTuning(FixCliOptions& o, const char* const* v, std::string& message) {
    return Positive("--tuning", v[0], o.estimate.tuning, message);
}

bool SetSigma(FixCliOptions& o, const char* const* v, std::string& message) {
    return Positive("--sigma", v[0], o.estimate.defaultSigma, message);
}

bool SetEstimateSigma(FixCliOptions& o, const char* const*, std::string&) {
    o.estimate.estimateSigma = true;
    return true;
}

// 0.95 and 95 both mean 95 %: a value above 1 is a percentage. 1 itself is refused, as either
// reading (1 %, or a certainty no ellipse gives) is surely not what was meant.
bool SetConfidence(FixCliOptions& o, const char* const* v, std::string& message) {
    double level = 0.0;
    if (!Number(v[0], level, message)) {
        return false;
    }
    if (level > 1.0 && level < 100.0) {
        level /= 100.0;
    } else if (!(level > 0.0 && level < 1.0)) {
        message = std::string("niveau de confiance « ") + v[0] +
                  " » hors limites (entre 0 et 1, ou entre 1 et 100 pour un pourcentage)";
        return false;
    }
    o.estimate.confidence = level;
    return true;
}

bool SetNorth(FixCliOptions& o, const char* const* v, std::string& message) {
    const std::optional<NorthReference> north = ParseCliWord(v[0]);
    if (!north) {
        message = std::string("nord inconnu « ") + v[0] + " » (true, magnetic, l93 ou utm)";
        return false;
    }
    o.north = *north;
    return true;
}

bool SetDate(FixCliOptions& o, const char* const* v, std::string& message) {
    o.date = ParseIsoDate(v[0], message);
    return o.date.has_value();
}

bool SetFormat(FixCliOptions& o, const char* const* v, std::string& message) {
    const std::string_view name = v[0];
    if (name == "gpx") {
        o.format = FixFormat::Gpx;
    } else if (name == "kml") {
        o.format = FixFormat::Kml;
    } else if (name == "geojson") {
        o.format = FixFormat::GeoJson;
    } else {
        message = std::string("format inconnu « ") + v[0] + " » (gpx, kml ou geojson)";
        return false;
    }
    return true;
}

bool SetDeclinationAt(FixCliOptions& o, const char* const* v, std::string& message) {
    o.mode = FixMode::DeclinationAt;
    return Number(v[0], o.atLatitude, message) && Number(v[1], o.atLongitude, message);
}

constexpr OptionRow kOptions[] = {
    {"--multi", 0, Applies::Both, SetMulti},
    {"--declination", 1, Applies::Both, SetDeclination},
    {"--north", 1, Applies::Both, SetNorth},
    {"--date", 1, Applies::Both, SetDate},
    {"--format", 1, Applies::Both, SetFormat},
    {"--declination-at", 2, Applies::At, SetDeclinationAt},
    {"--spread", 1, Applies::Pair, SetSpread},
    {"--estimator", 1, Applies::Multi, SetEstimator},
    {"--tuning", 1, Applies::Multi, SetTuning},
    {"--sigma", 1, Applies::Multi, SetSigma},
    {"--estimate-sigma", 0, Applies::Multi, SetEstimateSigma},
    {"--confidence", 1, Applies::Multi, SetConfidence},
};

const OptionRow* Find(std::string_view name) {
    for (const OptionRow& row : kOptions) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

bool Given(const std::vector<const OptionRow*>& seen, std::string_view name) {
    for (const OptionRow* row : seen) {
        if (row->name == name) {
            return true;
        }
    }
    return false;
}

// The options that make no sense together, or alone; false with the reason.
bool Consistent(const std::vector<const OptionRow*>& seen, const FixCliOptions& options,
                std::string& message) {
    if (Given(seen, "--declination-at")) {
        for (const OptionRow* row : seen) {
            if (row->name != "--declination-at" && row->name != "--date") {
                message = std::string(row->name) + " ne se combine pas avec --declination-at";
                return false;
            }
        }
        return true;
    }
    for (const OptionRow* row : seen) {
        if (row->applies == Applies::Pair && options.mode == FixMode::Multi) {
            message = std::string(row->name) + " ne vaut que pour deux relèvements (sans --multi)";
            return false;
        }
        if (row->applies == Applies::Multi && options.mode == FixMode::Pair) {
            message = std::string(row->name) + " ne vaut qu'avec --multi";
            return false;
        }
    }
    // A fixed declination and a north of its own would correct each bearing twice.
    if (Given(seen, "--declination") && options.north != NorthReference::True) {
        message = "--declination et --north " + std::string(CliWord(options.north)) +
                  " s'excluent : --declination corrige déjà chaque azimut ; avec --north " +
                  "magnetic, la déclinaison vient du modèle magnétique à la date --date";
        return false;
    }
    // A date that changes nothing is surely a forgotten --north magnetic.
    if (Given(seen, "--date") && options.north != NorthReference::Magnetic) {
        message = "--date ne vaut qu'avec --north magnetic ou --declination-at";
        return false;
    }
    return true;
}

} // namespace

ParseOutcome ParseFixCliOptions(int argc, const char* const argv[], FixCliOptions& options,
                                std::string& message) {
    // Options of one mode given with the other are refused after the whole line is read, as
    // --multi may come last.
    std::vector<const OptionRow*> seen;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return ParseOutcome::Help;
        }
        const OptionRow* row = Find(arg);
        if (row == nullptr) {
            message = "option inconnue " + std::string(arg) + " (voir --help)";
            return ParseOutcome::Error;
        }
        if (argc - 1 - i < row->values) {
            message = "valeur manquante après " + std::string(arg);
            return ParseOutcome::Error;
        }
        if (!row->apply(options, argv + i + 1, message)) {
            return ParseOutcome::Error;
        }
        i += row->values;
        seen.push_back(row);
    }
    return Consistent(seen, options, message) ? ParseOutcome::Run : ParseOutcome::Error;
}

bool ReadNumber(std::string_view word, double& value) {
    // A value too small for a double reads as 0; an infinity or a NaN is no number.
    return ParseWholeReal(word, value);
}

std::vector<std::string_view> SplitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            ++i;
        }
        if (i > start) {
            fields.push_back(line.substr(start, i - start));
        }
    }
    return fields;
}

bool SkippedLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

std::string FieldsRead(std::size_t count) {
    const bool plural = count > 1;
    return std::to_string(count) + " champ" + (plural ? "s" : "") + " lu" + (plural ? "s" : "");
}

bool ReadInputLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return true;
}

bool TrueAzimuth(const FixCliOptions& options, const Station& station, double azimuth,
                 double& trueAzimuth, std::string& reason) {
    if (options.north == NorthReference::True) {
        // As before --north: the bearing plus --declination, not brought into [0, 360), so that
        // the answers keep their last digit.
        trueAzimuth = azimuth + options.declination;
        return true;
    }
    const NorthCorrection c =
        ToTrueNorth(azimuth, options.north, station, options.date ? *options.date : TodayLocal());
    if (!c.ok) {
        reason = c.text;
        return false;
    }
    trueAzimuth = c.azimuth;
    return true;
}

std::string FieldDocument(FixFormat format, const std::vector<FieldScene>& scenes) {
    const std::string title = "ervalun-fix";
    switch (format) {
    case FixFormat::Gpx:
        return GpxCasesText(scenes, title);
    case FixFormat::Kml:
        return KmlCasesText(scenes, title);
    case FixFormat::GeoJson:
        return GeoJsonCasesText(scenes, title);
    case FixFormat::Lines:
        break;
    }
    return {};
}

void WriteAnswer(std::FILE* out, std::string line) {
    line += '\n';
    std::fputs(line.c_str(), out);
    std::fflush(out);
}

} // namespace ervalun::geodesy
