#include "geodesy/geodesic_check.h"

#include "engine/solver.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace ervalun::geodesy {

namespace {

using GeographicLib::Geodesic;
using GeographicLib::Math;

Dms DmsOfSigned(double value) {
    return {std::fabs(value), 0.0, 0.0, std::signbit(value) ? 1 : 0};
}

std::string Ordinal(int observer) {
    return observer == 1 ? "1er" : "2e";
}

} // namespace

FlatPoint FlatFix(const Sighting& first, const Sighting& second) {
    // Each signed value as whole degrees with its hemisphere flag: with 0 minutes and 0 seconds
    // the solver converts it back to exactly the same value.
    const auto point = [](const Sighting& o) {
        return ::Observation{DmsOfSigned(o.longitude), DmsOfSigned(o.latitude), o.azimuth};
    };
    const Fix fix = ::Triangulate(point(first), point(second));
    return {fix.point.Y(), fix.point.X()};
}

double Spread(const Sighting& first, const Sighting& second, const GeodesicFix& fix,
              double bearingError) {
    if (!fix.Found() || !std::isfinite(bearingError)) {
        return kNaN;
    }
    const double error = std::fabs(bearingError);
    const Geodesic& earth = Geodesic::WGS84();
    double largest = 0.0;
    for (int moved = 0; moved < 2; ++moved) {
        for (double sign : {1.0, -1.0}) {
            Sighting a = first;
            Sighting b = second;
            (moved == 0 ? a : b).azimuth += sign * error;
            const GeodesicFix other = IntersectBearings(a, b);
            if (!other.Found()) {
                return std::numeric_limits<double>::infinity();
            }
            double s12 = 0.0;
            earth.Inverse(fix.latitude, fix.longitude, other.latitude, other.longitude, s12);
            largest = std::max(largest, s12);
        }
    }
    return largest;
}

CheckFigures RunCheck(const CheckInput& input) {
    const double declination = std::isfinite(input.declination) ? input.declination : 0.0;
    return RunCheck(input, input.first.azimuth + declination, input.second.azimuth + declination);
}

CheckFigures RunCheck(const CheckInput& input, double trueAzimuth1, double trueAzimuth2) {
    CheckFigures figures;
    figures.input = input;

    const FlatPoint flat = FlatFix(input.first, input.second);
    figures.flatLatitude = flat.latitude;
    figures.flatLongitude = flat.longitude;
    figures.flatMeaningful = std::isfinite(flat.latitude) && std::isfinite(flat.longitude) &&
                             std::fabs(flat.latitude) <= 90 &&
                             std::fabs(input.first.longitude - input.second.longitude) <= 180;

    Sighting first = input.first;
    Sighting second = input.second;
    first.azimuth = trueAzimuth1;
    second.azimuth = trueAzimuth2;
    figures.fix = IntersectBearings(first, second);
    if (!figures.fix.Found()) {
        return figures;
    }

    const Geodesic& earth = Geodesic::WGS84();
    if (std::isfinite(flat.latitude) && std::isfinite(flat.longitude) &&
        std::fabs(flat.latitude) <= 90) {
        double s12 = 0.0, azi1 = 0.0, azi2 = 0.0;
        earth.Inverse(flat.latitude, flat.longitude, figures.fix.latitude, figures.fix.longitude,
                      s12, azi1, azi2);
        figures.offset = s12;
        // A direction means nothing between two points a micrometre apart.
        figures.offsetAzimuth = s12 > 1e-6 ? (azi1 < 0 ? azi1 + 360 : azi1) : kNaN;
    }
    figures.spread = Spread(first, second, figures.fix, input.bearingError);
    if (input.known && std::fabs(input.known->latitude) <= 90 &&
        std::isfinite(input.known->longitude)) {
        double s12 = 0.0;
        earth.Inverse(figures.fix.latitude, figures.fix.longitude, input.known->latitude,
                      input.known->longitude, s12);
        figures.knownDistance = s12;
    }
    return figures;
}

