#include "geodesy/leaflet_page.h"

#include "data/replace_file.h"
#include "engine/coordinates.h"
#include "geodesy/field_text.h"
#include "geodesy/geodesic_check.h"
#include "geodesy/leaflet_page_script.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#ifndef ERVALUN_LEAFLET_DIR
#define ERVALUN_LEAFLET_DIR "/usr/share/javascript/leaflet"
#endif

namespace ervalun::geodesy {

namespace {

constexpr double kMinimumSpan = 0.1;

bool ReadWhole(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return !in.bad();
}

bool ContainsNoCase(const std::string& text, std::string_view needle) {
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < needle.size() && same; ++k) {
            const char c = text[i + k];
            const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            same = lower == needle[k];
        }
        if (same) {
            return true;
        }
    }
    return false;
}

// Drops the source-map comment: the map file is not copied beside the page.
std::string WithoutSourceMap(std::string text) {
    for (const std::string_view marker : {"//# sourceMappingURL=", "/*# sourceMappingURL="}) {
        const auto at = text.rfind(marker);
        if (at != std::string::npos) {
            const auto end = text.find('\n', at);
            text.erase(at, end == std::string::npos ? std::string::npos : end - at);
        }
    }
    return text;
}

std::string JsonLatLon(const GeoPoint& p) {
    return "[" + FormatDegrees(p.latitude) + "," + FormatDegrees(p.longitude) + "]";
}

std::string JsonLatLons(const std::vector<GeoPoint>& points) {
    std::string out = "[";
    for (const GeoPoint& p : points) {
        out += (out.size() > 1 ? "," : "") + JsonLatLon(p);
    }
    return out + "]";
}

std::string EllipseTitle(const SceneFigures& f) {
    return std::isfinite(f.level)
               ? "Ellipse de confiance à " + FormatFixedDecimals(f.level * 100, 0) + " %"
               : "Ellipse de confiance";
}

// The scene as the page's script reads it, [latitude, longitude] as Leaflet takes them.
std::string SceneJson(const FieldScene& given, const LeafletPageOptions& options) {
    const FieldScene scene = FiniteScene(given);
    std::string out = "{\"title\":" + JsonString(ToUtf8(scene.title)) +
                      ",\"figures\":" + JsonString(FiguresDescription(scene.figures)) +
                      ",\"ellipseName\":" + JsonString(EllipseTitle(scene.figures));
    out += ",\"image\":";
    const std::optional<ImageBounds> bounds =
        options.calibration ? CalibrationUsable(*options.calibration) : std::nullopt;
    if (bounds) {
        out += "{\"url\":" + JsonString(ToUtf8(options.imageFile)) +
               ",\"south\":" + FormatDegrees(bounds->south) +
               ",\"west\":" + FormatDegrees(bounds->west) +
               ",\"north\":" + FormatDegrees(bounds->north) +
               ",\"east\":" + FormatDegrees(bounds->east) +
               ",\"width\":" + std::to_string(bounds->width) +
               ",\"height\":" + std::to_string(bounds->height) + "}";
    } else {
        out += "null";
    }
    std::string points;
    const auto point = [&](const char* kind, const std::string& name,
                           const std::string& description, double lat, double lon) {
        points += std::string(points.empty() ? "" : ",\n") + "{\"kind\":\"" + kind +
                  "\",\"name\":" + JsonString(name) +
                  ",\"description\":" + JsonString(description) + ",\"lat\":" + FormatDegrees(lat) +
                  ",\"lon\":" + FormatDegrees(lon) + "}";
    };
    std::string lines;
    for (const SceneStation& s : scene.stations) {
        point("station", ToUtf8(s.name), StationDescription(s), s.latitude, s.longitude);
        if (s.line.size() >= 2) {
            lines += std::string(lines.empty() ? "" : ",\n") +
                     "{\"name\":" + JsonString("Azimut depuis " + ToUtf8(s.name)) +
                     ",\"excluded\":" + (s.excluded ? "true" : "false") +
                     ",\"points\":" + JsonLatLons(s.line) + "}";
        }
    }
    const auto named = [&](const std::optional<ScenePoint>& p, const char* kind,
                           const char* label) {
        if (p) {
            const std::string name = ToUtf8(p->name);
            std::string description = std::string(label) + " : " + FormatDms(p->latitude, true) +
                                      " " + FormatDms(p->longitude, false);
            if (std::string_view(kind) == "estimation") {
                const std::string figures = FiguresDescription(scene.figures);
                description += figures.empty() ? "" : ". " + figures;
            }
            point(kind, name.empty() ? label : name, description, p->latitude, p->longitude);
        }
    };
    named(scene.estimate, "estimation", "Estimation");
    named(scene.geodesicFix, "point_geodesique", "Point géodésique");
    named(scene.flatFix, "point_plan", "Point plan");
    named(scene.nearest, "position_nommee", "Position nommée la plus proche");
    out += ",\n\"points\":[" + points + "],\n\"lines\":[" + lines +
           "],\n\"ellipse\":" + JsonLatLons(CounterClockwiseRing(scene.ellipse)) + "}";
    // Inside a <script>, "<!--" and "</script" in a name could end or turn the element; JSON has
    // "<" only within strings, where \u003c reads the same.
    std::string safe;
    for (const char c : out) {
        safe += c == '<' ? std::string("\\u003c") : std::string(1, c);
    }
    return safe;
}

} // namespace

