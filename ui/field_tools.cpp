#include "ui/field_tools.h"

#include "engine/calculation.h"
#include "geodesy/leaflet_page.h"
#include "output/calibration.h"

#include <QFileInfo>

#include <filesystem>

namespace {

namespace geodesy = ervalun::geodesy;

struct Format {
    const char* suffix;
    const char* filter;
    geodesy::ExportResult (*write)(const std::string&, const geodesy::FieldScene&);
};

const Format kFormats[] = {{"gpx", "GPS (GPX) (*.gpx)", &geodesy::WriteGpx},
                           {"kml", "Google Earth (KML) (*.kml)", &geodesy::WriteKml},
                           {"geojson", "SIG (GeoJSON) (*.geojson *.json)", &geodesy::WriteGeoJson}};

} // namespace

geodesy::FieldScene WindowScene(const std::vector<geodesy::BearingInput>& bearings,
                                const geodesy::BearingEstimate& estimate,
                                const std::optional<geodesy::CheckFigures>& figures) {
    geodesy::FieldScene scene = geodesy::MakeFieldScene(bearings, estimate);
    if (!figures) {
        return scene;
    }
    if (figures->fix.Found()) {
        scene.geodesicFix = geodesy::ScenePoint{"", figures->fix.latitude, figures->fix.longitude};
    }
    if (figures->flatMeaningful) {
        scene.flatFix = geodesy::ScenePoint{"", figures->flatLatitude, figures->flatLongitude};
    }
    if (figures->input.known) {
        const geodesy::Place& known = *figures->input.known;
        scene.nearest = geodesy::ScenePoint{known.name, known.latitude, known.longitude};
    }
    return scene;
}

geodesy::ExportResult WriteFieldMap(const geodesy::FieldScene& scene) {
    geodesy::LeafletPageOptions options;
    MapCalibration calibration;
    std::error_code error;
    if (std::filesystem::exists("map.jpg", error) &&
        ervalun::ReadCalibration(ervalun::kCalibrationFileName, calibration)) {
        options.calibration = calibration;
    }
    return geodesy::WriteLeafletPage(kFieldMapFileName, scene, options);
}

QString ExportFilters() {
    QStringList filters;
    for (const Format& format : kFormats) {
        filters << QString::fromUtf8(format.filter);
    }
    return filters.join(QStringLiteral(";;"));
}

geodesy::ExportResult ExportScene(const QString& path, const QString& filter,
                                  const geodesy::FieldScene& scene, QString* written) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const Format* chosen = nullptr;
    for (const Format& format : kFormats) {
        if (suffix == QLatin1String(format.suffix) ||
            (suffix == QLatin1String("json") && format.write == &geodesy::WriteGeoJson)) {
            chosen = &format;
        }
    }
    QString target = path;
    if (chosen == nullptr) {
        chosen = &kFormats[0];
        for (const Format& format : kFormats) {
            if (filter == QString::fromUtf8(format.filter)) {
                chosen = &format;
            }
        }
        target += QLatin1Char('.') + QLatin1String(chosen->suffix);
    }
    if (written != nullptr) {
        *written = target;
    }
    return chosen->write(target.toStdString(), scene);
}
