// The French texts of the many-bearing estimate: why there is none, and its warnings.
#include "geodesy/bearing_estimate.h"

#include <array>
#include <charconv>
#include <cmath>

namespace ervalun::geodesy {

namespace {

// A number with the decimal point whatever the locale.
std::string Fixed(double value, int decimals) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        return "?";
    }
    return std::string(buffer.data(), result.ptr);
}

// The names of the rows that match, "« A », « B »", or the row numbers of unnamed ones; count
// says how many.
template <class Match> std::string Rows(const BearingEstimate& estimate, Match match, int& count) {
    std::string list;
    count = 0;
    for (std::size_t row = 0; row < estimate.residuals.size(); ++row) {
        const BearingResidual& r = estimate.residuals[row];
        if (!match(r)) {
            continue;
        }
        if (!list.empty()) {
            list += ", ";
        }
        if (r.name.empty()) {
            list += "n° ";
            list += std::to_string(row + 1);
        } else {
            list += "« ";
            list += r.name;
            list += " »";
        }
        ++count;
    }
    return list;
}

} // namespace

std::string EstimateStatusReason(EstimateStatus status) {
    switch (status) {
    case EstimateStatus::Found:
        return {};
    case EstimateStatus::TooFew:
        return "moins de deux relèvements utilisables";
    case EstimateStatus::NotFinite:
        return "valeur non finie ou hors limites (latitude au-delà de 90 degrés, écart type ou "
               "niveau de confiance non valide)";
    case EstimateStatus::OnePlace:
        return "tous les relèvements sont pris du même endroit";
    case EstimateStatus::Parallel:
        return "lignes parallèles ou confondues : elles ne se croisent pas, ou seulement très loin "
               "(l'estimation part à l'infini)";
    case EstimateStatus::NoConvergence:
        return "le calcul ne converge pas (lignes presque parallèles)";
    case EstimateStatus::TooFewForSigma:
        return "l'écart type tiré des résidus demande au moins quatre relèvements";
    }
    return {};
}

std::vector<std::string> EstimateWarnings(const BearingEstimate& estimate) {
    std::vector<std::string> warnings;
    if (!estimate.Found()) {
        return warnings;
    }
    const GeometryFlags& f = estimate.flags;
    int count = 0;
    if (f.behind) {
        const std::string rows = Rows(
            estimate, [](const BearingResidual& r) { return r.used && r.behind; }, count);
        warnings.push_back(count > 1 ? "Relèvements opposés : la position estimée est derrière les "
                                       "stations " +
                                           rows + " ; vérifier le sens des relèvements."
                                     : "Relèvement opposé : la position estimée est derrière la "
                                       "station " +
                                           rows + " ; vérifier le sens du relèvement.");
    }
    if (f.outliers) {
        const std::string rows = Rows(
            estimate, [](const BearingResidual& r) { return r.used && r.outlier; }, count);
        warnings.push_back(count > 1 ? "Relèvements aberrants : " + rows +
                                           " s'écartent de plus de 3 écarts types ou ont été "
                                           "écartés par l'estimateur robuste."
                                     : "Relèvement aberrant : " + rows +
                                           " s'écarte de plus de 3 écarts types ou a été écarté "
                                           "par l'estimateur robuste.");
    }
    if (f.residualsLarge) {
        warnings.push_back("Résidus bien plus grands qu'annoncé : l'écart type tiré des résidus "
                           "est de " +
                           Fixed(estimate.sigma, 1) +
                           "° ; un relèvement est peut-être faux (essayer l'estimateur "
                           "d'Andrews).");
    }
    if (f.narrowSpread) {
        warnings.push_back("Stations peu dispersées vues de la cible (" +
                           Fixed(estimate.stationSpread, 1) +
                           "°) : l'ellipse sous-estime la surface d'incertitude, surtout en "
                           "distance.");
    }
    if (f.lowCrossing) {
        warnings.push_back("Angles d'intersection faibles : aucune paire de lignes ne se croise "
                           "à 30° ou plus (au mieux " +
                           Fixed(estimate.bestCrossingAngle, 1) + "°).");
    }
    if (f.ellipseBeyondStation) {
        warnings.push_back("Le grand demi-axe de l'ellipse (" +
                           Fixed(estimate.ellipse.semiMajor, 0) +
                           " m) dépasse la distance à la station la plus proche.");
    }
    return warnings;
}

} // namespace ervalun::geodesy
