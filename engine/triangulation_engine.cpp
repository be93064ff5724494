#include "engine/triangulation_engine.h"

#include "data/nearest_position.h"
#include "data/position_directory.h"
#include "data/roster_reader.h"
#include "engine/coordinates.h"
#include "engine/solver.h"
#include "output/calculation_log.h"
#include "output/calibration.h"
#include "output/map_page.h"

#include <cstddef>
#include <cstdio>

void TriangulationEngine::DmsToDecimal(double degrees, double minutes, double seconds,
                                       double& decimal) {
    decimal = ervalun::SignedDecimal(degrees, minutes, seconds, 0);
}

void TriangulationEngine::DecimalToDms(double value, double& degrees, double& minutes,
                                       double& seconds) {
    ervalun::DecimalToDms(value, degrees, minutes, seconds);
}

void TriangulationEngine::SnapToZero(double& value) {
    ervalun::SnapToZero(value);
}

int TriangulationEngine::Triangulate(double lonDeg1, double lonMin1, double lonSec1, int west1,
                                     double latDeg1, double latMin1, double latSec1, int south1,
                                     double bearing1, double lonDeg2, double lonMin2,
                                     double lonSec2, int west2, double latDeg2, double latMin2,
                                     double latSec2, int south2, double bearing2, double& resLonDeg,
                                     double& resLonMin, double& resLonSec, int& resWest,
                                     double& resLatDeg, double& resLatMin, double& resLatSec,
                                     int& resSouth, std::string& name) {
    const Observation first{
        {lonDeg1, lonMin1, lonSec1, west1}, {latDeg1, latMin1, latSec1, south1}, bearing1};
    const Observation second{
        {lonDeg2, lonMin2, lonSec2, west2}, {latDeg2, latMin2, latSec2, south2}, bearing2};
    const Fix fix = ::Triangulate(first, second);
    ervalun::Store(first, position1);
    ervalun::Store(second, position2);
    ervalun::Store(fix, result);

    resWest = fix.longitude.hemisphere;
    resSouth = fix.latitude.hemisphere;
    int found = 0;
    if (directoryLoaded != 0) {
        found = FindNearestPosition(fix.point.X(), fix.point.Y(), name, directory);
    }
    if (found == 0) {
        name = ervalun::kNoNearestName;
    }
    resLonDeg = fix.longitude.degrees;
    resLonMin = fix.longitude.minutes;
    resLonSec = fix.longitude.seconds;
    resLatDeg = fix.latitude.degrees;
    resLatMin = fix.latitude.minutes;
    resLatSec = fix.latitude.seconds;
    return found;
}

int TriangulationEngine::FindNearestPosition(double x, double y, std::string& name,
                                             std::vector<KnownPosition>& list) {
    const KnownPosition* chosen = ervalun::FindNearest(list, x, y);
    if (chosen == nullptr) {
        return 0;
    }
    name = chosen->name;
    return 1;
}

void TriangulationEngine::LoadRoster(std::string fileName, std::vector<Member>* list) {
    if (list == nullptr) {
        rosterLoaded = 0;
        return;
    }
    // The file is closed before any message box holds the load.
    const ervalun::ReadStatus status = ervalun::ReadRoster(fileName, *list);
    if (status != ervalun::ReadStatus::Loaded) {
        ShowMessage(std::string(ervalun::ReadMessage(ervalun::ReferenceFile::Roster, status)));
    }
    rosterLoaded = status == ervalun::ReadStatus::Loaded ? 1 : 0;
}

void TriangulationEngine::LoadPositions(std::string fileName, std::vector<KnownPosition>* list) {
    if (list == nullptr) {
        directoryLoaded = 0;
        return;
    }
    // The file is closed before any message box holds the load.
    const ervalun::ReadStatus status = ervalun::ReadDirectory(fileName, *list, directoryMistake);
    if (status != ervalun::ReadStatus::Loaded) {
        ShowMessage(std::string(ervalun::ReadMessage(ervalun::ReferenceFile::Directory, status)));
    }
    directoryLoaded = status == ervalun::ReadStatus::Loaded ? 1 : 0;
}

int TriangulationEngine::FillFromPosition(const std::vector<KnownPosition>& list, int index,
                                          double& lonDeg, double& lonMin, double& lonSec,
                                          double& latDeg, double& latMin, double& latSec,
                                          int& lonHem, int& latHem) {
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) {
        return 0;
    }
    const KnownPosition& entry = list[static_cast<std::size_t>(index)];
    const Dms longitude = ervalun::LongitudeOf(entry);
    const Dms latitude = ervalun::LatitudeOf(entry);
    lonDeg = longitude.degrees;
    lonMin = longitude.minutes;
    lonSec = longitude.seconds;
    lonHem = longitude.hemisphere;
    latDeg = latitude.degrees;
    latMin = latitude.minutes;
    latSec = latitude.seconds;
    latHem = latitude.hemisphere;
    return 1;
}

void TriangulationEngine::WriteLog(std::string fileName, GeoPosition first, GeoPosition second,
                                   GeoPosition res, int selection1, int selection2,
                                   const std::vector<KnownPosition>& list,
                                   const std::vector<Member>& operatorList,
                                   const std::vector<Member>& participantList) {
    ervalun::LogFile log(fileName);
    if (!log.IsOpen()) {
        return;
    }
    ervalun::LogRecord record;
    if (!operatorList.empty()) {
        record.operatorName = operatorList.front().name;
    }
    record.firstName = ervalun::SelectedName(list, selection1);
    record.first = ervalun::ObservationOf(first);
    record.secondName = ervalun::SelectedName(list, selection2);
    record.second = ervalun::ObservationOf(second);
    record.resultName = res.name;
    record.result = ervalun::ObservationOf(res);
    record.participants = participantList;
    // The clock is read once the file is open, and once only.
    const LocalDateTime when = clock ? clock() : ervalun::CurrentLocalDateTime();
    log.Append(ervalun::FormatLogLine(when, record));
}

int TriangulationEngine::LoadCalibration(std::string fileName, MapCalibration& calibration) {
    calibrationLoaded = ervalun::ReadCalibration(fileName, calibration) ? 1 : 0;
    return calibrationLoaded;
}

int TriangulationEngine::PlaceMarkers(GeoPosition first, GeoPosition second, GeoPosition res,
                                      int imageWidth, int imageHeight, int& left1, int& top1,
                                      int& left2, int& top2, int& left3, int& top3,
                                      MapCorner topLeft, MapCorner bottomRight) {
    const MapCalibration calibration{imageWidth, imageHeight, topLeft, bottomRight};
    const auto markers = ervalun::PlaceMarkers(
        calibration, Vector2(first.longitude, first.latitude),
        Vector2(second.longitude, second.latitude), Vector2(res.longitude, res.latitude));
    if (!markers) {
        return 0;
    }
    left1 = markers->first.left;
    top1 = markers->first.top;
    left2 = markers->second.left;
    top2 = markers->second.top;
    left3 = markers->result.left;
    top3 = markers->result.top;
    return 1;
}

int TriangulationEngine::WriteMapPage(std::string fileName, int imageWidth, int imageHeight,
                                      int left1, int top1, int left2, int top2, int left3,
                                      int top3) {
    const ervalun::MarkerOffsets markers{{left1, top1}, {left2, top2}, {left3, top3}};
    return ervalun::WriteMapPage(fileName, imageWidth, imageHeight, markers) ? 1 : 0;
}

void TriangulationEngine::ShowMessage(const std::string& text) {
    if (messages != nullptr) {
        messages->ShowMessage(text);
    } else {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}
