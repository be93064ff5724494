#include "geodesy/field_export.h"
#include "geodesy/field_text.h"
#include "tests/field_scene.h"
#include "tests/support/locale_guard.h"
#include "tests/support/work_dir.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/GeodesicLine.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <regex>

namespace {

using namespace ervalun::geodesy;
using field_testing::Expected;
using field_testing::ExpectedPoints;
using field_testing::HaveTool;
using field_testing::RunCommand;
using field_testing::SampleScene;

// Twice the signed area of a ring of (longitude, latitude) pairs: positive when
// counter-clockwise.
double SignedArea(const std::vector<std::pair<double, double>>& ring) {
    double area = 0;
    for (std::size_t i = 0; i + 1 < ring.size(); ++i) {
        area += ring[i].first * ring[i + 1].second - ring[i + 1].first * ring[i].second;
    }
    return area;
}

TEST(FieldText, NamesBecomeUtf8AndAreEscaped) {
    const struct {
        const char* in;
        const char* utf8;
    } names[] = {
        {"Le-Br\xc3\xa9vent", "Le-Brévent"},            // UTF-8 already
        {"Le-Br\xe9vent", "Le-Brévent"},                // Latin-1
        {"D\xf4me-du-Go\xfbter", "Dôme-du-Goûter"},     // Latin-1, two letters
        {"\xc3\xa9t\xe9", "Ã©té"},                      // mixed: all read as Latin-1
        {"\xc0\xaf", "À¯"},                             // overlong form of '/'
        {"\xed\xa0\x80", "í\xc2\xa0\xc2\x80"},          // a surrogate
        {"Refuge \xe2\x80\xa8", "Refuge \xe2\x80\xa8"}, // U+2028 is valid UTF-8
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.in);
        EXPECT_EQ(ToUtf8(n.in), n.utf8);
    }
    const struct {
        std::string in;
        const char* xml;
        const char* json;
    } texts[] = {
        {"a<b>&\"c'", "a&lt;b&gt;&amp;&quot;c&apos;", "\"a<b>&\\\"c'\""},
        {"x</script>", "x&lt;/script&gt;", "\"x<\\/script>\""},
        {"tab\tret\nbell\x07", "tab\tret\nbell ", "\"tab\\tret\\nbell\\u0007\""},
        {"back\\slash /", "back\\slash /", "\"back\\\\slash /\""},
        {"l\xe2\x80\xa8p\xe2\x80\xa9", "l\xe2\x80\xa8p\xe2\x80\xa9", "\"l\\u2028p\\u2029\""},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(t.in);
        EXPECT_EQ(XmlEscape(t.in), t.xml);
        EXPECT_EQ(JsonString(t.in), t.json);
    }
}

