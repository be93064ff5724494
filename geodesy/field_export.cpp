#include "geodesy/field_export.h"

#include "data/replace_file.h"
#include "geodesy/field_text.h"
#include "geodesy/geodesic_check.h"

#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/Math.hpp>

#include <algorithm>
#include <cmath>

namespace ervalun::geodesy {

namespace {

// A point as every file lists it.
struct Labelled {
    const char* kind;  // the GeoJSON "objet" and the KML style
    const char* label; // the GPX type and the KML folder, in French
    std::string name;
    std::string description;
    double latitude;
    double longitude;
};

// Within [-180, 180): GPX refuses 180 itself.
double ExportLongitude(double longitude) {
    const double wrapped = GeographicLib::Math::AngNormalize(longitude);
    return wrapped >= 180 ? wrapped - 360 : wrapped;
}

std::string Figure(double value, int decimals, const char* unit) {
    return FormatFixedDecimals(value, decimals) + unit;
}

std::string Position(double latitude, double longitude) {
    return FormatDms(latitude, true) + " " + FormatDms(longitude, false);
}

std::string PointName(const ScenePoint& point, const char* fallback) {
    const std::string name = ToUtf8(point.name);
    return name.empty() ? fallback : name;
}

// A name within its case, when the scene is one of several.
std::string InCase(const FieldScene& scene, const std::string& name) {
    return scene.caseName.empty() ? name : ToUtf8(scene.caseName) + " : " + name;
}

std::vector<Labelled> Points(const FieldScene& scene) {
    std::vector<Labelled> points;
    for (const SceneStation& s : scene.stations) {
        points.push_back({"station", "Station", InCase(scene, ToUtf8(s.name)),
                          StationDescription(s), s.latitude, s.longitude});
    }
    const auto add = [&](const std::optional<ScenePoint>& p, const char* kind, const char* label,
                         std::string extra) {
        if (p) {
            std::string description = label;
            description += " : " + Position(p->latitude, p->longitude);
            if (!extra.empty()) {
                description += ". " + extra;
            }
            points.push_back({kind, label, InCase(scene, PointName(*p, label)), description,
                              p->latitude, p->longitude});
        }
    };
    add(scene.estimate, "estimation", "Estimation", FiguresDescription(scene.figures));
    add(scene.geodesicFix, "point_geodesique", "Point géodésique", {});
    add(scene.flatFix, "point_plan", "Point plan", {});
    add(scene.nearest, "position_nommee", "Position nommée la plus proche", {});
    return points;
}

std::string LineName(const FieldScene& scene, const SceneStation& s) {
    return InCase(scene, "Azimut depuis " + ToUtf8(s.name));
}

std::string EllipseName(const SceneFigures& f) {
    if (std::isfinite(f.level)) {
        return "Ellipse de confiance à " + FormatFixedDecimals(f.level * 100, 0) + " %";
    }
    return "Ellipse de confiance";
}

std::string LatLonAttributes(double latitude, double longitude) {
    return "lat=\"" + FormatDegrees(latitude) + "\" lon=\"" +
           FormatDegrees(ExportLongitude(longitude)) + "\"";
}

std::string KmlCoordinates(const std::vector<GeoPoint>& points) {
    std::string out;
    for (const GeoPoint& p : points) {
        out += (out.empty() ? "" : " ") + FormatDegrees(ExportLongitude(p.longitude)) + "," +
               FormatDegrees(p.latitude);
    }
    return out;
}

std::string JsonPosition(double latitude, double longitude) {
    return "[" + FormatDegrees(ExportLongitude(longitude)) + "," + FormatDegrees(latitude) + "]";
}

std::string JsonPositions(const std::vector<GeoPoint>& points) {
    std::string out = "[";
    for (const GeoPoint& p : points) {
        out += (out.size() > 1 ? "," : "") + JsonPosition(p.latitude, p.longitude);
    }
    return out + "]";
}

// "key":value pairs of the finite figures, each preceded by a comma.
std::string JsonFigures(const SceneFigures& f) {
    std::string out;
    const auto put = [&](const char* key, double value, int decimals) {
        if (std::isfinite(value)) {
            out += ",\"" + std::string(key) + "\":" + FormatFixedDecimals(value, decimals);
        }
    };
    put("sigma_deg", f.sigma, 4);
    put("demi_grand_axe_m", f.semiMajor, 2);
    put("demi_petit_axe_m", f.semiMinor, 2);
    put("azimut_grand_axe_deg", f.majorAzimuth, 4);
    put("surface_ha", f.areaHectares, 4);
    put("niveau", f.level, 4);
    return out;
}

std::string JsonFeature(const std::string& geometry, const std::string& properties) {
    return "{\"type\":\"Feature\",\"geometry\":" + geometry + ",\"properties\":{" + properties +
           "}}";
}

ExportResult Write(const std::string& path, const std::string& text, const char* what) {
    if (ReplaceFile(path, text)) {
        return {true, {}};
    }
    return {false, std::string("Le fichier ") + what + " n'a pas pu être écrit : " + ToUtf8(path) +
                       " (dossier absent, protégé ou disque plein)."};
}

} // namespace

double BearingLineLength(double stationLatitude, double stationLongitude, double targetLatitude,
                         double targetLongitude) {
    double distance = 0;
    GeographicLib::Geodesic::WGS84().Inverse(stationLatitude, stationLongitude, targetLatitude,
                                             targetLongitude, distance);
    return distance + std::max(0.1 * distance, 200.0);
}

std::vector<GeoPoint> CounterClockwiseRing(const std::vector<GeoPoint>& ring) {
    std::vector<GeoPoint> out = ring;
    if (!out.empty() && (out.front().latitude != out.back().latitude ||
                         out.front().longitude != out.back().longitude)) {
        out.push_back(out.front());
    }
    if (out.size() < 4) {
        return {};
    }
    // Twice the signed area in the longitude/latitude plane, longitudes taken relative to the
    // first point so that a ring across the 180th meridian keeps its sense.
    double area = 0;
    const double lon0 = out.front().longitude;
    for (std::size_t i = 0; i + 1 < out.size(); ++i) {
        const double x1 = GeographicLib::Math::AngDiff(lon0, out[i].longitude);
        const double x2 = GeographicLib::Math::AngDiff(lon0, out[i + 1].longitude);
        area += x1 * out[i + 1].latitude - x2 * out[i].latitude;
    }
    if (area < 0) {
        std::reverse(out.begin(), out.end());
    }
    return out;
}

FieldScene FiniteScene(const FieldScene& given) {
    const auto finite = [](double latitude, double longitude) {
        return std::isfinite(longitude) && std::fabs(latitude) <= 90;
    };
    const auto finitePoint = [&](const GeoPoint& p) { return finite(p.latitude, p.longitude); };
    FieldScene scene = given;
    std::erase_if(scene.stations,
                  [&](const SceneStation& s) { return !finite(s.latitude, s.longitude); });
    for (SceneStation& s : scene.stations) {
        std::erase_if(s.line, [&](const GeoPoint& p) { return !finitePoint(p); });
    }
    for (std::optional<ScenePoint>* p :
         {&scene.estimate, &scene.geodesicFix, &scene.flatFix, &scene.nearest}) {
        if (*p && !finite((*p)->latitude, (*p)->longitude)) {
            p->reset();
        }
    }
    if (!std::all_of(scene.ellipse.begin(), scene.ellipse.end(), finitePoint)) {
        scene.ellipse.clear();
    }
    return scene;
}

std::string StationDescription(const SceneStation& s) {
    std::string out = "Station : " + Position(s.latitude, s.longitude);
    if (std::isfinite(s.azimuth)) {
        out += ". Azimut vrai " + Figure(s.azimuth, 1, "°");
    }
    if (std::isfinite(s.residual)) {
        out += ", résidu " + Figure(s.residual, 2, "°");
    }
    if (s.excluded) {
        out += " (écartée du calcul)";
    }
    return out;
}

std::string FiguresDescription(const SceneFigures& f) {
    std::vector<std::string> parts;
    if (std::isfinite(f.sigma)) {
        parts.push_back("σ des azimuts " + Figure(f.sigma, 2, "°"));
    }
    if (std::isfinite(f.semiMajor) && std::isfinite(f.semiMinor)) {
        // Within the sentence: "ellipse de confiance à 95 %".
        std::string ellipse = "e" + EllipseName(f).substr(1) + " : demi-axes " +
                              FormatDistance(f.semiMajor) + " et " + FormatDistance(f.semiMinor);
        if (std::isfinite(f.majorAzimuth)) {
            ellipse += ", grand axe au " + Figure(f.majorAzimuth, 1, "°");
        }
        parts.push_back(ellipse);
    }
    if (std::isfinite(f.areaHectares)) {
        parts.push_back("surface " + Figure(f.areaHectares, 2, " ha"));
    }
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : " ; ") + p;
    }
    return out;
}

