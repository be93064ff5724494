#include "engine/calculation.h"

#include "data/nearest_position.h"

CalculationOutput RunCalculation(const CalculationInput& in, TriangulationEngine& engine) {
    CalculationOutput out;
    int west = 0;
    int south = 0;
    std::string name;
    const int found = engine.Triangulate(
        in.lonDeg1, in.lonMin1, in.lonSec1, in.lonHem1, in.latDeg1, in.latMin1, in.latSec1,
        in.latHem1, in.bearing1, in.lonDeg2, in.lonMin2, in.lonSec2, in.lonHem2, in.latDeg2,
        in.latMin2, in.latSec2, in.latHem2, in.bearing2, out.resLonDeg, out.resLonMin,
        out.resLonSec, west, out.resLatDeg, out.resLatMin, out.resLatSec, south, name);

    // One letter each, assigned as a character: GCC 12 at -O3 warns falsely (-Wrestrict) on
    // assigning a string literal chosen by a condition.
    out.resLonHem.assign(1, west != 0 ? 'O' : 'E');
    out.resLatHem.assign(1, south != 0 ? 'S' : 'N');
    if (found != 0) {
        out.nearestName = name;
    } else {
        out.nearestName = ervalun::kNoNearestName;
    }

    // The log comes first and never stops the run; the page follows only from a usable
    // calibration, otherwise the earlier page stays as it is.
    engine.WriteLog(ervalun::kLogFileName, engine.position1, engine.position2, engine.result,
                    in.selection1, in.selection2, engine.directory, engine.operators,
                    engine.participants);

    MapCalibration calibration;
    if (engine.LoadCalibration(ervalun::kCalibrationFileName, calibration) == 0) {
        return out;
    }
    int left1 = 0, top1 = 0, left2 = 0, top2 = 0, left3 = 0, top3 = 0;
    if (engine.PlaceMarkers(engine.position1, engine.position2, engine.result,
                            calibration.imageWidth, calibration.imageHeight, left1, top1, left2,
                            top2, left3, top3, calibration.topLeft, calibration.bottomRight) == 0) {
        return out;
    }
    engine.WriteMapPage(ervalun::kMapPageFileName, calibration.imageWidth, calibration.imageHeight,
                        left1, top1, left2, top2, left3, top3);
    return out;
}
