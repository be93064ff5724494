#pragma once

#include "data/directory_mistake.h"
#include "data/local_date_time.h"
#include "data/map_calibration.h"
#include "data/message_sink.h"
#include "data/name_sort.h"
#include "data/records.h"
#include "engine/geo_position.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The core object: the three working positions, the reference lists and their flags, and every
// operation of the triangulation, the readers and the writers. It reports success as an int
// (1 done, 0 not done) and never throws. Each operation adapts these records and lists to the
// library's functions over plain values (Triangulate in engine/solver.h, the readers of data/,
// the writers of output/), which do the work.
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
    std::optional<ervalun::DirectoryMistake> directoryMistake;

    // Receives the readers' messages; when null they go to the standard error stream.
    MessageSink* messages = nullptr;
    // The clock of the log; tests replace it.
    std::function<LocalDateTime()> clock = ervalun::CurrentLocalDateTime;

    // Coordinate conversions (no engine state).
    static void DmsToDecimal(double degrees, double minutes, double seconds, double& decimal);
    static void DecimalToDms(double value, double& degrees, double& minutes, double& seconds);
    static void SnapToZero(double& value);

    // Intersects the two bearing lines (see ::Triangulate for the method) and keeps both points
    // and the result in position1, position2 and result. Flags: non-zero means "O" (west) or
    // "S" (south). Returns 1 when a known position was named, else 0 (name is then
    // "RESULTAT").
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
