#include "geodesy/magnetic_model.h"

#include "data/local_date_time.h"

#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/SphericalHarmonic1.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

// Set by geodesy/CMakeLists.txt; these stand in when the file is built some other way.
#ifndef ERVALUN_WMM_INSTALLED_DIR
#define ERVALUN_WMM_INSTALLED_DIR "/usr/share/ervalun/wmm"
#endif
#ifndef ERVALUN_WMM_BUILD_DIR
#define ERVALUN_WMM_BUILD_DIR "share/ervalun/wmm"
#endif

namespace ervalun::geodesy {

namespace {

// The reference radius of the WMM's sums, metres.
constexpr double kReferenceRadius = 6371200.0;

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

std::string TwoDigits(int value) {
    return std::string(1, char('0' + value / 10 % 10)) + char('0' + value % 10);
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

template <typename T> bool Number(std::string_view word, T& value) {
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    return ec == std::errc() && end == word.data() + word.size();
}

std::string ProgramDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.parent_path().string();
}

} // namespace

bool IsValidDate(const CalendarDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

double DecimalYear(const CalendarDate& date) {
    int dayOfYear = date.day;
    for (int month = 1; month < date.month; ++month) {
        dayOfYear += DaysInMonth(date.year, month);
    }
    return date.year + (dayOfYear - 1) / (IsLeap(date.year) ? 366.0 : 365.0);
}

std::string FormatDateFr(const CalendarDate& date) {
    return TwoDigits(date.day) + '/' + TwoDigits(date.month) + '/' + std::to_string(date.year);
}

CalendarDate TodayLocal() {
    const LocalDateTime now = CurrentLocalDateTime();
    return {now.year, now.month, now.day};
}

std::optional<WorldMagneticModel> WorldMagneticModel::Load(const std::string& path,
                                                           std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "fichier du modèle magnétique illisible : " + path;
        return std::nullopt;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::optional<WorldMagneticModel> model = Parse(text, error);
    if (!model) {
        error += " (" + path + ")";
    }
    return model;
}

std::optional<WorldMagneticModel> WorldMagneticModel::Parse(std::string_view text,
                                                            std::string& error) {
    constexpr int kDegree = 12;
    WorldMagneticModel model;
    model.degree_ = kDegree;
    const std::size_t cosines = (kDegree + 1) * (kDegree + 2) / 2;
    model.g_.assign(cosines, 0.0);
    model.gRate_.assign(cosines, 0.0);
    model.h_.assign(cosines - (kDegree + 1), 0.0);
    model.hRate_.assign(cosines - (kDegree + 1), 0.0);
    std::vector<bool> seen(cosines, false);
    std::size_t rows = 0;
    bool header = false;
    bool ended = false;
    int lineNumber = 0;
    std::istringstream lines{std::string(text)};
    for (std::string line; !ended && std::getline(lines, line);) {
        ++lineNumber;
        const std::vector<std::string_view> words = Words(line);
        if (words.empty()) {
            continue;
        }
        const std::string where = "modèle magnétique, ligne " + std::to_string(lineNumber);
        if (!header) {
            // "    2025.0            WMM-2025        11/13/2024"
            if (words.size() < 2 || !Number(words[0], model.epoch_)) {
                error = where + " : en-tête « époque nom date » attendu";
                return std::nullopt;
            }
            for (const char c : words[1]) {
                if (c != '-') {
                    model.name_ += c;
                }
            }
            header = true;
            continue;
        }
        if (words[0].starts_with("9999")) {
            ended = true;
            continue;
        }
        int n = 0, m = 0;
        double values[4] = {};
        bool good = words.size() == 6 && Number(words[0], n) && Number(words[1], m);
        for (int i = 0; good && i < 4; ++i) {
            good = Number(words[2 + i], values[i]) && std::isfinite(values[i]);
        }
        if (!good || n < 1 || n > kDegree || m < 0 || m > n) {
            error = where + " : « n m g h g' h' » attendu, degré 1 à 12";
            return std::nullopt;
        }
        const int k = m * kDegree - m * (m - 1) / 2 + n;
        if (seen[k]) {
            error = where + " : coefficient en double";
            return std::nullopt;
        }
        seen[k] = true;
        ++rows;
        model.g_[k] = values[0];
        model.gRate_[k] = values[2];
        if (m > 0) {
            model.h_[k - (kDegree + 1)] = values[1];
            model.hRate_[k - (kDegree + 1)] = values[3];
        }
    }
    if (!header || rows != cosines - 1) {
        error = "modèle magnétique incomplet : " + std::to_string(rows) + " coefficients sur " +
                std::to_string(cosines - 1);
        return std::nullopt;
    }
    if (!std::isfinite(model.epoch_) || model.name_.empty()) {
        error = "modèle magnétique : époque ou nom absent";
        return std::nullopt;
    }
    return model;
}

MagneticField WorldMagneticModel::Field(double year, double latitude, double longitude,
                                        double height) const {
    const GeographicLib::SphericalHarmonic1 sum(g_, h_, degree_, gRate_, hRate_, degree_,
                                                kReferenceRadius,
                                                GeographicLib::SphericalHarmonic1::SCHMIDT);
    std::vector<double> rotation(9);
    double x = 0.0, y = 0.0, z = 0.0;
    GeographicLib::Geocentric::WGS84().Forward(latitude, longitude, height, x, y, z, rotation);
    double gx = 0.0, gy = 0.0, gz = 0.0;
    sum(year - epoch_, x, y, z, gx, gy, gz);
    // The field is minus the gradient of the potential a * sum.
    const double bx = -kReferenceRadius * gx;
    const double by = -kReferenceRadius * gy;
    const double bz = -kReferenceRadius * gz;
    // Geocentric to local east, north, up: the transpose of the rotation Forward gives.
    const double east = rotation[0] * bx + rotation[3] * by + rotation[6] * bz;
    const double north = rotation[1] * bx + rotation[4] * by + rotation[7] * bz;
    const double up = rotation[2] * bx + rotation[5] * by + rotation[8] * bz;
    MagneticField field;
    field.north = north;
    field.east = east;
    field.down = -up;
    field.horizontal = std::hypot(north, east);
    field.total = std::hypot(field.horizontal, up);
    constexpr double kDegree = 180.0 / 3.14159265358979323846;
    field.declination = std::atan2(east, north) * kDegree;
    field.inclination = std::atan2(field.down, field.horizontal) * kDegree;
    return field;
}

std::vector<std::string> MagneticModelCandidates() {
    constexpr const char* kFile = "WMM2025.COF";
    std::vector<std::string> candidates;
    const std::string bin = ProgramDirectory();
    if (!bin.empty()) {
        candidates.push_back(bin + "/../share/ervalun/wmm/" + kFile);
    }
    candidates.push_back(ERVALUN_WMM_INSTALLED_DIR "/" + std::string(kFile));
    candidates.push_back(ERVALUN_WMM_BUILD_DIR "/" + std::string(kFile));
    return candidates;
}

const WorldMagneticModel* DefaultMagneticModel(std::string* error) {
    struct Found {
        std::optional<WorldMagneticModel> model;
        std::string error;
    };
    // Looked for once, by the first caller; a static's initialisation is thread-safe.
    static const Found found = [] {
        Found result;
        for (const std::string& path : MagneticModelCandidates()) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(path, ec)) {
                continue;
            }
            result.model = WorldMagneticModel::Load(path, result.error);
            return result;
        }
        result.error = "modèle magnétique WMM2025 introuvable (WMM2025.COF, cherché dans "
                       "share/ervalun/wmm/)";
        return result;
    }();
    if (error && !found.model) {
        *error = found.error;
    }
    return found.model ? &*found.model : nullptr;
}