std::string GpxText(const FieldScene& scene) {
    return GpxCasesText(std::vector<FieldScene>{scene}, scene.title);
}

std::string GpxCasesText(const std::vector<FieldScene>& given, const std::string& title) {
    std::vector<FieldScene> scenes;
    for (const FieldScene& scene : given) {
        scenes.push_back(FiniteScene(scene));
    }
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<gpx version=\"1.1\" creator=\"Ervalun\" "
                      "xmlns=\"http://www.topografix.com/GPX/1/1\" "
                      "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
                      "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
                      "http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";
    out += "  <metadata>\n    <name>" + XmlEscape(ToUtf8(title)) + "</name>\n";
    // The figures of several cases belong to each case's estimate, not to the file.
    const std::string figures = scenes.size() == 1 ? FiguresDescription(scenes[0].figures) : "";
    if (!figures.empty()) {
        out += "    <desc>" + XmlEscape(figures) + "</desc>\n";
    }
    out += "  </metadata>\n";
    // GPX wants every waypoint before the first route.
    for (const FieldScene& scene : scenes) {
        for (const Labelled& p : Points(scene)) {
            out += "  <wpt " + LatLonAttributes(p.latitude, p.longitude) + ">\n    <name>" +
                   XmlEscape(p.name) + "</name>\n    <desc>" + XmlEscape(p.description) +
                   "</desc>\n    <type>" + XmlEscape(p.label) + "</type>\n  </wpt>\n";
        }
    }
    const auto route = [&](const std::string& name, const std::string& desc,
                           const std::vector<GeoPoint>& points) {
        out += "  <rte>\n    <name>" + XmlEscape(name) + "</name>\n";
        if (!desc.empty()) {
            out += "    <desc>" + XmlEscape(desc) + "</desc>\n";
        }
        for (const GeoPoint& p : points) {
            out += "    <rtept " + LatLonAttributes(p.latitude, p.longitude) + "/>\n";
        }
        out += "  </rte>\n";
    };
    for (const FieldScene& scene : scenes) {
        for (const SceneStation& s : scene.stations) {
            if (s.line.size() >= 2) {
                route(LineName(scene, s), StationDescription(s), s.line);
            }
        }
        const std::vector<GeoPoint> ring = CounterClockwiseRing(scene.ellipse);
        if (!ring.empty()) {
            route(InCase(scene, EllipseName(scene.figures)), FiguresDescription(scene.figures),
                  ring);
        }
    }
    return out + "</gpx>\n";
}

