#include "geodesy/coordinate_formats.h"

#include "geodesy/field_text.h"
#include "geodesy/geodesic_check.h"

#include <GeographicLib/MGRS.hpp>
#include <GeographicLib/UTMUPS.hpp>

#include <cmath>
#include <memory>
#include <proj.h>

namespace ervalun::geodesy {

namespace {

using GeographicLib::MGRS;
using GeographicLib::UTMUPS;

constexpr const char* kNone = "—";

// The area of use of EPSG:2154, degrees.
constexpr double kL93South = 41.15;
constexpr double kL93North = 51.56;
constexpr double kL93West = -9.86;
constexpr double kL93East = 10.38;

// One PROJ context and transformation per thread: PROJ objects may not be shared between
// threads, and building the transformation reads the database, which is slow.
class Lambert93Transform {
public:
    Lambert93Transform() {
        context_ = proj_context_create();
        if (context_ == nullptr) {
            return;
        }
        PJ* raw = proj_create_crs_to_crs(context_, "EPSG:4326", "EPSG:2154", nullptr);
        if (raw == nullptr) {
            return;
        }
        // Longitude first, easting first, whatever the axis order of the definitions.
        transform_ = proj_normalize_for_visualization(context_, raw);
        proj_destroy(raw);
    }
    ~Lambert93Transform() {
        if (transform_ != nullptr) {
            proj_destroy(transform_);
        }
        if (context_ != nullptr) {
            proj_context_destroy(context_);
        }
    }
    Lambert93Transform(const Lambert93Transform&) = delete;
    Lambert93Transform& operator=(const Lambert93Transform&) = delete;

    bool Run(PJ_DIRECTION direction, double a, double b, double& x, double& y) {
        if (transform_ == nullptr) {
            return false;
        }
        proj_errno_reset(transform_);
        const PJ_COORD out = proj_trans(transform_, direction, proj_coord(a, b, 0, 0));
        x = out.xy.x;
        y = out.xy.y;
        return proj_errno(transform_) == 0 && std::isfinite(x) && std::isfinite(y) &&
               x != HUGE_VAL && y != HUGE_VAL;
    }

private:
    PJ_CONTEXT* context_ = nullptr;
    PJ* transform_ = nullptr;
};

Lambert93Transform& ThreadTransform() {
    thread_local Lambert93Transform transform;
    return transform;
}

bool InLambert93Area(double latitude, double longitude) {
    return latitude >= kL93South && latitude <= kL93North && longitude >= kL93West &&
           longitude <= kL93East;
}

std::string WholeMetres(double metres) {
    return FormatFixedDecimals(std::round(metres), 0);
}

// Degrees and decimal minutes with the hemisphere letter, rounded once so that 59.9996′
// carries into the degree.
std::string DegreesMinutes(double degrees, bool latitude) {
    const char* letter = latitude ? (degrees < 0 ? "S" : "N") : (degrees < 0 ? "O" : "E");
    const double thousandths = std::round(std::fabs(degrees) * 60000.0);
    const double whole = std::floor(thousandths / 60000.0);
    const double minutes = (thousandths - whole * 60000.0) / 1000.0;
    return FormatFixedDecimals(whole, 0) + "° " + FormatFixedDecimals(minutes, 3) + "′ " + letter;
}

bool Utm(double latitude, double longitude, std::string& text) {
    if (!(latitude >= -80 && latitude <= 84)) {
        return false;
    }
    int zone = 0;
    bool northp = false;
    double x = 0;
    double y = 0;
    UTMUPS::Forward(latitude, longitude, zone, northp, x, y);
    std::string band;
    MGRS::Forward(zone, northp, x, y, latitude, -1, band);
    text = band + " " + WholeMetres(x) + " " + WholeMetres(y);
    return true;
}

bool Mgrs(double latitude, double longitude, int precision, std::string& text) {
    int zone = 0;
    bool northp = false;
    double x = 0;
    double y = 0;
    UTMUPS::Forward(latitude, longitude, zone, northp, x, y);
    MGRS::Forward(zone, northp, x, y, latitude, precision, text);
    return true;
}

} // namespace

const std::vector<CoordinateForm>& AllCoordinateForms() {
    static const std::vector<CoordinateForm> forms = {CoordinateForm::Decimal,
                                                      CoordinateForm::DegreesMinutes,
                                                      CoordinateForm::DegreesMinutesSeconds,
                                                      CoordinateForm::Utm,
                                                      CoordinateForm::Mgrs1m,
                                                      CoordinateForm::Mgrs10m,
                                                      CoordinateForm::Lambert93};
    return forms;
}

std::string CoordinateFormName(CoordinateForm form) {
    switch (form) {
    case CoordinateForm::Decimal:
        return "Degrés décimaux";
    case CoordinateForm::DegreesMinutes:
        return "Degrés et minutes";
    case CoordinateForm::DegreesMinutesSeconds:
        return "Degrés, minutes et secondes";
    case CoordinateForm::Utm:
        return "UTM";
    case CoordinateForm::Mgrs1m:
        return "MGRS (1 m)";
    case CoordinateForm::Mgrs10m:
        return "MGRS (10 m)";
    case CoordinateForm::Lambert93:
        return "Lambert 93";
    }
    return {};
}

bool ToLambert93(double latitude, double longitude, double& easting, double& northing) {
    if (!InLambert93Area(latitude, longitude)) {
        return false;
    }
    return ThreadTransform().Run(PJ_FWD, longitude, latitude, easting, northing);
}

bool FromLambert93(double easting, double northing, double& latitude, double& longitude) {
    if (!(std::isfinite(easting) && std::isfinite(northing))) {
        return false;
    }
    if (!ThreadTransform().Run(PJ_INV, easting, northing, longitude, latitude)) {
        return false;
    }
    return InLambert93Area(latitude, longitude);
}

std::string FormatCoordinate(double latitude, double longitude, CoordinateForm form) {
    if (!(std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
          std::fabs(longitude) <= 180)) {
        return kNone;
    }
    try {
        std::string text;
        switch (form) {
        case CoordinateForm::Decimal:
            return FormatFixedDecimals(latitude, 6) + " " + FormatFixedDecimals(longitude, 6);
        case CoordinateForm::DegreesMinutes:
            return DegreesMinutes(latitude, true) + " " + DegreesMinutes(longitude, false);
        case CoordinateForm::DegreesMinutesSeconds:
            return FormatDms(latitude, true) + " " + FormatDms(longitude, false);
        case CoordinateForm::Utm:
            return Utm(latitude, longitude, text) ? text : kNone;
        case CoordinateForm::Mgrs1m:
            return Mgrs(latitude, longitude, 5, text) ? text : kNone;
        case CoordinateForm::Mgrs10m:
            return Mgrs(latitude, longitude, 4, text) ? text : kNone;
        case CoordinateForm::Lambert93: {
            double e = 0;
            double n = 0;
            if (!ToLambert93(latitude, longitude, e, n)) {
                return kNone;
            }
            return "L93 " + WholeMetres(e) + " " + WholeMetres(n);
        }
        }
    } catch (const std::exception&) {
        // GeographicLib throws on a point its grids cannot hold.
    }
    return kNone;
}

} // namespace ervalun::geodesy
