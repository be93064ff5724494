#pragma once

#include <string>

// A position on the ground. Degrees, minutes and seconds are magnitudes; the hemisphere lives in
// the flags (west: "O", south: "S"); longitude and latitude are signed decimal degrees, negative
// in the west and the south, the sign applying to the whole value.
class GeoPosition {
public:
    GeoPosition() = default;
    GeoPosition(const GeoPosition&) = default;
    GeoPosition& operator=(const GeoPosition&) = default;
    virtual ~GeoPosition() = default;

    double latitudeSeconds = 0.0;
    double latitudeMinutes = 0.0;
    double latitudeDegrees = 0.0;
    double longitudeSeconds = 0.0;
    double longitudeMinutes = 0.0;
    double longitudeDegrees = 0.0;
    double longitude = 0.0;
    double latitude = 0.0;
    double bearing = 0.0;
    int west = 0;
    int south = 0;
    std::string name;
};

// A compass bearing turned into a mathematical angle, then into radians.
class Angle {
public:
    double value = 0.0;
    int inDegrees = 0;

    void SetInDegrees(int flag) { inDegrees = flag; }
    void SetValue(double v) { value = v; }
    // Compass bearing (degrees clockwise from north) to degrees counter-clockwise from east.
    double FromBearing();
    double ToRadians() const;
};

// A point or a direction in the longitude/latitude plane: x eastward, y northward.
class Vector2 {
public:
    double x = 0.0;
    double y = 0.0;

    Vector2() = default;
    Vector2(double px, double py) : x(px), y(py) {}

    void Set(double px, double py) {
        x = px;
        y = py;
    }
    void FromPolar(double r, double a);
    double X() const { return x; }
    double Y() const { return y; }
    void SetX(double v) { x = v; }
    void SetY(double v) { y = v; }
};