std::string KmlText(const FieldScene& scene) {
    return KmlCasesText(std::vector<FieldScene>{scene}, scene.title);
}

std::string KmlCasesText(const std::vector<FieldScene>& scenes, const std::string& title) {
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n";
    out += "  <name>" + XmlEscape(ToUtf8(title)) + "</name>\n";
    // Colours are aabbggrr.
    const struct {
        const char* id;
        const char* colour;
    } styles[] = {{"station", "ff1e1e1e"},
                  {"estimation", "ff0000dd"},
                  {"point_geodesique", "ffdd6600"},
                  {"point_plan", "ff00a0ff"},
                  {"position_nommee", "ff00aa00"}};
    for (const auto& st : styles) {
        out += "  <Style id=\"" + std::string(st.id) + "\"><IconStyle><color>" + st.colour +
               "</color></IconStyle></Style>\n";
    }
    out += "  <Style id=\"azimut\"><LineStyle><color>ff1e1e1e</color><width>2</width>"
           "</LineStyle></Style>\n"
           "  <Style id=\"ellipse\"><LineStyle><color>ff0000dd</color><width>2</width>"
           "</LineStyle><PolyStyle><color>400000dd</color></PolyStyle></Style>\n";
    const auto placemark = [&](const std::string& name, const std::string& description,
                               const std::string& style, const std::string& geometry) {
        out += "  <Placemark>\n    <name>" + XmlEscape(name) + "</name>\n";
        if (!description.empty()) {
            out += "    <description>" + XmlEscape(description) + "</description>\n";
        }
        out += "    <styleUrl>#" + style + "</styleUrl>\n    " + geometry + "\n  </Placemark>\n";
    };
    for (const FieldScene& given : scenes) {
        const FieldScene scene = FiniteScene(given);
        for (const Labelled& p : Points(scene)) {
            placemark(p.name, p.description, p.kind,
                      "<Point><coordinates>" + KmlCoordinates({GeoPoint{p.latitude, p.longitude}}) +
                          "</coordinates></Point>");
        }
        for (const SceneStation& s : scene.stations) {
            if (s.line.size() >= 2) {
                placemark(LineName(scene, s), StationDescription(s), "azimut",
                          "<LineString><tessellate>1</tessellate><coordinates>" +
                              KmlCoordinates(s.line) + "</coordinates></LineString>");
            }
        }
        const std::vector<GeoPoint> ring = CounterClockwiseRing(scene.ellipse);
        if (!ring.empty()) {
            placemark(InCase(scene, EllipseName(scene.figures)), FiguresDescription(scene.figures),
                      "ellipse",
                      "<Polygon><tessellate>1</tessellate><outerBoundaryIs><LinearRing>"
                      "<coordinates>" +
                          KmlCoordinates(ring) +
                          "</coordinates></LinearRing></outerBoundaryIs></Polygon>");
        }
    }
    return out + "</Document>\n</kml>\n";
}

