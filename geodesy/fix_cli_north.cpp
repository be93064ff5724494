#include "geodesy/fix_cli_north.h"

#include "geodesy/grid_convergence.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace ervalun::geodesy {

const char* const kDeclinationAtHelp =
    "  --declination-at LAT LON [--date AAAA-MM-JJ]\n"
    "                   écrit « declination_deg convergence_l93_deg convergence_utm_deg » :\n"
    "                   la déclinaison du modèle WMM2025 (est positif) et la convergence des\n"
    "                   quadrillages Lambert 93 et UTM (angle du nord vrai au nord du\n"
    "                   quadrillage, sens des aiguilles d'une montre), 6 décimales, nan hors\n"
    "                   du quadrillage ; la date est celle du jour par défaut\n";

namespace {

std::string Fixed6(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return ec == std::errc() ? std::string(buffer, end) : std::string("nan");
}

bool Digits(std::string_view text, int& value) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

} // namespace

std::optional<CalendarDate> ParseIsoDate(std::string_view text, std::string& reason) {
    CalendarDate date;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
        !Digits(text.substr(0, 4), date.year) || !Digits(text.substr(5, 2), date.month) ||
        !Digits(text.substr(8, 2), date.day)) {
        reason = "date attendue sous la forme AAAA-MM-JJ : « " + std::string(text) + " »";
        return std::nullopt;
    }
    if (!IsValidDate(date)) {
        reason = "date impossible : « " + std::string(text) + " »";
        return std::nullopt;
    }
    return date;
}

int RunDeclinationAt(double latitude, double longitude, std::optional<CalendarDate> date,
                     std::FILE* out, std::FILE* err) {
    if (!(std::fabs(latitude) <= 90.0) || !(std::fabs(longitude) <= 540.0)) {
        std::fputs("ervalun-fix : position incorrecte (latitude de -90 à 90, longitude en "
                   "degrés décimaux)\n",
                   err);
        return 2;
    }
    const CalendarDate when = date ? *date : TodayLocal();
    const DeclinationResult declination = DeclinationAt(latitude, longitude, when);
    if (!declination.degrees) {
        std::fprintf(out, "ERREUR %s\n", declination.error.c_str());
        return 1;
    }
    const std::string line = Fixed6(*declination.degrees) + " " +
                             Fixed6(Lambert93Convergence(latitude, longitude).degrees) + " " +
                             Fixed6(UtmConvergence(latitude, longitude).degrees) + "\n";
    std::fputs(line.c_str(), out);
    return 0;
}

} // namespace ervalun::geodesy
