#include "geodesy/grid_convergence.h"

#include <GeographicLib/UTMUPS.hpp>

#include <proj.h>

#include <cmath>
#include <exception>

namespace ervalun::geodesy {

namespace {

constexpr double kPi = 3.14159265358979323846;

// PROJ's objects for one thread: a context is not to be shared between threads.
class Lambert93 {
public:
    Lambert93() {
        context_ = proj_context_create();
        if (!context_) {
            return;
        }
        proj_log_level(context_, PJ_LOG_NONE);
        crs_ = proj_create(context_, "EPSG:2154");
        if (crs_ &&
            !proj_get_area_of_use(context_, crs_, &west_, &south_, &east_, &north_, nullptr)) {
            west_ = south_ = east_ = north_ = std::nan("");
        }
    }
    ~Lambert93() {
        if (crs_) {
            proj_destroy(crs_);
        }
        if (context_) {
            proj_context_destroy(context_);
        }
    }
    Lambert93(const Lambert93&) = delete;
    Lambert93& operator=(const Lambert93&) = delete;

    GridConvergence At(double latitude, double longitude) const {
        GridConvergence result;
        if (!crs_) {
            result.reason = "Lambert 93 indisponible : PROJ ne connaît pas EPSG:2154 (base "
                            "proj.db absente ?)";
            return result;
        }
        if (!(latitude >= south_ && latitude <= north_ && longitude >= west_ &&
              longitude <= east_)) {
            result.reason = "hors de la zone du Lambert 93 (France métropolitaine et Corse) : "
                            "pas de convergence";
            return result;
        }
        const PJ_COORD point = proj_coord(longitude * kPi / 180, latitude * kPi / 180, 0, 0);
        proj_errno_reset(crs_);
        const PJ_FACTORS factors = proj_factors(crs_, point);
        if (proj_errno(crs_) != 0 || !std::isfinite(factors.meridian_convergence)) {
            result.reason = "PROJ n'a pas pu calculer la convergence du Lambert 93 ici";
            return result;
        }
        // PROJ gives radians, grid north measured clockwise from true north, as here.
        result.degrees = factors.meridian_convergence * 180 / kPi;
        return result;
    }

private:
    PJ_CONTEXT* context_ = nullptr;
    PJ* crs_ = nullptr;
    double west_ = 0.0, south_ = 0.0, east_ = 0.0, north_ = 0.0;
};

} // namespace

GridConvergence Lambert93Convergence(double latitude, double longitude) {
    thread_local const Lambert93 lambert93;
    return lambert93.At(latitude, longitude);
}

GridConvergence UtmConvergence(double latitude, double longitude) {
    GridConvergence result;
    if (!(std::fabs(latitude) <= 90.0) || !std::isfinite(longitude)) {
        result.reason = "position incorrecte : pas de convergence UTM";
        return result;
    }
    if (latitude >= 84.0 || latitude < -80.0) {
        result.reason = "au-delà de 84° N ou de 80° S, pas de zone UTM (système UPS)";
        return result;
    }
    try {
        double x = 0.0, y = 0.0, gamma = 0.0, scale = 0.0;
        GeographicLib::UTMUPS::Forward(latitude, longitude, result.zone, result.north, x, y, gamma,
                                       scale);
        // GeographicLib's gamma is already the bearing of grid north from true north.
        result.degrees = gamma;
    } catch (const std::exception&) {
        result.zone = 0;
        result.reason = "GeographicLib n'a pas pu calculer la convergence UTM ici";
    }
    return result;
}

} // namespace ervalun::geodesy