std::string GeoJsonText(const FieldScene& scene) {
    return GeoJsonCasesText(std::vector<FieldScene>{scene}, scene.title);
}

// GeoJSON has no title: the collection is all there is.
std::string GeoJsonCasesText(const std::vector<FieldScene>& scenes, const std::string&) {
    std::vector<std::string> features;
    for (const FieldScene& given : scenes) {
        const FieldScene scene = FiniteScene(given);
        const std::string inCase =
            scene.caseName.empty() ? "" : ",\"cas\":" + JsonString(ToUtf8(scene.caseName));
        for (const Labelled& p : Points(scene)) {
            std::string properties = "\"objet\":" + JsonString(p.kind) +
                                     ",\"nom\":" + JsonString(p.name) +
                                     ",\"description\":" + JsonString(p.description) + inCase;
            if (std::string_view(p.kind) == "estimation") {
                properties += JsonFigures(scene.figures);
            }
            features.push_back(JsonFeature("{\"type\":\"Point\",\"coordinates\":" +
                                               JsonPosition(p.latitude, p.longitude) + "}",
                                           properties));
        }
        for (const SceneStation& s : scene.stations) {
            if (s.line.size() < 2) {
                continue;
            }
            std::string properties =
                "\"objet\":\"azimut\",\"nom\":" + JsonString(LineName(scene, s)) +
                ",\"station\":" + JsonString(ToUtf8(s.name)) + inCase;
            if (std::isfinite(s.azimuth)) {
                properties += ",\"azimut_deg\":" + FormatFixedDecimals(s.azimuth, 4);
            }
            if (std::isfinite(s.residual)) {
                properties += ",\"residu_deg\":" + FormatFixedDecimals(s.residual, 4);
            }
            properties += std::string(",\"ecartee\":") + (s.excluded ? "true" : "false");
            features.push_back(JsonFeature(
                "{\"type\":\"LineString\",\"coordinates\":" + JsonPositions(s.line) + "}",
                properties));
        }
        const std::vector<GeoPoint> ring = CounterClockwiseRing(scene.ellipse);
        if (!ring.empty()) {
            features.push_back(
                JsonFeature("{\"type\":\"Polygon\",\"coordinates\":[" + JsonPositions(ring) + "]}",
                            "\"objet\":\"ellipse\",\"nom\":" +
                                JsonString(InCase(scene, EllipseName(scene.figures))) + inCase +
                                JsonFigures(scene.figures)));
        }
    }
    std::string out = "{\"type\":\"FeatureCollection\",\"features\":[";
    for (std::size_t i = 0; i < features.size(); ++i) {
        out += (i == 0 ? "\n" : ",\n") + features[i];
    }
    return out + "\n]}\n";
}

ExportResult WriteGpx(const std::string& path, const FieldScene& scene) {
    return Write(path, GpxText(scene), "GPX");
}

ExportResult WriteKml(const std::string& path, const FieldScene& scene) {
    return Write(path, KmlText(scene), "KML");
}

ExportResult WriteGeoJson(const std::string& path, const FieldScene& scene) {
    return Write(path, GeoJsonText(scene), "GeoJSON");
}

} // namespace ervalun::geodesy