DeclinationResult DeclinationAt(double latitude, double longitude, const CalendarDate& date,
                                double height) {
    DeclinationResult result;
    const WorldMagneticModel* model = DefaultMagneticModel(&result.error);
    if (!model) {
        return result;
    }
    return DeclinationAt(*model, latitude, longitude, date, height);
}

DeclinationResult DeclinationAt(const WorldMagneticModel& model, double latitude, double longitude,
                                const CalendarDate& date, double height) {
    DeclinationResult result;
    result.modelName = model.Name();
    if (!IsValidDate(date)) {
        result.error = "date impossible : " + FormatDateFr(date);
        return result;
    }
    if (!(std::fabs(latitude) <= 90.0) || !std::isfinite(longitude) || !std::isfinite(height)) {
        result.error = "position incorrecte pour le modèle magnétique";
        return result;
    }
    const double year = DecimalYear(date);
    if (!model.Covers(year)) {
        const int first = int(std::floor(model.Epoch()));
        const int last = int(std::ceil(model.End())) - 1;
        result.error = "date du " + FormatDateFr(date) + " hors de la période de validité du " +
                       "modèle magnétique " + model.Name() + " (du " + FormatDateFr({first, 1, 1}) +
                       " au " + FormatDateFr({last, 12, 31}) + ") : aucune déclinaison appliquée";
        return result;
    }
    result.degrees = model.Field(year, latitude, longitude, height).declination;
    return result;
}

} // namespace ervalun::geodesy