TEST(FieldExport, EllipseRingIsClosedAndCounterClockwise) {
    const std::vector<GeoPoint> clockwise = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    std::vector<GeoPoint> counter(clockwise.rbegin(), clockwise.rend());
    // Across the 180th meridian, where plain longitudes would flip the sense.
    const std::vector<GeoPoint> antimeridian = {{0, 179.5}, {1, 179.5}, {1, -179.5}, {0, -179.5}};
    const struct {
        const char* what;
        std::vector<GeoPoint> ring;
        std::size_t size;
    } cases[] = {
        {"clockwise, open", clockwise, 5},
        {"counter-clockwise, closed",
         [&] {
             auto r = counter;
             r.push_back(r[0]);
             return r;
         }(),
         5},
        {"across 180", antimeridian, 5},
        {"too few", {{0, 0}, {1, 1}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<GeoPoint> ring = CounterClockwiseRing(c.ring);
        ASSERT_EQ(ring.size(), c.size);
        if (ring.empty()) {
            continue;
        }
        EXPECT_EQ(ring.front().latitude, ring.back().latitude);
        EXPECT_EQ(ring.front().longitude, ring.back().longitude);
        std::vector<std::pair<double, double>> xy;
        for (const GeoPoint& p : ring) {
            xy.push_back({std::remainder(p.longitude - ring[0].longitude, 360.0), p.latitude});
        }
        EXPECT_GT(SignedArea(xy), 0);
    }
}

// Each file written, then checked by a reader that is no part of the program.
struct Reader {
    const char* what;
    const char* tool;
    std::function<std::string(const FieldScene&)> text;
    const char* file;
    std::string command; // %F is the file
};

std::string Command(std::string command, const std::string& file) {
    return std::regex_replace(command, std::regex("%F"), file);
}

// xmllint (well-formedness: the GPX and KML schemas are not on the machine) and gpsbabel,
// which must give back every waypoint's name and place.
TEST(FieldExport, XmlFilesReadBackWithGpsbabel) {
    const FieldScene scene = SampleScene();
    const Reader readers[] = {
        {"GPX", "gpsbabel", GpxText, "scene.gpx", "gpsbabel -i gpx -f %F -o unicsv -F -"},
        {"KML", "gpsbabel", KmlText, "scene.kml", "gpsbabel -i kml -f %F -o unicsv -F -"},
    };
    testing_support::ScopedWorkDir dir;
    for (const Reader& r : readers) {
        SCOPED_TRACE(r.what);
        const ExportResult written =
            r.file == std::string("scene.gpx") ? WriteGpx(r.file, scene) : WriteKml(r.file, scene);
        ASSERT_TRUE(written.ok) << written.error;
        EXPECT_EQ(testing_support::ReadFile(r.file), r.text(scene));
        int status = 0;
        if (HaveTool("xmllint")) {
            RunCommand(Command("xmllint --noout %F 2>&1", r.file), status);
            EXPECT_EQ(status, 0);
        }
        if (!HaveTool(r.tool)) {
            GTEST_SKIP() << r.tool << " is not installed";
        }
        const std::vector<std::string> rows =
            testing_support::Lines(RunCommand(Command(r.command, r.file), status));
        ASSERT_EQ(status, 0);
        const std::vector<Expected> expected = ExpectedPoints(scene);
        ASSERT_EQ(rows.size(), expected.size() + 1);
        // unicsv ends its lines with CR LF.
        const std::regex row("^\\d+,(-?[0-9.]+),(-?[0-9.]+),\"((?:[^\"]|\"\")*)\"[^]*");
        for (std::size_t i = 0; i < expected.size(); ++i) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(rows[i + 1], m, row)) << rows[i + 1];
            EXPECT_EQ(std::regex_replace(m[3].str(), std::regex("\"\""), "\""), expected[i].name);
            EXPECT_NEAR(std::stod(m[1]), expected[i].latitude, 6e-7);
            EXPECT_NEAR(std::stod(m[2]), expected[i].longitude, 6e-7);
        }
    }
    // The routes: one per bearing line and the closed ellipse, every point.
    int status = 0;
    const auto routes = testing_support::Lines(
        RunCommand("gpsbabel -r -i gpx -f scene.gpx -o unicsv -F -", status));
    std::size_t points = CounterClockwiseRing(scene.ellipse).size();
    for (const SceneStation& s : scene.stations) {
        points += s.line.size();
    }
    EXPECT_EQ(routes.size(), points + 1);
}

// ogrinfo (GDAL) reads the GeoJSON and the KML: every feature, the points at their places, the
// ellipse a closed counter-clockwise polygon.
TEST(FieldExport, GisFilesReadBackWithOgrinfo) {
    if (!HaveTool("ogrinfo")) {
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    }
    const FieldScene scene = SampleScene();
    testing_support::ScopedWorkDir dir;
    ASSERT_TRUE(WriteGeoJson("scene.geojson", scene).ok);
    ASSERT_TRUE(WriteKml("scene.kml", scene).ok);
    const struct {
        const char* file;
        const char* nameField;
    } files[] = {{"scene.geojson", "nom"}, {"scene.kml", "Name"}};
    const std::vector<Expected> expected = ExpectedPoints(scene);
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        int status = 0;
        const std::string out = RunCommand(std::string("ogrinfo -ro -al -q ") + f.file, status);
        ASSERT_EQ(status, 0);
        std::vector<std::string> names;
        std::vector<std::pair<double, double>> points;
        std::vector<std::pair<double, double>> polygon;
        int lines = 0;
        for (const std::string& line : testing_support::Lines(out)) {
            std::smatch m;
            if (std::regex_match(
                    line, m,
                    std::regex(std::string("  ") + f.nameField + " \\(String\\) = (.*)"))) {
                names.push_back(m[1]);
            } else if (std::regex_match(line, m, std::regex("  POINT \\((\\S+) (\\S+)\\)"))) {
                points.push_back({std::stod(m[1]), std::stod(m[2])});
            } else if (line.rfind("  LINESTRING", 0) == 0) {
                ++lines;
            } else if (line.rfind("  POLYGON ((", 0) == 0) {
                const std::regex pair("(-?[0-9.]+) (-?[0-9.]+)");
                for (std::sregex_iterator it(line.begin(), line.end(), pair), end; it != end;
                     ++it) {
                    polygon.push_back({std::stod((*it)[1]), std::stod((*it)[2])});
                }
            }
        }
        ASSERT_EQ(points.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(names[i], expected[i].name);
            EXPECT_NEAR(points[i].first, expected[i].longitude, 1e-8);
            EXPECT_NEAR(points[i].second, expected[i].latitude, 1e-8);
        }
        EXPECT_EQ(lines, static_cast<int>(scene.stations.size()));
        ASSERT_EQ(polygon.size(), CounterClockwiseRing(scene.ellipse).size());
        EXPECT_EQ(polygon.front(), polygon.back());
        EXPECT_GT(SignedArea(polygon), 0);
    }
}

