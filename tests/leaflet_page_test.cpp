#include "geodesy/leaflet_page.h"
#include "output/calibration.h"
#include "tests/field_scene.h"
#include "tests/support/work_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

namespace {

using namespace ervalun::geodesy;
using field_testing::HaveTool;
using field_testing::RunCommand;

MapCalibration ExampleCalibration() {
    MapCalibration calibration;
    EXPECT_TRUE(ervalun::ReadCalibration(ERVALUN_EXAMPLES_DIR "/calibration.txt", calibration));
    return calibration;
}

TEST(LeafletPage, CalibrationIsUsedOnlyWhenUsable) {
    const MapCalibration example = ExampleCalibration();
    const auto with = [&](const std::function<void(MapCalibration&)>& change) {
        MapCalibration c = example;
        change(c);
        return c;
    };
    const struct {
        const char* what;
        MapCalibration calibration;
        bool usable;
    } cases[] = {
        {"the example", example, true},
        {"no width", with([](MapCalibration& c) { c.imageWidth = 0; }), false},
        {"west and east swapped", with([](MapCalibration& c) {
             std::swap(c.topLeft.longitudeDegrees, c.bottomRight.longitudeDegrees);
             std::swap(c.topLeft.longitudeMinutes, c.bottomRight.longitudeMinutes);
         }),
         false},
        {"a span under 0.1 degree", with([](MapCalibration& c) {
             c.bottomRight.latitudeMinutes = c.topLeft.latitudeMinutes - 5;
             c.bottomRight.latitudeDegrees = c.topLeft.latitudeDegrees;
         }),
         false},
        {"west of Greenwich", with([](MapCalibration& c) {
             c.topLeft.west = 1;
             c.topLeft.longitudeDegrees = 1;
         }),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CalibrationUsable(c.calibration).has_value(), c.usable);
    }
    const auto bounds = CalibrationUsable(example);
    ASSERT_TRUE(bounds);
    EXPECT_DOUBLE_EQ(bounds->west, 6 + 40 / 60.0);
    EXPECT_DOUBLE_EQ(bounds->south, 45 + 48 / 60.0);
    EXPECT_DOUBLE_EQ(bounds->east, 7 + 4 / 60.0);
    EXPECT_DOUBLE_EQ(bounds->north, 46 + 3 / 60.0);
}

// A name cannot end the page's scripts early; without its image the page draws no image, and
// without Leaflet no page is left behind.
TEST(LeafletPage, NamesStayInsideTheScriptAndMissingFilesAreHandled) {
    testing_support::ScopedWorkDir dir;
    const FieldScene scene = field_testing::SampleScene();
    ASSERT_TRUE(WriteLeafletPage("carte.html", scene, {}).ok);
    const std::string page = testing_support::ReadFile("carte.html");
    std::size_t closings = 0;
    for (auto at = page.find("</script"); at != std::string::npos;
         at = page.find("</script", at + 1)) {
        ++closings;
    }
    EXPECT_EQ(closings, 3u); // Leaflet, the scene, the drawing
    EXPECT_NE(page.find("Argentière\\u003c\\/script>"), std::string::npos);
    EXPECT_EQ(page.find("sourceMappingURL"), std::string::npos);

    LeafletPageOptions options;
    options.calibration = ExampleCalibration();
    ASSERT_TRUE(WriteLeafletPage("carte.html", scene, options).ok); // no map.jpg here
    EXPECT_NE(testing_support::ReadFile("carte.html").find("\"image\":null"), std::string::npos);

    options.leafletDir = (dir.path() / "nowhere").string();
    const ExportResult result = WriteLeafletPage("other.html", scene, options);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("libjs-leaflet"), std::string::npos) << result.error;
    EXPECT_FALSE(std::filesystem::exists("other.html"));
}

struct Drawn {
    double x = 0;
    double y = 0;
};

