#pragma once

#include "data/records.h"
#include "engine/geo_position.h"
#include "output/map_calibration.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Where the reference readers send their messages. The dialog shows them as modal boxes with a
// single OK; tests capture them. Texts are UTF-8.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void ShowMessage(const std::string& text) = 0;
};

// A local civil date and time, as written to the log.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The current local date and time, with the time-zone settings refreshed first.
LocalDateTime CurrentLocalDateTime();

// The core object: the three working positions, the reference lists and their flags, and every
// operation of the triangulation, the readers and the writers. It reports success as an int
// (1 done, 0 not done) and never throws.
class TriangulationEngine {
public:
    TriangulationEngine() = default;
    TriangulationEngine(const TriangulationEngine&) = delete;
    TriangulationEngine& operator=(const TriangulationEngine&) = delete;
    virtual ~TriangulationEngine() = default;

    int rosterLoaded = 0;
    int directoryLoaded = 0;
    int calibrationLoaded = 0;
    GeoPosition position1;
    GeoPosition position2;
    GeoPosition result;
    std::vector<KnownPosition> directory;
    std::vector<Member> roster;
    std::vector<Member> operators;
    std::vector<Member> participants;
    // Set by LoadPositions when a hemisphere field holds another letter than N/S or E/O; the
    // dialog tells the user once its own start-up messages are shown.
    std::optional<DirectoryMistake> directoryMistake;

    // Receives the readers' messages; when null they go to the standard error stream.
    MessageSink* messages = nullptr;
    // The clock of the log; tests replace it.
    std::function<LocalDateTime()> clock = CurrentLocalDateTime;

    // Coordinate conversions (no engine state).
    static void DmsToDecimal(double degrees, double minutes, double seconds, double& decimal);
    static void DecimalToDms(double value, double& degrees, double& minutes, double& seconds);
    static void SnapToZero(double& value);

    // Intersects the two bearing lines. Flags: non-zero means "O" (west) or "S" (south).
    // Returns 1 when a known position was named, else 0 (name is then "RESULTAT").
    //
    // Method: a flat plane whose axes are the decimal longitude (x) and latitude (y), both in
    // degrees, with no cos(latitude) scaling and no wrap at the 180th meridian. Each bearing is
    // a whole straight line of that plane (a bearing and its opposite are the same line); its
    // direction uses the rounded pi 3.141592654, so directions carry a relative error of about
    // 1.3e-10. One threshold, 1e-6, decides every test: direction components, angles in radians
    // and result degrees, minutes and seconds below it snap to 0, and slopes within it are
    // parallel, giving the midpoint of the two points. The result is truncated to degrees,
    // minutes and seconds, never rounded. The fix therefore differs from where the bearings
    // cross on the ground away from the equator; geodesy/ measures by how much.
    int Triangulate(double lonDeg1, double lonMin1, double lonSec1, int west1, double latDeg1,
                    double latMin1, double latSec1, int south1, double bearing1, double lonDeg2,
                    double lonMin2, double lonSec2, int west2, double latDeg2, double latMin2,
                    double latSec2, int south2, double bearing2, double& resLonDeg,
                    double& resLonMin, double& resLonSec, int& resWest, double& resLatDeg,
                    double& resLatMin, double& resLatSec, int& resSouth, std::string& name);

    // Names the directory entry nearest to (x, y); among entries within 1e-6 of the smallest
    // distance the last one wins. Returns 1 when one was found.
    int FindNearestPosition(double x, double y, std::string& name,
                            std::vector<KnownPosition>& list);

    // Member roster "operateurs.txt": one name per line.
    void LoadRoster(std::string fileName, std::vector<Member>* list);

    // Position directory "ervalun.txt": records of nine space-separated fields.
    void LoadPositions(std::string fileName, std::vector<KnownPosition>* list);

    // Copies the entry at index into a coordinate group of the form: magnitudes, and hemisphere
    // indexes (1 for "O"/"S"). Returns 0 and writes nothing for an index that designates no
    // entry.
    int FillFromPosition(const std::vector<KnownPosition>& list, int index, double& lonDeg,
                         double& lonMin, double& lonSec, double& latDeg, double& latMin,
                         double& latSec, int& lonHem, int& latHem);

    // Appends one line to the calculation log; silent when the file cannot be written.
    void WriteLog(std::string fileName, GeoPosition first, GeoPosition second, GeoPosition res,
                  int selection1, int selection2, const std::vector<KnownPosition>& list,
                  const std::vector<Member>& operatorList,
                  const std::vector<Member>& participantList);

    // Reads the map calibration; returns 1 when usable (also left in calibrationLoaded).
    int LoadCalibration(std::string fileName, MapCalibration& calibration);

    // Marker offsets in pixels (marker's top-left corner) of the three positions. Returns 0,
    // leaving the offsets as they were, when the corners describe no usable map.
    int PlaceMarkers(GeoPosition first, GeoPosition second, GeoPosition res, int imageWidth,
                     int imageHeight, int& left1, int& top1, int& left2, int& top2, int& left3,
                     int& top3, MapCorner topLeft, MapCorner bottomRight);

    // Replaces the map page whole. Returns 1 when written, 0 when it could not be.
    int WriteMapPage(std::string fileName, int imageWidth, int imageHeight, int left1, int top1,
                     int left2, int top2, int left3, int top3);

protected:
    void ShowMessage(const std::string& text);
};
