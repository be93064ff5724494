#include "output/map_page.h"

#include "engine/numeric.h"
#include "engine/triangulation_engine.h"
#include "output/replace_file.h"

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

void AppendMarkerStyle(std::string& out, int left, int top) {
    out += "style=\"position:absolute;left:";
    AppendInt(out, left);
    out += "px;top:";
    AppendInt(out, top);
    out += "px;z-index:1\">\n";
}

double SignedDecimal(double degrees, double minutes, double seconds, int negative) {
    double v = 0.0;
    TriangulationEngine::DmsToDecimal(degrees, minutes, seconds, v);
    return negative != 0 ? -v : v;
}

} // namespace

std::string FormatMapPage(int imageWidth, int imageHeight, int left1, int top1, int left2, int top2,
                          int left3, int top3) {
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
    AppendMarkerStyle(out, left1, top1);
    out += "<img src=\"./verte.gif\" alt=\"2eme position\" width=\"50\" height=\"50\"\n";
    AppendMarkerStyle(out, left2, top2);
    out += "<img src=\"./rouge.gif\" alt=\"resultat\" width=\"50\" height=\"50\"\n";
    AppendMarkerStyle(out, left3, top3);
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

} // namespace ervalun

int TriangulationEngine::PlaceMarkers(GeoPosition first, GeoPosition second, GeoPosition res,
                                      int imageWidth, int imageHeight, int& left1, int& top1,
                                      int& left2, int& top2, int& left3, int& top3,
                                      MapCorner topLeft, MapCorner bottomRight) {
    using ervalun::SignedDecimal;
    const double westEdge = SignedDecimal(topLeft.longitudeDegrees, topLeft.longitudeMinutes,
                                          topLeft.longitudeSeconds, topLeft.west);
    const double northEdge = SignedDecimal(topLeft.latitudeDegrees, topLeft.latitudeMinutes,
                                           topLeft.latitudeSeconds, topLeft.south);
    const double eastEdge =
        SignedDecimal(bottomRight.longitudeDegrees, bottomRight.longitudeMinutes,
                      bottomRight.longitudeSeconds, bottomRight.west);
    const double southEdge = SignedDecimal(bottomRight.latitudeDegrees, bottomRight.latitudeMinutes,
                                           bottomRight.latitudeSeconds, bottomRight.south);
    const double lonSpan = eastEdge - westEdge;
    const double latSpan = northEdge - southEdge;
    // Written so that a NaN edge refuses too.
    if (!(westEdge < eastEdge && southEdge < northEdge && lonSpan >= ervalun::kMinimumSpan &&
          latSpan >= ervalun::kMinimumSpan)) {
        return 0;
    }
    const double xScale = imageWidth / lonSpan;
    const double yScale = imageHeight / latSpan;

    // A result from nearly parallel bearings may lie 1e12 degrees away (or be infinite):
    // offsets then saturate at the limits of int.
    const auto left = [&](const GeoPosition& p) {
        return ervalun::SaturatingSub(ervalun::TruncToInt((p.longitude - westEdge) * xScale),
                                      ervalun::kMarkerHalf);
    };
    const auto top = [&](const GeoPosition& p) {
        return ervalun::SaturatingSub(ervalun::TruncToInt((northEdge - p.latitude) * yScale),
                                      ervalun::kMarkerHalf);
    };
    left1 = left(first);
    top1 = top(first);
    left2 = left(second);
    top2 = top(second);
    left3 = left(res);
    top3 = top(res);
    return 1;
}

int TriangulationEngine::WriteMapPage(std::string fileName, int imageWidth, int imageHeight,
                                      int left1, int top1, int left2, int top2, int left3,
                                      int top3) {
    const std::string page =
        ervalun::FormatMapPage(imageWidth, imageHeight, left1, top1, left2, top2, left3, top3);
    return ervalun::ReplaceFile(fileName, page) ? 1 : 0;
}