// The files do not depend on the process locale, and a failed write says why.
TEST(FieldExport, LocaleFreeAndFailuresExplained) {
    const FieldScene scene = SampleScene();
    const std::string gpx = GpxText(scene);
    const std::string kml = KmlText(scene);
    const std::string json = GeoJsonText(scene);
    {
        testing_support::FrenchLocale french;
        if (testing_support::FrenchLocale::WritesDecimalComma()) {
            EXPECT_EQ(GpxText(scene), gpx);
            EXPECT_EQ(KmlText(scene), kml);
            EXPECT_EQ(GeoJsonText(scene), json);
        }
    }
    EXPECT_NE(gpx.find("lat=\"45.934166667\" lon=\"6.837500000\""), std::string::npos);
    // What cannot be drawn is left out rather than written as an empty or "nan" number.
    FieldScene broken = scene;
    broken.estimate->latitude = NAN;
    broken.stations[1].longitude = INFINITY;
    broken.stations[0].line[1].latitude = NAN;
    broken.ellipse[5].longitude = NAN;
    FieldScene kept = scene;
    kept.estimate.reset();
    kept.stations.erase(kept.stations.begin() + 1);
    kept.stations[0].line.erase(kept.stations[0].line.begin() + 1);
    kept.ellipse.clear();
    EXPECT_EQ(GpxText(broken), GpxText(kept));
    EXPECT_EQ(KmlText(broken), KmlText(kept));
    EXPECT_EQ(GeoJsonText(broken), GeoJsonText(kept));
    const std::string missing = "/nonexistent-folder/scene";
    const struct {
        ExportResult result;
        const char* what;
    } failures[] = {{WriteGpx(missing + ".gpx", scene), "GPX"},
                    {WriteKml(missing + ".kml", scene), "KML"},
                    {WriteGeoJson(missing + ".geojson", scene), "GeoJSON"}};
    for (const auto& f : failures) {
        EXPECT_FALSE(f.result.ok);
        EXPECT_NE(f.result.error.find(f.what), std::string::npos) << f.result.error;
        EXPECT_NE(f.result.error.find(missing), std::string::npos) << f.result.error;
    }
}

