#include "geodesy/fix_cli_north.h"
#include "geodesy/grid_convergence.h"
#include "geodesy/magnetic_model.h"
#include "geodesy/north_reference.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/LambertConformalConic.hpp>

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <regex>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace {

namespace geodesy = ervalun::geodesy;
using geodesy::CalendarDate;
using geodesy::NorthReference;

constexpr double kDeg = 3.14159265358979323846 / 180;

// NOAA NCEI / BGS, "WMM2025 test values" (WMM2025_TEST_VALUES.txt in NOAA's WMM2025COF.zip,
// also tabulated in the WMM2025 technical report): date, height above the WGS84 ellipsoid in km,
// geodetic latitude and longitude, then F (nT), inclination and declination (degrees) as
// published, to 0.1 nT and 0.01 degree.
TEST(MagneticModelTest, MatchesNoaaTestValues) {
    struct Row {
        double year, heightKm, lat, lon, total, inclination, declination;
    };
    const Row rows[] = {
        {2025.0, 0, 80, 0, 55178.5, 83.21, 1.28},
        {2025.0, 0, 0, 120, 41064.3, -14.93, -0.16},
        {2025.0, 0, -80, 240, 54698.2, -72.00, 68.78},
        {2025.0, 100, 80, 0, 52964.9, 83.26, 0.85},
        {2025.0, 100, 0, 120, 39032.1, -15.08, -0.15},
        {2025.0, 100, -80, 240, 52035.0, -72.19, 68.21},
        {2027.5, 0, 80, 0, 55253.9, 83.24, 2.59},
        {2027.5, 0, 0, 120, 41036.9, -14.65, -0.24},
        {2027.5, 0, -80, 240, 54474.2, -71.92, 68.49},
        {2027.5, 100, 80, 0, 53034.3, 83.29, 2.16},
        {2027.5, 100, 0, 120, 39007.4, -14.81, -0.23},
        {2027.5, 100, -80, 240, 51825.7, -72.10, 67.93},
    };
    std::string error;
    const auto model = geodesy::WorldMagneticModel::Load(ERVALUN_WMM_SOURCE_FILE, error);
    ASSERT_TRUE(model) << error;
    EXPECT_EQ(model->Name(), "WMM2025");
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message()
                     << r.year << " " << r.heightKm << " km " << r.lat << " " << r.lon);
        ASSERT_TRUE(model->Covers(r.year));
        const geodesy::MagneticField f = model->Field(r.year, r.lat, r.lon, r.heightKm * 1000);
        EXPECT_NEAR(f.declination, r.declination, 0.0051);
        EXPECT_NEAR(f.inclination, r.inclination, 0.0051);
        EXPECT_NEAR(f.total, r.total, 0.051);
    }
    // The shipped copy, found as the programs find it, is the same model.
    const geodesy::WorldMagneticModel* shipped = geodesy::DefaultMagneticModel(&error);
    ASSERT_NE(shipped, nullptr) << error;
    EXPECT_EQ(shipped->Field(2027.5, 45, 6, 0).declination,
              model->Field(2027.5, 45, 6, 0).declination);
}

TEST(MagneticModelTest, DatesAndTheirLimits) {
    const std::tuple<CalendarDate, double, bool> cases[] = {
        {{2025, 1, 1}, 2025.0, true},
        {{2024, 12, 31}, 2024 + 365.0 / 366, false},
        {{2027, 7, 2}, 2027 + 182.0 / 365, true},
        {{2028, 12, 31}, 2028 + 365.0 / 366, true},
        {{2029, 12, 31}, 2029 + 364.0 / 365, true},
        {{2030, 1, 1}, 2030.0, false},
    };
    for (const auto& [date, year, covered] : cases) {
        SCOPED_TRACE(geodesy::FormatDateFr(date));
        EXPECT_NEAR(geodesy::DecimalYear(date), year, 1e-12);
        const geodesy::DeclinationResult d = geodesy::DeclinationAt(48.85, 2.35, date);
        EXPECT_EQ(d.degrees.has_value(), covered);
        const std::string refusal = "hors de la période de validité du modèle magnétique "
                                    "WMM2025 (du 01/01/2025 au 31/12/2029)";
        EXPECT_EQ(d.error.find(refusal) != std::string::npos, !covered) << d.error;
    }
}

