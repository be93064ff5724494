#include "geodesy/coordinate_formats.h"
#include "tests/field_scene.h"
#include "tests/support/locale_guard.h"

#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace {

using ervalun::geodesy::AllCoordinateForms;
using ervalun::geodesy::CoordinateForm;
using ervalun::geodesy::CoordinateFormName;
using ervalun::geodesy::FormatCoordinate;
using ervalun::geodesy::ParseCoordinate;
using field_testing::HaveTool;
using field_testing::RunCommand;

double Metres(double lat1, double lon1, double lat2, double lon2) {
    double s = 0;
    GeographicLib::Geodesic::WGS84().Inverse(lat1, lon1, lat2, lon2, s);
    return s;
}

struct Place {
    const char* name;
    double latitude;
    double longitude;
    bool inFrance; // within Lambert 93's area
};

const Place kPlaces[] = {
    {"Le-Brévent", 45 + 56 / 60.0 + 3 / 3600.0, 6 + 50 / 60.0 + 15 / 3600.0, true},
    {"Montenvers", 45 + 55 / 60.0 + 44 / 3600.0, 6 + 55 / 60.0 + 7 / 3600.0, true},
    {"Brest (ouest)", 48.3904, -4.4861, true},
    {"Ajaccio (Corse)", 41.9192, 8.7386, true},
    {"Strasbourg (zone 32)", 48.5734, 7.7521, true},
    {"Le Cap (sud)", -33.9249, 18.4241, false},
    {"Ushuaia (sud, ouest)", -54.8019, -68.3030, false},
};

// Easting and northing from PROJ's own command-line tool.
bool Cs2cs(const std::string& target, double latitude, double longitude, double& x, double& y) {
    std::ostringstream command;
    command.precision(12);
    command << "echo '" << latitude << " " << longitude << "' | cs2cs -f %.4f EPSG:4326 " << target;
    int status = 0;
    std::istringstream out(RunCommand(command.str(), status));
    return status == 0 && (out >> x >> y);
}

// UTM, MGRS and Lambert 93 against cs2cs: the grid numbers, the MGRS digits truncated from them.
TEST(CoordinateFormats, GridFormsAgreeWithProjTools) {
    if (!HaveTool("cs2cs")) {
        GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
    }
    for (const Place& p : kPlaces) {
        SCOPED_TRACE(p.name);
        const int zone = static_cast<int>(std::floor((p.longitude + 180) / 6)) + 1;
        const std::string epsg = "EPSG:" + std::to_string((p.latitude >= 0 ? 32600 : 32700) + zone);
        double x = 0;
        double y = 0;
        ASSERT_TRUE(Cs2cs(epsg, p.latitude, p.longitude, x, y));
        std::istringstream utm(FormatCoordinate(p.latitude, p.longitude, CoordinateForm::Utm));
        std::string gridZone;
        double e = 0;
        double n = 0;
        ASSERT_TRUE(utm >> gridZone >> e >> n);
        EXPECT_EQ(std::stoi(gridZone), zone);
        EXPECT_NEAR(e, x, 0.5);
        EXPECT_NEAR(n, y, 0.5);

        const std::string mgrs = FormatCoordinate(p.latitude, p.longitude, CoordinateForm::Mgrs1m);
        const std::string digits = mgrs.substr(gridZone.size() + 2);
        ASSERT_EQ(mgrs.substr(0, gridZone.size()), gridZone);
        ASSERT_EQ(digits.size(), 10u);
        EXPECT_EQ(std::stol(digits.substr(0, 5)), static_cast<long>(std::floor(x)) % 100000);
        EXPECT_EQ(std::stol(digits.substr(5)), static_cast<long>(std::floor(y)) % 100000);
        const std::string mgrs10 =
            FormatCoordinate(p.latitude, p.longitude, CoordinateForm::Mgrs10m);
        EXPECT_EQ(mgrs10,
                  mgrs.substr(0, gridZone.size() + 2) + digits.substr(0, 4) + digits.substr(5, 4));

        const std::string l93 =
            FormatCoordinate(p.latitude, p.longitude, CoordinateForm::Lambert93);
        if (!p.inFrance) {
            EXPECT_EQ(l93, "—");
            continue;
        }
        ASSERT_TRUE(Cs2cs("EPSG:2154", p.latitude, p.longitude, x, y));
        std::istringstream lambert(l93);
        std::string prefix;
        ASSERT_TRUE(lambert >> prefix >> e >> n);
        EXPECT_EQ(prefix, "L93");
        EXPECT_NEAR(e, x, 0.5);
        EXPECT_NEAR(n, y, 0.5);
    }
}

