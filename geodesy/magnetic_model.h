#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The World Magnetic Model (WMM2025 here: NOAA/NCEI and BGS, public domain) read from NOAA's own
// coefficient file, WMM.COF, shipped with the program as geodesy/wmm/WMM2025.COF and installed
// under share/ervalun/wmm/.
//
// The sum is evaluated with GeographicLib's SphericalHarmonic1 on the file's coefficients as
// they are (Schmidt semi-normalised g and h, with their secular variation as the second set):
// GeographicLib's MagneticModel would need its own binary format, and reading NOAA's text file
// directly keeps one copy of the data, in the form its publishers check. The station is turned
// from geodetic (WGS84) into geocentric coordinates first, and the field back into the local
// north, east, down frame; NOAA's test values prove both turns.
//
// The model is never extrapolated: a date outside its five years gives no value and a French
// reason.

namespace ervalun::geodesy {

// A civil date, as the observer writes it.
struct CalendarDate {
    int year = 2025;
    int month = 1;
    int day = 1;

    bool operator==(const CalendarDate&) const = default;
};

// True for a date that exists in the proleptic Gregorian calendar, years 1 to 9999.
bool IsValidDate(const CalendarDate& date);
// 1 January 2025 is 2025.0: year + (day of the year - 1) / days in that year.
double DecimalYear(const CalendarDate& date);
// "07/12/2026".
std::string FormatDateFr(const CalendarDate& date);
// Today in local time.
CalendarDate TodayLocal();

// The field at a point, nanoteslas and degrees; declination east positive, inclination down
// positive.
struct MagneticField {
    double north = 0.0;
    double east = 0.0;
    double down = 0.0;
    double horizontal = 0.0;
    double total = 0.0;
    double declination = 0.0;
    double inclination = 0.0;
};

class WorldMagneticModel {
public:
    // Reads a WMM.COF file; on failure, nothing and a French reason.
    static std::optional<WorldMagneticModel> Load(const std::string& path, std::string& error);
    // The same from the file's text.
    static std::optional<WorldMagneticModel> Parse(std::string_view text, std::string& error);

    // "WMM2025", from the file's header.
    const std::string& Name() const { return name_; }
    double Epoch() const { return epoch_; }
    // The first decimal year the model no longer covers.
    double End() const { return epoch_ + 5.0; }
    bool Covers(double year) const { return year >= Epoch() && year < End(); }

    // The field at a geodetic point (degrees, metres above the WGS84 ellipsoid) and a decimal
    // year, which the caller has checked with Covers().
    MagneticField Field(double year, double latitude, double longitude, double height) const;

private:
    std::string name_;
    double epoch_ = 0.0;
    int degree_ = 0;
    // In GeographicLib's column-major layout; the sine sets without their m = 0 column.
    std::vector<double> g_, h_, gRate_, hRate_;
};

// The shipped model, looked for once: next to the program as installed
// (<bin>/../share/ervalun/wmm/), at the installation prefix known at build time, then in the
// build tree. Null when none loads; error then says why.
const WorldMagneticModel* DefaultMagneticModel(std::string* error = nullptr);
// The files looked at, in that order.
std::vector<std::string> MagneticModelCandidates();

// The declination at a station on a date, or why there is none (a date outside the model, no
// model). Height in metres; sea level by default.
struct DeclinationResult {
    std::optional<double> degrees;
    std::string modelName;
    std::string error;
};
DeclinationResult DeclinationAt(double latitude, double longitude, const CalendarDate& date,
                                double height = 0.0);
DeclinationResult DeclinationAt(const WorldMagneticModel& model, double latitude, double longitude,
                                const CalendarDate& date, double height = 0.0);

} // namespace ervalun::geodesy