TEST(MagneticModelTest, RefusesBrokenCoefficientFiles) {
    const std::string header = "    2025.0            WMM-2025        11/13/2024\n";
    const std::string row = "  1  0  -29351.8       0.0       12.0        0.0\n";
    // Empty, incomplete, headless, a decimal comma, degree 13, a row twice.
    const std::string texts[] = {"",
                                 header + row,
                                 row,
                                 header + "  1  0  -29351,8 0 12 0\n",
                                 header + " 13  0  1 0 0 0\n",
                                 header + row + row};
    for (const std::string& text : texts) {
        std::string error;
        EXPECT_FALSE(geodesy::WorldMagneticModel::Parse(text, error)) << text;
        EXPECT_FALSE(error.empty());
    }
}

// The definition of Lambert 93 comes from PROJ's database through projinfo, its convergence
// from proj -V; both are PROJ's own tools, outside the library's code path. The same value
// follows from the cone's constant n: gamma = n (lon - 3 degrees), GRS80, parallels 44 and 49.
std::string Shell(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            output += buffer;
        }
        pclose(pipe);
    }
    return output;
}

std::string Text(double value) {
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

double Number(std::string_view text) {
    double value = std::nan("");
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

double ProjToolConvergence(const std::string& definition, double lat, double lon) {
    const std::string out = Shell("echo '" + Text(lon) + " " + Text(lat) +
                                  "' | " ERVALUN_PROJ_PROGRAM " -V " + definition);
    const std::size_t label = out.find("Convergence");
    const std::size_t open = out.find('[', label);
    if (label == std::string::npos || open == std::string::npos) {
        return std::nan("");
    }
    std::size_t start = open + 1;
    while (start < out.size() && out[start] == ' ') {
        ++start;
    }
    return Number(std::string_view(out).substr(start));
}

TEST(GridConvergenceTest, Lambert93AgreesWithProjToolsAndTheCone) {
    std::string definition = Shell(ERVALUN_PROJINFO_PROGRAM " -q -o PROJ EPSG:2154");
    if (definition.find("+proj=lcc") == std::string::npos) {
        GTEST_SKIP() << "projinfo ne donne pas EPSG:2154";
    }
    definition = definition.substr(0, definition.find("+type=crs"));
    const GeographicLib::LambertConformalConic cone(6378137, 1 / 298.257222101, 44, 49, 1);
    struct City {
        const char* name;
        double lat, lon, expected; // expected: rough, to catch a wrong sign
    };
    const City cities[] = {{"Brest", 48.390, -4.486, -5.4},
                           {"Bastia", 42.700, 9.450, 4.7},
                           {"Paris", 48.857, 2.352, -0.5},
                           {"Strasbourg", 48.573, 7.752, 3.4}};
    for (const City& c : cities) {
        SCOPED_TRACE(c.name);
        const geodesy::GridConvergence g = geodesy::Lambert93Convergence(c.lat, c.lon);
        ASSERT_FALSE(std::isnan(g.degrees)) << g.reason;
        EXPECT_NEAR(g.degrees, c.expected, 0.1);
        EXPECT_NEAR(g.degrees, ProjToolConvergence(definition, c.lat, c.lon), 1e-6);
        EXPECT_NEAR(g.degrees, std::sin(cone.OriginLatitude() * kDeg) * (c.lon - 3.0), 1e-6);
    }
    const geodesy::GridConvergence madrid = geodesy::Lambert93Convergence(40.42, -3.70);
    EXPECT_TRUE(std::isnan(madrid.degrees));
    EXPECT_NE(madrid.reason.find("hors de la zone du Lambert 93"), std::string::npos);
}

// UTM against the ellipsoidal series of the transverse Mercator's convergence (to the fifth
// power of the longitude from the central meridian: below 1e-7 degree within a zone).
TEST(GridConvergenceTest, UtmAgreesWithTheSeriesInTheStationsZone) {
    struct Case {
        double lat, lon;
        int zone;
        bool north;
    };
    const Case cases[] = {{48.390, -4.486, 30, true}, {42.700, 9.450, 32, true},
                          {60.000, 5.000, 32, true},  {-33.900, 18.400, 34, false},
                          {0.500, 179.900, 60, true}, {83.900, 10.0, 33, true}};
    const double f = 1 / 298.257223563, e2 = f * (2 - f), ep2 = e2 / (1 - e2);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
        const geodesy::GridConvergence g = geodesy::UtmConvergence(c.lat, c.lon);
        ASSERT_FALSE(std::isnan(g.degrees)) << g.reason;
        EXPECT_EQ(g.zone, c.zone);
        EXPECT_EQ(g.north, c.north);
        const double l = (c.lon - (6 * c.zone - 183)) * kDeg, p = c.lat * kDeg;
        const double s = std::sin(p), co = std::cos(p), t = std::tan(p), eta2 = ep2 * co * co;
        const double series = l * s *
                              (1 + l * l * co * co * (1 + 3 * eta2 + 2 * eta2 * eta2) / 3 +
                               std::pow(l * co, 4) * (2 - t * t) / 15);
        EXPECT_NEAR(g.degrees, series / kDeg, 1e-6);
    }
    EXPECT_TRUE(std::isnan(geodesy::UtmConvergence(85.0, 0.0).degrees));
    EXPECT_TRUE(std::isnan(geodesy::UtmConvergence(-80.5, 0.0).degrees));
}

// The sign, by geometry: the line Lambert 93 calls north, followed on the ground, runs at a true
// azimuth equal to the correction (UTM's sign is the series' above); a compass's north lies at
// the declination, east positive.
TEST(NorthReferenceTest, CorrectionsHaveTheSignOfTheGround) {
    const CalendarDate date{2027, 7, 2};
    const geodesy::Station brest{"Brest", 48.390, -4.486, 0};
    const GeographicLib::LambertConformalConic cone(6378137, 1 / 298.257222101, 44, 49, 1);
    double x = 0, y = 0, gamma = 0, k = 0;
    cone.Forward(3, brest.latitude, brest.longitude, x, y, gamma, k);
    double lat = 0, lon = 0;
    cone.Reverse(3, x, y + 100, lat, lon, gamma, k);
    double s12 = 0, azi1 = 0, azi2 = 0;
    GeographicLib::Geodesic::WGS84().Inverse(brest.latitude, brest.longitude, lat, lon, s12, azi1,
                                             azi2);
    const geodesy::NorthCorrection l93 =
        geodesy::ToTrueNorth(0, NorthReference::Lambert93, brest, date);
    ASSERT_TRUE(l93.ok) << l93.text;
    EXPECT_NEAR(l93.azimuth - 360, azi1, 1e-4);

    // NOAA's 2027.5 row at 80 N 0 E: declination +2.59.
    const geodesy::NorthCorrection m =
        geodesy::ToTrueNorth(0, NorthReference::Magnetic, {"", 80, 0, 0}, date);
    EXPECT_NEAR(m.azimuth, 2.59, 0.01);
}

TEST(NorthReferenceTest, BearingsComeBackAndTextsSayWhy) {
    const geodesy::Station stations[] = {{"Le-Brévent", 45.934, 6.837, 2525},
                                         {"Brest", 48.390, -4.486, 0}};
    const NorthReference references[] = {NorthReference::True, NorthReference::Magnetic,
                                         NorthReference::Lambert93, NorthReference::Utm};
    for (const geodesy::Station& station : stations) {
        for (const NorthReference reference : references) {
            for (const double azimuth : {0.0, 0.3, 123.456, 359.9}) {
                SCOPED_TRACE(station.name + " " + std::string(geodesy::FrenchName(reference)));
                const auto there = geodesy::ToTrueNorth(azimuth, reference, station, {2026, 12, 7});
                ASSERT_TRUE(there.ok) << there.text;
                const auto back =
                    geodesy::FromTrueNorth(there.azimuth, reference, station, {2026, 12, 7});
                EXPECT_NEAR(std::remainder(back.azimuth - azimuth, 360.0), 0.0, 1e-9);
                EXPECT_TRUE(back.azimuth >= 0.0 && back.azimuth < 360.0) << back.azimuth;
            }
        }
    }
    const auto brevent =
        geodesy::ToTrueNorth(10, NorthReference::Magnetic, stations[0], {2026, 12, 7});
    EXPECT_EQ(brevent.text, "Le-Brévent : déclinaison " +
                                geodesy::FormatSignedDegreesFr(brevent.correction) +
                                " (WMM2025, 07/12/2026)");
    const auto late = geodesy::ToTrueNorth(10, NorthReference::Magnetic, stations[0], {2030, 3, 1});
    EXPECT_FALSE(late.ok);
    EXPECT_TRUE(std::isnan(late.azimuth));
    EXPECT_NE(late.text.find("aucune déclinaison"), std::string::npos);
    const auto abroad =
        geodesy::ToTrueNorth(10, NorthReference::Lambert93, {"NY", 40.7, -74, 0}, {2026, 12, 7});
    EXPECT_FALSE(abroad.ok);
    EXPECT_EQ(abroad.text.rfind("NY : hors de la zone du Lambert 93", 0), 0u) << abroad.text;

    const std::pair<double, const char*> shown[] = {
        {2.6, "+2,6°"}, {-1.24, "\u22121,2°"}, {0.04, "0,0°"}, {-12.96, "\u221213,0°"}};
    for (const auto& [degrees, text] : shown) {
        EXPECT_EQ(geodesy::FormatSignedDegreesFr(degrees), text);
    }
}

TEST(NorthReferenceTest, NamesAndWords) {
    const std::tuple<NorthReference, const char*, const char*> names[] = {
        {NorthReference::True, "vrai", "true"},
        {NorthReference::Magnetic, "magnétique", "magnetic"},
        {NorthReference::Lambert93, "Lambert 93", "l93"},
        {NorthReference::Utm, "UTM", "utm"}};
    for (const auto& [reference, french, word] : names) {
        EXPECT_EQ(geodesy::FrenchName(reference), french);
        EXPECT_EQ(geodesy::ParseFrenchName(french), reference);
        EXPECT_EQ(geodesy::CliWord(reference), word);
        EXPECT_EQ(geodesy::ParseCliWord(word), reference);
    }
    EXPECT_EQ(geodesy::ParseFrenchName("MAGNETIQUE"), NorthReference::Magnetic);
    for (const char* wrong : {"", "nord", "Lambert93", "L93"}) {
        EXPECT_FALSE(geodesy::ParseFrenchName(wrong).has_value() ||
                     geodesy::ParseCliWord(wrong).has_value())
            << wrong;
    }
}

std::string Contents(FILE* file) {
    std::rewind(file);
    std::string text;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        text += char(c);
    }
    return text;
}