// Every form read back lands within its own rounding of the point, and is told for what it is.
TEST(CoordinateFormats, EveryFormReadsBack) {
    const struct {
        CoordinateForm form;
        double tolerance; // metres
    } forms[] = {
        {CoordinateForm::Decimal, 0.1},
        {CoordinateForm::DegreesMinutes, 1.3},
        {CoordinateForm::DegreesMinutesSeconds, 0.03},
        {CoordinateForm::Utm, 0.8},
        {CoordinateForm::Mgrs1m, 0.8},
        {CoordinateForm::Mgrs10m, 7.1},
        {CoordinateForm::Lambert93, 0.8},
    };
    ASSERT_EQ(std::size(forms), AllCoordinateForms().size());
    testing_support::FrenchLocale french;
    for (const Place& p : kPlaces) {
        for (const auto& f : forms) {
            const std::string text = FormatCoordinate(p.latitude, p.longitude, f.form);
            SCOPED_TRACE(std::string(p.name) + " " + CoordinateFormName(f.form) + ": " + text);
            EXPECT_EQ(text.find(','), std::string::npos);
            if (f.form == CoordinateForm::Lambert93 && !p.inFrance) {
                continue;
            }
            const auto parsed = ParseCoordinate(text);
            ASSERT_TRUE(parsed.ok) << parsed.error;
            EXPECT_EQ(parsed.form, f.form);
            EXPECT_LE(Metres(p.latitude, p.longitude, parsed.latitude, parsed.longitude),
                      f.tolerance);
        }
    }
}

