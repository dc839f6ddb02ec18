#include "Views/DesignSystem/ContinuousShape.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace ContinuousShape {
namespace {

// One corner walked from the edge it is entered by to the edge it leaves by, in radii measured from
// the rectangle's corner: (along the entry edge, along the exit edge). Curves take three points.
struct CornerPoint {
    qreal along, across;
};
constexpr qreal reach = 1.52866483;  // how far the continuous corner reaches along each edge
constexpr std::array<CornerPoint, 12> continuous{{
    {reach, 0},
    {1.08849323, 0}, {0.86840689, 0}, {0.66993427, 0.06549600},
    {0.63149399, 0.07491100},
    {0.37282392, 0.16905899}, {0.16905899, 0.37282392}, {0.07491100, 0.63149399},
    {0.06549600, 0.66993427},
    {0, 0.86840689}, {0, 1.08849323}, {0, reach},
}};
constexpr qreal circleRest = 1 - 0.5522847498;  // control distance of a quarter circle, from the corner
constexpr std::array<CornerPoint, 12> circular{{
    {1, 0},
    {1, 0}, {1, 0}, {1, 0},
    {1, 0},
    {circleRest, 0}, {0, circleRest}, {0, 1},
    {0, 1},
    {0, 1}, {0, 1}, {0, 1},
}};

}  // namespace

QPainterPath roundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    const qreal half = std::min(rect.width(), rect.height()) / 2;
    const qreal r = std::clamp(radius, qreal(0), std::max(half, qreal(0)));
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    // 1 where the whole continuous corner fits, 0 where only a circular one does.
    const qreal blend = std::clamp((half / r - 1) / (reach - 1), qreal(0), qreal(1));
    std::array<CornerPoint, 12> corner;
    for (size_t i = 0; i < corner.size(); ++i)
        corner[i] = {circular[i].along + (continuous[i].along - circular[i].along) * blend,
                     circular[i].across + (continuous[i].across - circular[i].across) * blend};

    // Each corner: its position and the unit directions of its entry edge and exit edge (inward).
    struct Frame {
        QPointF origin, entry, exit;
    };
    const std::array<Frame, 4> frames{{
        {rect.topRight(), {-1, 0}, {0, 1}},
        {rect.bottomRight(), {0, -1}, {-1, 0}},
        {rect.bottomLeft(), {1, 0}, {0, -1}},
        {rect.topLeft(), {0, 1}, {1, 0}},
    }};
    auto at = [r](const Frame& f, const CornerPoint& p) { return f.origin + f.entry * (p.along * r) + f.exit * (p.across * r); };
    path.moveTo(at(frames[3], corner[11]));
    for (const Frame& f : frames) {
        path.lineTo(at(f, corner[0]));
        path.cubicTo(at(f, corner[1]), at(f, corner[2]), at(f, corner[3]));
        path.lineTo(at(f, corner[4]));
        path.cubicTo(at(f, corner[5]), at(f, corner[6]), at(f, corner[7]));
        path.lineTo(at(f, corner[8]));
        path.cubicTo(at(f, corner[9]), at(f, corner[10]), at(f, corner[11]));
    }
    path.closeSubpath();
    return path;
}

QPainterPath capsule(const QRectF& rect) { return roundedRect(rect, std::min(rect.width(), rect.height()) / 2); }

void paintSurface(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill, const QColor& outline) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRect(rect, radius), fill);
    painter.strokePath(roundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5), QPen(outline, 1));
    painter.restore();
}

}  // namespace ContinuousShape