std::string LeafletPageOptions::DefaultLeafletDir() {
    return ERVALUN_LEAFLET_DIR;
}

std::optional<ImageBounds> CalibrationUsable(const MapCalibration& c) {
    const MapCorner& tl = c.topLeft;
    const MapCorner& br = c.bottomRight;
    ImageBounds b;
    b.west = SignedDecimal(tl.longitudeDegrees, tl.longitudeMinutes, tl.longitudeSeconds, tl.west);
    b.north = SignedDecimal(tl.latitudeDegrees, tl.latitudeMinutes, tl.latitudeSeconds, tl.south);
    b.east = SignedDecimal(br.longitudeDegrees, br.longitudeMinutes, br.longitudeSeconds, br.west);
    b.south = SignedDecimal(br.latitudeDegrees, br.latitudeMinutes, br.latitudeSeconds, br.south);
    b.width = c.imageWidth;
    b.height = c.imageHeight;
    // Written so that a NaN edge refuses too.
    if (!(b.width > 0 && b.height > 0 && b.west + kMinimumSpan <= b.east &&
          b.south + kMinimumSpan <= b.north && b.north <= 90 && b.south >= -90)) {
        return std::nullopt;
    }
    return b;
}

bool ReadLeafletSources(const std::string& dir, LeafletSources& sources, std::string& error) {
    const std::string script = dir + "/leaflet.js";
    const std::string style = dir + "/leaflet.css";
    if (!ReadWhole(script, sources.script) || !ReadWhole(style, sources.style)) {
        error = "Leaflet est introuvable (" + ToUtf8(dir) +
                ") : installez le paquet libjs-leaflet pour écrire la carte.";
        return false;
    }
    sources.script = WithoutSourceMap(sources.script);
    sources.style = WithoutSourceMap(sources.style);
    // Text that would end the element early cannot be copied into the page as it is.
    if (ContainsNoCase(sources.script, "</script") || ContainsNoCase(sources.script, "<!--") ||
        ContainsNoCase(sources.style, "</style")) {
        error = "Leaflet (" + ToUtf8(dir) + ") ne peut pas être recopié dans la carte.";
        return false;
    }
    return true;
}

std::string LeafletPageText(const FieldScene& scene, const LeafletPageOptions& options,
                            const LeafletSources& sources) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>" +
                       XmlEscape(ToUtf8(scene.title)) +
                       " — carte</title>\n<link rel=\"icon\" href=\"data:,\">\n<style>\n";
    page += sources.style;
    page += kLeafletPageStyle;
    page += "</style>\n<script>\n";
    page += sources.script;
    page += "\n</script>\n</head>\n<body>\n<div id=\"entete\"></div>\n<div "
            "id=\"carte\"></div>\n<script>\n"
            "window.ervalunScene = ";
    page += SceneJson(scene, options);
    page += ";\n</script>\n<script>";
    page += kLeafletPageScript;
    page += "</script>\n</body>\n</html>\n";
    return page;
}

ExportResult WriteLeafletPage(const std::string& path, const FieldScene& scene,
                              const LeafletPageOptions& options) {
    LeafletSources sources;
    std::string error;
    if (!ReadLeafletSources(options.leafletDir, sources, error)) {
        return {false, error};
    }
    // A calibration without its image beside the page would show a broken image: the page
    // then draws its graticule instead.
    LeafletPageOptions used = options;
    const std::filesystem::path image =
        std::filesystem::path(path).parent_path() / std::filesystem::path(options.imageFile);
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(image, ignored)) {
        used.calibration.reset();
    }
    if (!ReplaceFile(path, LeafletPageText(scene, used, sources))) {
        return {false, "La carte n'a pas pu être écrite : " + ToUtf8(path) +
                           " (dossier absent, protégé ou disque plein)."};
    }
    return {true, {}};
}

} // namespace ervalun::geodesy