std::vector<std::string> Verdict(const CheckFigures& figures) {
    std::vector<std::string> lines;
    const GeodesicFix& fix = figures.fix;
    if (!fix.Found()) {
        lines.push_back("Pas de point géodésique : " + FixStatusReason(fix.status) + ".");
    } else if (figures.flatMeaningful) {
        lines.push_back("Écart entre le calcul plan et le calcul géodésique : " +
                        FormatDistance(figures.offset));
    }
    if (!figures.flatMeaningful) {
        if (std::isfinite(figures.flatLatitude) && std::fabs(figures.flatLatitude) > 90) {
            lines.push_back("Le calcul plan n'a pas de sens ici : son point est au-delà d'un pôle "
                            "(latitude " +
                            FormatFixed(figures.flatLatitude, 3) + ").");
        } else if (std::fabs(figures.input.first.longitude - figures.input.second.longitude) >
                   180) {
            lines.push_back("Le calcul plan n'a pas de sens ici : les longitudes des deux points "
                            "diffèrent de plus de 180 degrés, et le plan longitude/latitude, "
                            "coupé au 180e méridien, les relie par l'autre côté du monde.");
        } else {
            lines.push_back("Le calcul plan ne donne aucun point.");
        }
        if (fix.Found() && std::isfinite(figures.offset)) {
            lines.push_back("Écart entre le calcul plan et le calcul géodésique : " +
                            FormatDistance(figures.offset));
        }
    }
    if (!fix.Found()) {
        return lines;
    }
    if (fix.crossingAngle < kLowCrossingAngle) {
        lines.push_back("Attention : angle d'intersection faible (" +
                        FormatFixed(fix.crossingAngle, 1) +
                        "°) : une petite erreur d'azimut déplace beaucoup le point.");
    }
    for (int observer = 1; observer <= 2; ++observer) {
        if (observer == 1 ? fix.behind1 : fix.behind2) {
            lines.push_back("Attention : le point est derrière le " + Ordinal(observer) +
                            " point d'observation, à l'opposé de l'azimut relevé.");
        }
    }
    if (std::isinf(figures.spread)) {
        lines.push_back("Attention : avec une erreur d'azimut de " +
                        FormatFixed(std::fabs(figures.input.bearingError), 1) +
                        "°, les lignes peuvent devenir parallèles : le point n'est pas borné.");
    }
    if (figures.input.declination != 0 && std::isfinite(figures.input.declination)) {
        lines.push_back("Déclinaison de " + FormatFixed(std::fabs(figures.input.declination), 2) +
                        "° " + (figures.input.declination > 0 ? "est" : "ouest") +
                        " ajoutée aux deux azimuts pour ce contrôle.");
    }
    return lines;
}

std::string FormatFixed(double value, int decimals) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    std::string text(buffer.data(), result.ptr);
    // "-0.000" says nothing that "0.000" does not.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) {
        text.erase(0, 1);
    }
    return text;
}

std::string FormatDistance(double metres) {
    if (!std::isfinite(metres)) {
        return "—";
    }
    if (metres < 10) {
        return FormatFixed(metres, 2) + " m";
    }
    if (metres < 999.5) {
        return FormatFixed(metres, 0) + " m";
    }
    if (metres < 99995) {
        return FormatFixed(metres / 1000, 2) + " km";
    }
    return FormatFixed(metres / 1000, 0) + " km";
}

std::string FormatDms(double degrees, bool latitude) {
    if (!std::isfinite(degrees)) {
        return "—";
    }
    const char* letter = latitude ? (degrees < 0 ? "S" : "N") : (degrees < 0 ? "O" : "E");
    // Rounded once, to the thousandth of a second, so that 59.9996" carries into the minute.
    const auto total = static_cast<std::int64_t>(std::llround(std::fabs(degrees) * 3600000.0));
    const std::int64_t whole = total / 3600000;
    const std::int64_t minutes = (total / 60000) % 60;
    const std::int64_t milli = total % 60000;
    std::string seconds = std::to_string(milli / 1000) + ".";
    const std::string fraction = std::to_string(milli % 1000);
    seconds += std::string(3 - fraction.size(), '0') + fraction;
    return std::to_string(whole) + "° " + std::to_string(minutes) + "' " + seconds + "\" " + letter;
}

double WrapLongitude(double longitude) {
    return Math::AngNormalize(longitude);
}

} // namespace ervalun::geodesy
