// The example scene of the README's map picture: four bearings taken from stations of
// examples/ervalun.txt, estimated, and written as carte.html (over the example map), GPX, KML
// and GeoJSON into a folder. Not installed.
// Usage: ervalun_field_example EXAMPLES_DIR OUTPUT_DIR
#include "data/nearest_position.h"
#include "data/position_directory.h"
#include "geodesy/bearing_estimate.h"
#include "geodesy/field_export.h"
#include "geodesy/geodesic_check.h"
#include "geodesy/geodesic_fix.h"
#include "geodesy/leaflet_page.h"
#include "output/calibration.h"

#include <cstdio>
#include <filesystem>

using namespace ervalun;
using namespace ervalun::geodesy;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage : %s DOSSIER_EXEMPLES DOSSIER_SORTIE\n", argv[0]);
        return 2;
    }
    const std::filesystem::path examples = argv[1];
    const std::filesystem::path out = argv[2];
    std::vector<KnownPosition> directory;
    std::optional<DirectoryMistake> mistake;
    ReadDirectory((examples / "ervalun.txt").string(), directory, mistake);
    MapCalibration calibration;
    if (!ReadCalibration((examples / "calibration.txt").string(), calibration)) {
        std::fprintf(stderr, "calibration.txt illisible\n");
        return 1;
    }
    // Whole degrees, as read on a compass and corrected to true north.
    const struct {
        const char* name;
        double azimuth;
    } taken[] = {
        {"Le-Brévent", 108}, {"Montenvers", 264}, {"Aiguille-du-Midi", 350}, {"Lac-Blanc", 190}};
    std::vector<BearingInput> bearings;
    for (const auto& t : taken) {
        for (const KnownPosition& p : directory) {
            if (p.name == t.name) {
                BearingInput b;
                b.name = p.name;
                b.latitude = p.latitude;
                b.longitude = p.longitude;
                b.azimuth = t.azimuth;
                bearings.push_back(b);
            }
        }
    }
    if (bearings.size() != std::size(taken)) {
        std::fprintf(stderr, "stations absentes de ervalun.txt\n");
        return 1;
    }
    const BearingEstimate estimate = EstimatePosition(bearings, EstimateOptions{});
    if (!estimate.Found()) {
        std::fprintf(stderr, "%s\n", EstimateStatusReason(estimate.status).c_str());
        return 1;
    }

    FieldScene scene = MakeFieldScene(bearings, estimate);
    scene.title = "Exemple : quatre azimuts sur le massif du Mont-Blanc";
    const Sighting first{bearings[0].latitude, bearings[0].longitude, bearings[0].azimuth};
    const Sighting second{bearings[1].latitude, bearings[1].longitude, bearings[1].azimuth};
    const GeodesicFix fix = IntersectBearings(first, second);
    if (fix.Found()) {
        scene.geodesicFix = ScenePoint{"", fix.latitude, fix.longitude};
    }
    const FlatPoint flat = FlatFix(first, second);
    scene.flatFix = ScenePoint{"", flat.latitude, flat.longitude};
    if (const KnownPosition* near = FindNearest(directory, estimate.longitude, estimate.latitude)) {
        scene.nearest = ScenePoint{near->name.str(), near->latitude, near->longitude};
    }

    std::filesystem::create_directories(out);
    std::filesystem::copy_file(examples / "map.jpg", out / "map.jpg",
                               std::filesystem::copy_options::overwrite_existing);
    LeafletPageOptions options;
    options.calibration = calibration;
    const ExportResult results[] = {WriteLeafletPage((out / "carte.html").string(), scene, options),
                                    WriteGpx((out / "exemple.gpx").string(), scene),
                                    WriteKml((out / "exemple.kml").string(), scene),
                                    WriteGeoJson((out / "exemple.geojson").string(), scene)};
    for (const ExportResult& r : results) {
        if (!r.ok) {
            std::fprintf(stderr, "%s\n", r.error.c_str());
            return 1;
        }
    }
    return 0;
}
