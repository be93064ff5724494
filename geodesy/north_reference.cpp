#include "geodesy/north_reference.h"

#include "geodesy/grid_convergence.h"

#include <array>
#include <cmath>
#include <utility>

namespace ervalun::geodesy {

namespace {

struct Names {
    NorthReference reference;
    std::string_view french;
    std::string_view cli;
};

constexpr std::array<Names, 4> kNames = {{
    {NorthReference::True, "vrai", "true"},
    {NorthReference::Magnetic, "magnétique", "magnetic"},
    {NorthReference::Lambert93, "Lambert 93", "l93"},
    {NorthReference::Utm, "UTM", "utm"},
}};

bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string Prefix(const Station& station) {
    return station.name.empty() ? std::string() : station.name + " : ";
}

} // namespace

std::string_view FrenchName(NorthReference reference) {
    for (const Names& names : kNames) {
        if (names.reference == reference) {
            return names.french;
        }
    }
    return {};
}

std::optional<NorthReference> ParseFrenchName(std::string_view text) {
    for (const Names& names : kNames) {
        if (SameIgnoringAsciiCase(text, names.french)) {
            return names.reference;
        }
    }
    if (SameIgnoringAsciiCase(text, "magnetique")) {
        return NorthReference::Magnetic;
    }
    return std::nullopt;
}

std::string_view CliWord(NorthReference reference) {
    for (const Names& names : kNames) {
        if (names.reference == reference) {
            return names.cli;
        }
    }
    return {};
}

std::optional<NorthReference> ParseCliWord(std::string_view word) {
    for (const Names& names : kNames) {
        if (word == names.cli) {
            return names.reference;
        }
    }
    return std::nullopt;
}

double NormalizeAzimuth(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0.0) {
        a += 360.0;
    }
    // A tiny negative value turns into 360 itself.
    return a >= 360.0 ? 0.0 : a;
}

std::string FormatSignedDegreesFr(double degrees) {
    const long tenths = std::lround(degrees * 10.0);
    std::string text;
    if (tenths > 0) {
        text = "+";
    } else if (tenths < 0) {
        text = "\u2212";
    }
    const long magnitude = tenths < 0 ? -tenths : tenths;
    return text + std::to_string(magnitude / 10) + "," + std::to_string(magnitude % 10) + "°";
}

NorthCorrection CorrectionToTrue(NorthReference reference, const Station& station,
                                 const CalendarDate& date) {
    NorthCorrection result;
    switch (reference) {
    case NorthReference::True:
        result.ok = true;
        result.correction = 0.0;
        result.text = Prefix(station) + "nord vrai, aucune correction";
        return result;
    case NorthReference::Magnetic: {
        const DeclinationResult d =
            DeclinationAt(station.latitude, station.longitude, date, station.height);
        if (!d.degrees) {
            result.text = Prefix(station) + d.error;
            return result;
        }
        result.ok = true;
        result.correction = *d.degrees;
        result.text = Prefix(station) + "déclinaison " + FormatSignedDegreesFr(*d.degrees) + " (" +
                      d.modelName + ", " + FormatDateFr(date) + ")";
        return result;
    }
    case NorthReference::Lambert93:
    case NorthReference::Utm: {
        const bool lambert = reference == NorthReference::Lambert93;
        const GridConvergence c = lambert
                                      ? Lambert93Convergence(station.latitude, station.longitude)
                                      : UtmConvergence(station.latitude, station.longitude);
        if (std::isnan(c.degrees)) {
            result.text = Prefix(station) + c.reason;
            return result;
        }
        result.ok = true;
        result.correction = c.degrees;
        result.text = Prefix(station) + "convergence " + std::string(FrenchName(reference)) + " " +
                      FormatSignedDegreesFr(c.degrees);
        if (!lambert) {
            result.text += " (zone " + std::to_string(c.zone) + (c.north ? "N" : "S") + ")";
        }
        return result;
    }
    }
    return result;
}

NorthCorrection ToTrueNorth(double azimuth, NorthReference reference, const Station& station,
                            const CalendarDate& date) {
    NorthCorrection result = CorrectionToTrue(reference, station, date);
    if (result.ok && !std::isfinite(azimuth)) {
        result.ok = false;
        result.text = Prefix(station) + "azimut incorrect";
    } else if (result.ok) {
        result.azimuth = NormalizeAzimuth(azimuth + result.correction);
    }
    return result;
}

NorthCorrection FromTrueNorth(double trueAzimuth, NorthReference reference, const Station& station,
                              const CalendarDate& date) {
    NorthCorrection result = CorrectionToTrue(reference, station, date);
    if (result.ok && !std::isfinite(trueAzimuth)) {
        result.ok = false;
        result.text = Prefix(station) + "azimut incorrect";
    } else if (result.ok) {
        result.azimuth = NormalizeAzimuth(trueAzimuth - result.correction);
    }
    return result;
}

} // namespace ervalun::geodesy
