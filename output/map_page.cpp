#include "output/map_page.h"

#include "data/replace_file.h"
#include "engine/coordinates.h"
#include "engine/numeric.h"

#include <charconv>

namespace ervalun {

namespace {

// A marker image is 50 pixels square; its centre goes on the point.
constexpr int kMarkerHalf = 25;
constexpr double kMinimumSpan = 0.1;

void AppendInt(std::string& out, int value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, res.ptr);
}

void AppendMarkerStyle(std::string& out, const MarkerOffset& marker) {
    out += "style=\"position:absolute;left:";
    AppendInt(out, marker.left);
    out += "px;top:";
    AppendInt(out, marker.top);
    out += "px;z-index:1\">\n";
}

} // namespace

std::optional<MarkerOffsets> PlaceMarkers(const MapCalibration& calibration, const Vector2& first,
                                          const Vector2& second, const Vector2& result) {
    const MapCorner& tl = calibration.topLeft;
    const MapCorner& br = calibration.bottomRight;
    const double westEdge =
        SignedDecimal(tl.longitudeDegrees, tl.longitudeMinutes, tl.longitudeSeconds, tl.west);
    const double northEdge =
        SignedDecimal(tl.latitudeDegrees, tl.latitudeMinutes, tl.latitudeSeconds, tl.south);
    const double eastEdge =
        SignedDecimal(br.longitudeDegrees, br.longitudeMinutes, br.longitudeSeconds, br.west);
    const double southEdge =
        SignedDecimal(br.latitudeDegrees, br.latitudeMinutes, br.latitudeSeconds, br.south);
    const double lonSpan = eastEdge - westEdge;
    const double latSpan = northEdge - southEdge;
    // Written so that a NaN edge refuses too.
    if (!(westEdge < eastEdge && southEdge < northEdge && lonSpan >= kMinimumSpan &&
          latSpan >= kMinimumSpan)) {
        return std::nullopt;
    }
    const double xScale = calibration.imageWidth / lonSpan;
    const double yScale = calibration.imageHeight / latSpan;

    // A result from nearly parallel bearings may lie 1e12 degrees away (or be infinite):
    // offsets then saturate at the limits of int.
    const auto place = [&](const Vector2& p) {
        return MarkerOffset{SaturatingSub(TruncToInt((p.X() - westEdge) * xScale), kMarkerHalf),
                            SaturatingSub(TruncToInt((northEdge - p.Y()) * yScale), kMarkerHalf)};
    };
    return MarkerOffsets{place(first), place(second), place(result)};
}

std::string FormatMapPage(int imageWidth, int imageHeight, const MarkerOffsets& markers) {
    std::string out;
    out.reserve(800);
    out += "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n"
           "<html>\n"
           "<head>\n"
           "<title>Triangulation Ervalun</title>\n"
           "<meta http-equiv=\"content-type\" content=\"text/html; charset=ISO-8859-1\">\n"
           "<meta name=\"author\" content=\"ervalun\">\n"
           "</head>\n"
           "<body>\n"
           "<img src=\"./noire.gif\" alt=\"1ere position\" width=\"50\" height=\"50\"\n";
    AppendMarkerStyle(out, markers.first);
    out += "<img src=\"./verte.gif\" alt=\"2eme position\" width=\"50\" height=\"50\"\n";
    AppendMarkerStyle(out, markers.second);
    out += "<img src=\"./rouge.gif\" alt=\"resultat\" width=\"50\" height=\"50\"\n";
    AppendMarkerStyle(out, markers.result);
    out += "<img src=\"./map.jpg\" alt=\"carte\" width=\"";
    AppendInt(out, imageWidth);
    out += "\" height=\"";
    AppendInt(out, imageHeight);
    out += "\"\n"
           "style=\"position:absolute;top:0px;left:0px;z-index:0\">\n"
           "</body>\n"
           "</html>\n";
    return out;
}

bool WriteMapPage(const std::string& fileName, int imageWidth, int imageHeight,
                  const MarkerOffsets& markers) {
    return ReplaceFile(fileName, FormatMapPage(imageWidth, imageHeight, markers));
}

} // namespace ervalun