TEST(FixCliNorthTest, DateOptionAndOutputLine) {
    const std::pair<const char*, bool> dates[] = {
        {"2026-12-07", true},  {"2028-02-29", true},  {"2026-02-29", false}, {"2026-04-31", false},
        {"2026-13-01", false}, {"2026-4-01", false},  {"26-04-01", false},   {"2026-04-0a", false},
        {"", false},           {"2026/04/01", false}, {"+2026-4-01", false}};
    for (const auto& [text, good] : dates) {
        std::string reason;
        EXPECT_EQ(geodesy::ParseIsoDate(text, reason).has_value(), good) << text;
        EXPECT_EQ(reason.empty(), good) << text;
    }
    std::string reason;
    EXPECT_EQ(geodesy::FormatDateFr(*geodesy::ParseIsoDate("2026-12-07", reason)), "07/12/2026");

    // Three numbers with six decimals and a point, a grid that does not apply spelt nan.
    const std::string number = "-?[0-9]+\\.[0-9]{6}";
    struct Call {
        double lat, lon;
        CalendarDate date;
        int code;
        std::string line;
    };
    const Call calls[] = {
        {48.39, -4.486, {2026, 12, 7}, 0, number + " " + number + " " + number + "\n"},
        {40.7, -74.0, {2026, 12, 7}, 0, number + " nan " + number + "\n"},
        {48.39, -4.486, {2031, 1, 1}, 1, "ERREUR date du 01/01/2031 hors de la période.*\n"},
        {91.0, 0.0, {2026, 12, 7}, 2, ""}};
    for (const Call& c : calls) {
        FILE* out = std::tmpfile();
        FILE* err = std::tmpfile();
        ASSERT_TRUE(out && err);
        EXPECT_EQ(geodesy::RunDeclinationAt(c.lat, c.lon, c.date, out, err), c.code);
        const std::string line = Contents(out);
        EXPECT_EQ(Contents(err).empty(), c.code != 2);
        std::fclose(out);
        std::fclose(err);
        EXPECT_TRUE(std::regex_match(line, std::regex(c.line))) << line;
    }
}

} // namespace
