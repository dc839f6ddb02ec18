#pragma once

#include <QMatrix4x4>
#include <QPointF>
#include <QSizeF>
#include <QVector3D>

// The 3D storage map's turntable camera: it circles a target point at a distance, its height angle
// kept between 8 and 82 degrees; dragging orbits, panning moves the target. Pure value.
class OrbitCamera {
public:
    static constexpr float minimumElevation = 8;
    static constexpr float maximumElevation = 82;
    static constexpr float fieldOfView = 42;  // vertical, degrees
    static constexpr float nearPlane = 0.1f;
    static constexpr float farPlane = 100;

    // At (0, 9.2, 12.8) looking at (0, 0.5, 0).
    static OrbitCamera home();

    QVector3D target() const { return target_; }
    float azimuth() const { return azimuth_; }  // degrees; 0 looks from +z towards -z
    float elevation() const { return elevation_; }  // degrees above the target's plane
    float distance() const { return distance_; }
    QVector3D position() const;

    void orbit(float azimuthDegrees, float elevationDegrees);
    // Moves the target in the view plane by a fraction of the distance.
    void pan(float right, float up);
    void zoom(float factor);

    QMatrix4x4 view() const;
    QMatrix4x4 projection(float aspect) const;

    // The pointer's ray in world space: origin at the camera, unit direction.
    void ray(QPointF point, QSizeF viewport, QVector3D& origin, QVector3D& direction) const;

    // Between two cameras at progress t (0 to 1, eased by the caller); turns the short way round.
    static OrbitCamera interpolated(const OrbitCamera& from, const OrbitCamera& to, double t);

    bool operator==(const OrbitCamera&) const = default;

private:
    QVector3D target_{0, 0.5f, 0};
    float azimuth_ = 0;
    float elevation_ = 0;
    float distance_ = 0;
};