// Headless Chromium loads the page with no network: no console error, a scale, a legend, no
// tile fetched; over the calibrated image each marker on the image's pixel its calibration
// gives; without a calibration, a graticule instead.
TEST(LeafletPage, BrowserDrawsMarkersOnTheirPixels) {
    if (!HaveTool("node") || !HaveTool("chromium")) {
        GTEST_SKIP() << "node or chromium is not installed";
    }
    testing_support::ScopedWorkDir dir;
    std::filesystem::copy_file(ERVALUN_EXAMPLES_DIR "/map.jpg", dir.path() / "map.jpg");
    const FieldScene scene = field_testing::SampleScene();
    const auto bounds = CalibrationUsable(ExampleCalibration());
    ASSERT_TRUE(bounds);
    for (const bool calibrated : {true, false}) {
        SCOPED_TRACE(calibrated ? "calibrated" : "no calibration");
        LeafletPageOptions options;
        if (calibrated) {
            options.calibration = ExampleCalibration();
        }
        ASSERT_TRUE(WriteLeafletPage("carte.html", scene, options).ok);
        std::filesystem::create_directory("profile");
        int status = 0;
        const std::string out = RunCommand("node " ERVALUN_PAGE_PROBE " chromium 'file://" +
                                               (dir.path() / "carte.html").string() + "' " +
                                               (dir.path() / "profile").string(),
                                           status);
        std::filesystem::remove_all("profile");
        ASSERT_EQ(status, 0);
        ASSERT_EQ(out.find("\"error\""), std::string::npos) << out;
        EXPECT_NE(out.find("\"errors\":[]"), std::string::npos) << out;
        EXPECT_NE(out.find("\"scale\":1"), std::string::npos) << out;
        EXPECT_NE(out.find("\"tiles\":0"), std::string::npos) << out;
        EXPECT_NE(out.find("\"Ellipse de confiance à 95 %\""), std::string::npos) << out;

        std::map<std::string, Drawn> drawn;
        const std::regex point("\\{\"kind\":\"\\w+\",\"name\":\"((?:[^\"\\\\]|\\\\.)*)\","
                               "\"x\":(-?[0-9.]+),\"y\":(-?[0-9.]+)\\}");
        for (std::sregex_iterator it(out.begin(), out.end(), point), end; it != end; ++it) {
            const std::string name =
                std::regex_replace((*it)[1].str(), std::regex("\\\\(.)"), "$1");
            drawn[name] = {std::stod((*it)[2]), std::stod((*it)[3])};
        }
        const std::vector<field_testing::Expected> expected = field_testing::ExpectedPoints(scene);
        ASSERT_EQ(drawn.size(), expected.size()) << out;

        std::smatch image;
        const bool hasImage = std::regex_search(
            out, image,
            std::regex("\"image\":\\{\"left\":(-?[0-9.]+),\"top\":(-?[0-9.]+),\"width\":([0-9.]+),"
                       "\"height\":([0-9.]+)\\}"));
        EXPECT_EQ(hasImage, calibrated) << out;
        EXPECT_EQ(out.find("\"graticule\":0"),
                  calibrated ? out.find("\"graticule\"") : std::string::npos)
            << out;
        if (!hasImage) {
            continue;
        }
        const double left = std::stod(image[1]);
        const double top = std::stod(image[2]);
        const double xScale = bounds->width / std::stod(image[3]);
        const double yScale = bounds->height / std::stod(image[4]);
        for (const auto& e : expected) {
            SCOPED_TRACE(e.name);
            ASSERT_EQ(drawn.count(e.name), 1u);
            // The image's pixel as map.html places it: linear in longitude and latitude.
            const double px =
                (e.longitude - bounds->west) / (bounds->east - bounds->west) * bounds->width;
            const double py =
                (bounds->north - e.latitude) / (bounds->north - bounds->south) * bounds->height;
            EXPECT_NEAR((drawn[e.name].x - left) * xScale, px, 1.5);
            EXPECT_NEAR((drawn[e.name].y - top) * yScale, py, 1.5);
        }
    }
}

} // namespace
