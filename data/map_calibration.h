#pragma once

// Geographic coordinates of one corner of the map image: magnitudes plus hemisphere flags.
struct MapCorner {
    double longitudeDegrees = 0.0;
    double longitudeMinutes = 0.0;
    double longitudeSeconds = 0.0;
    double latitudeDegrees = 0.0;
    double latitudeMinutes = 0.0;
    double latitudeSeconds = 0.0;
    int west = 0;
    int south = 0;
};

// The map image's size in pixels and its top-left (north-west) and bottom-right (south-east)
// corners, as read from the calibration file.
struct MapCalibration {
    int imageWidth = 0;
    int imageHeight = 0;
    MapCorner topLeft;
    MapCorner bottomRight;
};