// The ways people type a position, each against the place it names.
TEST(CoordinateFormats, TypedFormsAreRead) {
    const double lat = 45 + 56 / 60.0 + 3 / 3600.0;
    const double lon = 6 + 50 / 60.0 + 15 / 3600.0;
    const struct {
        const char* text;
        CoordinateForm form;
        double latitude;
        double longitude;
        double tolerance; // metres
    } cases[] = {
        {"45 56 3 N 6 50 15 E", CoordinateForm::DegreesMinutesSeconds, lat, lon, 0.01},
        {"  N 45 56 3   E 6 50 15 ", CoordinateForm::DegreesMinutesSeconds, lat, lon, 0.01},
        {"6 50 15 E 45 56 3 N", CoordinateForm::DegreesMinutesSeconds, lat, lon, 0.01},
        {"45°56'3\"N 6°50'15\"E", CoordinateForm::DegreesMinutesSeconds, lat, lon, 0.01},
        {"45° 56′ 3″ N 6° 50′ 15″ E", CoordinateForm::DegreesMinutesSeconds, lat, lon, 0.01},
        {"45\u00a056\u202f3\u00a0N 6° 50′ 15″\u00a0E", CoordinateForm::DegreesMinutesSeconds, lat,
         lon, 0.01},
        {"45 56 3 n 6 50 15 o", CoordinateForm::DegreesMinutesSeconds, lat, -lon, 0.01},
        {"45 56 3 S 6 50 15 W", CoordinateForm::DegreesMinutesSeconds, -lat, -lon, 0.01},
        {"45° 56.05′ N 6° 50.25′ E", CoordinateForm::DegreesMinutes, lat, lon, 0.01},
        {"45.9341667 N 6.8375 O", CoordinateForm::Decimal, lat, -lon, 0.05},
        {"45.9341667 6.8375", CoordinateForm::Decimal, lat, lon, 0.05},
        {"-45.9341667 -6.8375", CoordinateForm::Decimal, -lat, -lon, 0.05},
        {"−45.9341667 +6.8375", CoordinateForm::Decimal, -lat, lon, 0.05},
        {"32T 332355 5089007", CoordinateForm::Utm, lat, lon, 0.5},
        {"32 t 332355.39 5089006.77", CoordinateForm::Utm, lat, lon, 0.01},
        {"32TLR3235589006", CoordinateForm::Mgrs1m, lat, lon, 1.0},
        {"32T LR 32355 89006", CoordinateForm::Mgrs1m, lat, lon, 1.0},
        {"32tlr32358900", CoordinateForm::Mgrs10m, lat, lon, 8.0},
        {"L93 997234 6544387", CoordinateForm::Lambert93, lat, lon, 0.5},
        {"Lambert 93 997233.70 6544387.10", CoordinateForm::Lambert93, lat, lon, 0.01},
        {"997234 6544387", CoordinateForm::Lambert93, lat, lon, 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseCoordinate(c.text);
        ASSERT_TRUE(parsed.ok) << parsed.error;
        EXPECT_EQ(parsed.form, c.form);
        EXPECT_LE(Metres(c.latitude, c.longitude, parsed.latitude, parsed.longitude), c.tolerance);
    }
}

// What is refused, and that the message says why.
TEST(CoordinateFormats, RefusalsSayWhy) {
    const struct {
        const char* text;
        const char* says;
    } cases[] = {
        {"45,9342 6,8375", "virgule"},
        {"", "écrivez des degrés décimaux"},
        {"bonjour", "écrivez des degrés décimaux"},
        {"45 6 7", "écrivez des degrés décimaux"},
        {"91 6", "Latitude hors limites : 91"},
        {"45 181", "Longitude hors limites : 181"},
        {"91 0 0 N 6 50 15 E", "Latitude hors limites"},
        {"45 56 3 N 181 0 0 E", "Longitude hors limites"},
        {"45 60 3 N 6 50 15 E", "Minutes hors limites : 60"},
        {"45 56 60 N 6 50 15 E", "Secondes hors limites : 60"},
        {"45.5 56 N 6 50 E", "seul le dernier nombre"},
        {"-45 56 3 N 6 50 15 E", "signe"},
        {"45 56 3 N 6 50 15 S", "lettre N ou S"},
        {"45 56 3 E 6 50 15 O", "lettre N ou S"},
        {"45 56 3 1 N 6 50 15 E", "écrivez des degrés décimaux"},
        {"61T 332355 5089007", "Zone UTM hors limites : 61"},
        {"32I 332355 5089007", "Bande UTM illisible"},
        {"32U 332355 5089007", "hors de la bande U"},
        {"32T 332355 99999999", "UTM hors limites"},
        {"32TLR323558900", "écrivez des degrés décimaux"}, // odd count of digits
        {"32TII3235589006", "MGRS illisible"},
        {"32TLR", "écrivez des degrés décimaux"},
        {"L93 100 200", "Lambert 93 hors limites"},
        {"L93 1100000 7200000", "Lambert 93 hors limites"},
        {"L93 997234", "Lambert 93 illisible"},
        {"L93 997234 6544387 12", "Lambert 93 illisible"},
        {"45.9.3 6", "écrivez des degrés décimaux"},
        {"45. 6", "écrivez des degrés décimaux"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = ParseCoordinate(c.text);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.error.find(c.says), std::string::npos) << parsed.error;
    }
}

// Positions no form can hold are shown as a dash, never as a wrong number.
TEST(CoordinateFormats, UnrepresentablePositionsShowADash) {
    const struct {
        double latitude;
        double longitude;
        CoordinateForm form;
    } cases[] = {
        {NAN, 6.8, CoordinateForm::Decimal},         {45.9, INFINITY, CoordinateForm::Utm},
        {95.0, 6.8, CoordinateForm::DegreesMinutes}, {85.0, 6.8, CoordinateForm::Utm},
        {-81.0, 6.8, CoordinateForm::Utm},           {45.9, -74.0, CoordinateForm::Lambert93},
        {45.9, 190.0, CoordinateForm::Mgrs1m},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(CoordinateFormName(c.form));
        EXPECT_EQ(FormatCoordinate(c.latitude, c.longitude, c.form), "—");
    }
    // Beyond UTM's reach, MGRS goes on with its polar grid.
    EXPECT_NE(FormatCoordinate(85.0, 6.8, CoordinateForm::Mgrs1m), "—");
}

} // namespace
