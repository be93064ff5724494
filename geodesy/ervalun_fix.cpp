// ervalun-fix: the flat fix of the dialog and the geodesic fix of the same two bearings, one case
// a line, in the manner of the geodesy command-line tools. "ervalun-fix --help" says how.

#include "data/whole_number.h"
#include "geodesy/geodesic_check.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;

constexpr const char* kHelp =
    "Usage : ervalun-fix [--spread E] [--declination D] [--help]\n"
    "\n"
    "Lit sur l'entrée standard un cas par ligne :\n"
    "  lat1 lon1 azi1 lat2 lon2 azi2\n"
    "en degrés décimaux signés (nord et est positifs) : la position de chaque point "
    "d'observation\n"
    "et l'azimut relevé en ce point (degrés depuis le nord, sens des aiguilles d'une montre).\n"
    "Les lignes vides et celles qui commencent par # sont ignorées.\n"
    "\n"
    "Écrit une ligne par cas :\n"
    "  lat lon flat_lat flat_lon offset_m dist1_m dist2_m crossing_deg\n"
    "  lat lon         le point géodésique : intersection des deux géodésiques sur "
    "l'ellipsoïde WGS84\n"
    "                  (lignes entières ; de leurs croisements, le plus proche des "
    "observateurs)\n"
    "  flat_lat flat_lon  le point du calcul plan d'Ervalun (les chiffres du dialogue)\n"
    "  offset_m        distance géodésique entre les deux points (nan si le point plan est\n"
    "                  au-delà d'un pôle)\n"
    "  dist1_m dist2_m distance de chaque point d'observation au point géodésique\n"
    "  crossing_deg    angle d'intersection des deux lignes (0 à 90)\n"
    "Degrés avec 9 décimales, mètres avec 3, toujours avec un point décimal.\n"
    "\n"
    "Options :\n"
    "  --spread E       ajoute une dernière colonne spread_m : la plus grande distance entre le\n"
    "                   point géodésique et les quatre points obtenus en déplaçant chaque "
    "azimut\n"
    "                   de plus ou moins E degrés (inf si les lignes deviennent parallèles)\n"
    "  --declination D  déclinaison magnétique en degrés (est positif), ajoutée aux deux "
    "azimuts\n"
    "                   pour le calcul géodésique seulement\n"
    "  --help           affiche cette aide\n"
    "\n"
    "Une ligne qui n'est pas faite de six nombres, ou un cas sans point géodésique, donne la "
    "ligne\n"
    "  ERREUR ligne N : <raison>\n"
    "et le code de sortie est alors 1 (0 si tous les cas ont un point, 2 pour une option "
    "incorrecte).\n";

std::vector<std::string_view> Fields(std::string_view line) {
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

// The case of one line, or the reason it is none.
bool ParseCase(std::string_view line, double (&numbers)[6], std::string& reason) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 6) {
        reason = "six nombres attendus, " + std::to_string(fields.size()) + " champ" +
                 (fields.size() > 1 ? "s" : "") + " lu" + (fields.size() > 1 ? "s" : "");
        return false;
    }
    for (std::size_t i = 0; i < 6; ++i) {
        // As the calibration file's numbers: C notation whatever the locale, finite, and a
        // value too small for a double reads as 0.
        if (!ervalun::ParseWholeReal(std::string(fields[i]), numbers[i])) {
            reason = "« " + std::string(fields[i]) + " » n'est pas un nombre";
            return false;
        }
    }
    return true;
}

bool OptionValue(int argc, char* argv[], int& i, double& value) {
    if (i + 1 >= argc) {
        std::fprintf(stderr, "ervalun-fix : valeur manquante après %s\n", argv[i]);
        return false;
    }
    ++i;
    if (!ervalun::ParseWholeReal(argv[i], value)) {
        std::fprintf(stderr, "ervalun-fix : « %s » n'est pas un nombre\n", argv[i]);
        return false;
    }
    return true;
}

bool Blank(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

} // namespace

int main(int argc, char* argv[]) {
    // The user's locale, as the dialog takes it; numbers never go through it.
    std::setlocale(LC_ALL, "");
    bool withSpread = false;
    double spread = 0.0;
    double declination = 0.0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (arg == "--spread") {
            if (!OptionValue(argc, argv, i, spread)) {
                return 2;
            }
            withSpread = true;
        } else if (arg == "--declination") {
            if (!OptionValue(argc, argv, i, declination)) {
                return 2;
            }
        } else {
            std::fprintf(stderr, "ervalun-fix : option inconnue %s (voir --help)\n", argv[i]);
            return 2;
        }
    }

    bool failed = false;
    std::string line;
    long lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (Blank(line)) {
            continue;
        }
        double n[6] = {};
        std::string reason;
        std::string out;
        if (ParseCase(line, n, reason)) {
            geodesy::CheckInput input;
            input.first = {n[0], n[1], n[2]};
            input.second = {n[3], n[4], n[5]};
            input.bearingError = withSpread ? spread : geodesy::kNaN;
            input.declination = declination;
            const geodesy::CheckFigures figures = geodesy::RunCheck(input);
            if (figures.fix.Found()) {
                using geodesy::FormatFixed;
                out = FormatFixed(figures.fix.latitude, 9) + " " +
                      FormatFixed(figures.fix.longitude, 9) + " " +
                      FormatFixed(figures.flatLatitude, 9) + " " +
                      FormatFixed(figures.flatLongitude, 9) + " " + FormatFixed(figures.offset, 3) +
                      " " + FormatFixed(figures.fix.distance1, 3) + " " +
                      FormatFixed(figures.fix.distance2, 3) + " " +
                      FormatFixed(figures.fix.crossingAngle, 9);
                if (withSpread) {
                    out += " " + FormatFixed(figures.spread, 3);
                }
            } else {
                reason = geodesy::FixStatusReason(figures.fix.status);
            }
        }
        if (out.empty()) {
            out = "ERREUR ligne " + std::to_string(lineNumber) + " : " + reason;
            failed = true;
        }
        out += '\n';
        std::fputs(out.c_str(), stdout);
        // One answer per question, at once, so that a program can talk to the tool line by line.
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
