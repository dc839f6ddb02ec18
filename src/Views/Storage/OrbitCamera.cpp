#include "Views/Storage/OrbitCamera.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {
constexpr float minimumDistance = 4;
constexpr float maximumDistance = 40;
constexpr float maximumPan = 14;
}  // namespace

OrbitCamera OrbitCamera::home() {
    OrbitCamera camera;
    const QVector3D offset = QVector3D(0, 9.2f, 12.8f) - camera.target_;
    camera.distance_ = offset.length();
    camera.elevation_ = qRadiansToDegrees(std::atan2(offset.y(), std::hypot(offset.x(), offset.z())));
    camera.azimuth_ = qRadiansToDegrees(std::atan2(offset.x(), offset.z()));
    return camera;
}

QVector3D OrbitCamera::position() const {
    const float a = qDegreesToRadians(azimuth_), e = qDegreesToRadians(elevation_);
    return target_ + distance_ * QVector3D(std::cos(e) * std::sin(a), std::sin(e), std::cos(e) * std::cos(a));
}

void OrbitCamera::orbit(float azimuthDegrees, float elevationDegrees) {
    azimuth_ = std::remainder(azimuth_ + azimuthDegrees, 360.0f);
    elevation_ = std::clamp(elevation_ + elevationDegrees, minimumElevation, maximumElevation);
}

void OrbitCamera::pan(float right, float up) {
    const QVector3D forward = (target_ - position()).normalized();
    const QVector3D rightAxis = QVector3D::crossProduct(forward, QVector3D(0, 1, 0)).normalized();
    const QVector3D upAxis = QVector3D::crossProduct(rightAxis, forward).normalized();
    target_ += distance_ * (right * rightAxis + up * upAxis);
    target_.setX(std::clamp(target_.x(), -maximumPan, maximumPan));
    target_.setY(std::clamp(target_.y(), -maximumPan, maximumPan));
    target_.setZ(std::clamp(target_.z(), -maximumPan, maximumPan));
}

void OrbitCamera::zoom(float factor) {
    if (!(factor > 0)) return;
    distance_ = std::clamp(distance_ * factor, minimumDistance, maximumDistance);
}

QMatrix4x4 OrbitCamera::view() const {
    QMatrix4x4 matrix;
    matrix.lookAt(position(), target_, QVector3D(0, 1, 0));
    return matrix;
}

QMatrix4x4 OrbitCamera::projection(float aspect) const {
    QMatrix4x4 matrix;
    matrix.perspective(fieldOfView, aspect > 0 ? aspect : 1, nearPlane, farPlane);
    return matrix;
}

void OrbitCamera::ray(QPointF point, QSizeF viewport, QVector3D& origin, QVector3D& direction) const {
    const float w = float(std::max(viewport.width(), 1.0)), h = float(std::max(viewport.height(), 1.0));
    const QMatrix4x4 inverse = (projection(w / h) * view()).inverted();
    const float x = 2 * float(point.x()) / w - 1, y = 1 - 2 * float(point.y()) / h;
    const QVector3D nearPoint = inverse.map(QVector3D(x, y, -1));
    const QVector3D farPoint = inverse.map(QVector3D(x, y, 1));
    origin = position();
    direction = (farPoint - nearPoint).normalized();
}

OrbitCamera OrbitCamera::interpolated(const OrbitCamera& from, const OrbitCamera& to, double t) {
    const float f = float(std::clamp(t, 0.0, 1.0));
    OrbitCamera camera;
    camera.target_ = from.target_ + (to.target_ - from.target_) * f;
    camera.azimuth_ = from.azimuth_ + std::remainder(to.azimuth_ - from.azimuth_, 360.0f) * f;
    camera.elevation_ = from.elevation_ + (to.elevation_ - from.elevation_) * f;
    camera.distance_ = from.distance_ + (to.distance_ - from.distance_) * f;
    return camera;
}