// The bearing lines the files and the page draw are straight segments in latitude and
// longitude: none may stray more than a metre from the geodesic it stands for, whatever the
// latitude, the azimuth or the length, across the 180th meridian too.
TEST(FieldExport, BearingLinesStayWithinAMetreOfTheGeodesic) {
    const struct {
        double latitude;
        double longitude;
        double azimuth;
        double length;
    } lines[] = {
        {45.934167, 6.8375, 108, 3500}, {45.928889, 6.918611, 264, 60000}, {0.5, 10, 45, 500000},
        {69.5, 25, 2, 300000},          {-54.8, -68.3, 271, 400000},       {65, 179.5, 80, 200000},
        {80, 0, 135, 1000000},
    };
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    for (const auto& l : lines) {
        SCOPED_TRACE(testing::Message() << l.latitude << " " << l.longitude << " az " << l.azimuth
                                        << " " << l.length << " m");
        const std::vector<GeoPoint> path =
            GeodesicPath(l.latitude, l.longitude, l.azimuth, l.length);
        ASSERT_GE(path.size(), 2u);
        const GeographicLib::GeodesicLine line = wgs84.Line(l.latitude, l.longitude, l.azimuth);
        const auto distanceTo = [&](double lat, double lon, double s) {
            double plat = 0;
            double plon = 0;
            line.Position(s, plat, plon);
            double d = 0;
            wgs84.Inverse(lat, lon, plat, plon, d);
            return d;
        };
        // Each end on the geodesic, the last at the length asked.
        EXPECT_LT(distanceTo(path.front().latitude, path.front().longitude, 0), 1e-6);
        EXPECT_LT(distanceTo(path.back().latitude, path.back().longitude, l.length), 1e-3);
        double worst = 0;
        for (std::size_t i = 0; i + 1 < path.size(); ++i) {
            const GeoPoint& a = path[i];
            const GeoPoint& b = path[i + 1];
            const double dLon = std::remainder(b.longitude - a.longitude, 360.0);
            double sa = 0;
            double sb = 0;
            wgs84.Inverse(l.latitude, l.longitude, a.latitude, a.longitude, sa);
            wgs84.Inverse(l.latitude, l.longitude, b.latitude, b.longitude, sb);
            for (const double t : {0.25, 0.5, 0.75}) {
                const double lat = a.latitude + t * (b.latitude - a.latitude);
                const double lon = a.longitude + t * dLon;
                // The nearest point of the geodesic, by a ternary search along it near the
                // segment.
                double s0 = std::min(sa, sb) - 100;
                double s1 = std::max(sa, sb) + 100;
                for (int k = 0; k < 60; ++k) {
                    const double m0 = s0 + (s1 - s0) / 3;
                    const double m1 = s1 - (s1 - s0) / 3;
                    if (distanceTo(lat, lon, m0) < distanceTo(lat, lon, m1)) {
                        s1 = m1;
                    } else {
                        s0 = m0;
                    }
                }
                worst = std::max(worst, distanceTo(lat, lon, (s0 + s1) / 2));
            }
        }
        EXPECT_LE(worst, 1.0);
    }
}

// The scene of an estimate: each station marked as given, with its residual and a line that runs
// a little past the estimate; without an estimate, lines of the length asked and no ellipse.
TEST(FieldExport, SceneOfAnEstimate) {
    const FieldScene sample = SampleScene();
    std::vector<BearingInput> bearings;
    for (const SceneStation& s : sample.stations) {
        BearingInput b;
        b.name = s.name;
        b.latitude = s.latitude;
        b.longitude = s.longitude;
        b.azimuth = s.azimuth;
        b.excluded = s.excluded;
        bearings.push_back(b);
    }
    const GeographicLib::Geodesic& wgs84 = GeographicLib::Geodesic::WGS84();
    for (const bool found : {true, false}) {
        SCOPED_TRACE(found ? "estimate" : "no estimate");
        const BearingEstimate estimate =
            found ? EstimatePosition(bearings, EstimateOptions{}) : BearingEstimate{};
        ASSERT_EQ(estimate.Found(), found);
        const FieldScene scene = MakeFieldScene(bearings, estimate, 5000);
        ASSERT_EQ(scene.stations.size(), bearings.size());
        EXPECT_EQ(scene.estimate.has_value(), found);
        EXPECT_EQ(scene.ellipse.size() > 3, found);
        EXPECT_EQ(std::isfinite(scene.figures.semiMajor), found);
        for (std::size_t i = 0; i < bearings.size(); ++i) {
            const SceneStation& s = scene.stations[i];
            EXPECT_EQ(s.excluded, bearings[i].excluded);
            EXPECT_EQ(std::isfinite(s.residual), found);
            ASSERT_GE(s.line.size(), 2u);
            double reach = 0;
            wgs84.Inverse(s.latitude, s.longitude, s.line.back().latitude, s.line.back().longitude,
                          reach);
            if (!found) {
                EXPECT_NEAR(reach, 5000, 1e-3);
                continue;
            }
            double range = 0;
            wgs84.Inverse(s.latitude, s.longitude, estimate.latitude, estimate.longitude, range);
            EXPECT_NEAR(reach, range + std::max(0.1 * range, 200.0), 1e-3);
        }
    }
}

} // namespace
