#include "Views/Storage/StorageMap3DView.h"

#include "Views/Storage/BucketSelection.h"
#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Common/FileActions.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Polygon = std::vector<QVector3D>;

// The footprint of a box with its vertical edges cut by the chamfer, counter-clockwise seen from above.
std::vector<QVector2D> footprint(const StorageMapBox& box, float scale) {
    const float hx = box.width * scale / 2, hz = box.length * scale / 2, c = box.chamfer * scale;
    const float x = box.center.x(), z = box.center.z();
    return {{x - hx + c, z + hz}, {x + hx - c, z + hz}, {x + hx, z + hz - c}, {x + hx, z - hz + c},
            {x + hx - c, z - hz}, {x - hx + c, z - hz}, {x - hx, z - hz + c}, {x - hx, z + hz - c}};
}

// Keeps the part of a polygon in front of the camera's near plane (view space looks down -z).
Polygon clipNear(const Polygon& polygon, float nearZ) {
    Polygon out;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const QVector3D& a = polygon[i];
        const QVector3D& b = polygon[(i + 1) % polygon.size()];
        const bool aIn = a.z() <= nearZ, bIn = b.z() <= nearZ;
        if (aIn) out.push_back(a);
        if (aIn != bIn) out.push_back(a + (b - a) * ((nearZ - a.z()) / (b.z() - a.z())));
    }
    return out;
}

QColor mixColor(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

}  // namespace

StorageMap3DView::StorageMap3DView(BucketSelection* selection, QWidget* parent) : QWidget(parent), selection_(selection) {
    setMouseTracking(true);
    setMinimumHeight(200);
    if (selection_) connect(selection_, &BucketSelection::changed, this, &StorageMap3DView::highlightChanged);
}

void StorageMap3DView::load(const std::vector<StorageBucket>& items) {
    const std::string signature = StorageMapScene::signature(items);
    if (signature == itemSignature_) return;
    itemSignature_ = signature;
    buckets_.clear();
    for (const StorageBucket& item : items) buckets_.emplace(item.path, item);
    boxes_ = StorageMapScene::boxes(items);
    glowFrom_.clear();
    lastPainted_.clear();
    camera_ = OrbitCamera::home();
    resetting_ = false;
    update();
}

void StorageMap3DView::setResetToken(int token) {
    if (token == lastResetToken_) return;
    lastResetToken_ = token;
    resetFrom_ = shownCamera();
    camera_ = OrbitCamera::home();
    resetting_ = true;
    reset_.start();
}

OrbitCamera StorageMap3DView::shownCamera() const {
    if (!resetting_ || !reset_.isRunning()) return camera_;
    return OrbitCamera::interpolated(resetFrom_, camera_, reset_.progress());
}

void StorageMap3DView::bakeCamera() {
    camera_ = shownCamera();
    resetting_ = false;
}

std::optional<QPointF> StorageMap3DView::project(QVector3D point) const {
    const OrbitCamera camera = shownCamera();
    const QVector4D clip = camera.projection(float(width()) / float(std::max(height(), 1))) * camera.view() * QVector4D(point, 1);
    if (clip.w() <= 0) return std::nullopt;
    return QPointF((clip.x() / clip.w() + 1) / 2 * width(), (1 - clip.y() / clip.w()) / 2 * height());
}

std::optional<std::string> StorageMap3DView::bucketIDAt(QPointF point) const {
    QVector3D origin, direction;
    shownCamera().ray(point, QSizeF(size()), origin, direction);
    return StorageMapScene::pick(boxes_, origin, direction);
}

StorageMap3DView::Glow StorageMap3DView::targetGlow(const std::string& id) const {
    const bool selected = selection_ && selection_->isSelected(id);
    return {selected ? 1.0 : 0.0, hoveredID_ == id ? 1.0 : 0.0};
}

StorageMap3DView::Glow StorageMap3DView::shownGlow(const std::string& id) const {
    const Glow target = targetGlow(id);
    auto from = glowFrom_.find(id);
    if (from == glowFrom_.end()) return target;
    const double t = glowFade_.progress();
    return {Transition::mix(from->second.selected, target.selected, t), Transition::mix(from->second.hovered, target.hovered, t)};
}

void StorageMap3DView::highlightChanged() {
    glowFrom_ = lastPainted_;
    glowFade_.start();
    update();
}

void StorageMap3DView::select(std::optional<std::string> id) {
    if (selection_) selection_->setID(std::move(id));
}

void StorageMap3DView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = Appearance::shared().isDark();
    const OrbitCamera camera = shownCamera();
    const QMatrix4x4 view = camera.view();
    const QMatrix4x4 projection = camera.projection(float(width()) / float(std::max(height(), 1)));
    const float nearZ = -OrbitCamera::nearPlane * 1.5f;

    auto toScreen = [&](const Polygon& world) {
        Polygon viewSpace;
        for (const QVector3D& p : world) viewSpace.push_back(view.map(p));
        QPolygonF screen;
        for (const QVector3D& v : clipNear(viewSpace, nearZ)) {
            const QVector4D clip = projection * QVector4D(v, 1);
            screen << QPointF((clip.x() / clip.w() + 1) / 2 * width(), (1 - clip.y() / clip.w()) / 2 * height());
        }
        return screen;
    };

    // The floor plate: a soft rounded slab a little larger than the map.
    {
        const float margin = 0.55f, y = StorageMapScene::floorY;
        const float hx = StorageMapScene::mapWidth / 2 + margin, hz = StorageMapScene::mapLength / 2 + margin;
        const QPolygonF plate = toScreen({{-hx, y, hz}, {hx, y, hz}, {hx, y, -hz}, {-hx, y, -hz}});
        QPainterPath path;
        path.addPolygon(plate);
        path.closeSubpath();
        painter.fillPath(path, dark ? QColor(255, 255, 255, 10) : QColor(0, 0, 0, 9));
        painter.setPen(QPen(DS::hairline.resolved(), 1));
        painter.drawPath(path);
    }

    // Floor shadows: each box's footprint joined with its top cast along the sun, softened in passes.
    {
        QPainterPath shadows;
        shadows.setFillRule(Qt::WindingFill);
        for (const StorageMapBox& box : boxes_) {
            const auto base = footprint(box, 1);
            std::vector<QPointF> floorPoints;
            for (const QVector2D& p : base) {
                floorPoints.emplace_back(p.x(), p.y());
                const QVector3D cast = StorageMapScene::shadowOnFloor(QVector3D(p.x(), box.height, p.y()));
                floorPoints.emplace_back(cast.x(), cast.z());
            }
            // Convex hull (monotone chain) of the footprint and the cast top.
            std::sort(floorPoints.begin(), floorPoints.end(),
                      [](const QPointF& a, const QPointF& b) { return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y()); });
            std::vector<QPointF> hull(2 * floorPoints.size());
            std::size_t k = 0;
            auto cross = [](QPointF o, QPointF a, QPointF b) {
                return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
            };
            for (const QPointF& p : floorPoints) {
                while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0) --k;
                hull[k++] = p;
            }
            for (std::size_t i = floorPoints.size() - 1, lower = k + 1; i-- > 0;) {
                while (k >= lower && cross(hull[k - 2], hull[k - 1], floorPoints[i]) <= 0) --k;
                hull[k++] = floorPoints[i];
            }
            hull.resize(k > 0 ? k - 1 : 0);
            Polygon world;
            for (const QPointF& p : hull) world.emplace_back(float(p.x()), StorageMapScene::floorY, float(p.y()));
            const QPolygonF screen = toScreen(world);
            if (screen.size() >= 3) shadows.addPolygon(screen);
        }
        const double strength = dark ? 0.42 : 0.16;
        for (int pass = 0; pass < 4; ++pass) {
            painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, float(strength / 6)), 2.0 + pass * 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(shadows);
        }
        painter.fillPath(shadows, QColor::fromRgbF(0, 0, 0, float(strength)));
    }

    // The boxes, farthest first; each box draws only the faces turned to the eye.
    const QVector3D eye = camera.position();
    const QVector3D sun = StorageMapScene::towardsSun();
    const QColor accent = QGuiApplication::palette().color(QPalette::Highlight);
    const QColor teal = StorageMapScene::paletteColor(1, dark);
    for (std::size_t index : StorageMapScene::drawOrder(boxes_, eye)) {
        const StorageMapBox& box = boxes_[index];
        const Glow glow = shownGlow(box.id);
        lastPainted_[box.id] = glow;
        const float scale = float(1 + 0.025 * glow.selected);
        const float halfHeight = box.height * scale / 2;
        const float bottom = box.center.y() - halfHeight, top = box.center.y() + halfHeight;
        const auto ring = footprint(box, scale);
        QColor base = StorageMapScene::paletteColor(box.paletteIndex, dark);

        auto shade = [&](QVector3D normal, QVector3D faceCenter) {
            const float direct = std::max(0.0f, QVector3D::dotProduct(normal, sun));
            const QVector3D toFill = (QVector3D(-7, 5, 5) - faceCenter).normalized();
            const float fill = std::max(0.0f, QVector3D::dotProduct(normal, toFill));
            const float light = 0.42f + 0.68f * direct;
            QColor lit = QColor::fromRgbF(std::min(1.0f, base.redF() * light + teal.redF() * 0.10f * fill),
                                          std::min(1.0f, base.greenF() * light + teal.greenF() * 0.10f * fill),
                                          std::min(1.0f, base.blueF() * light + teal.blueF() * 0.10f * fill));
            lit = mixColor(lit, QColor(255, 255, 255), 0.12 * glow.hovered * (1 - glow.selected));
            return mixColor(lit, accent, 0.34 * glow.selected);
        };
        auto drawFace = [&](const Polygon& world, QVector3D normal, bool topFace) {
            QVector3D center;
            for (const QVector3D& p : world) center += p;
            center /= float(world.size());
            if (QVector3D::dotProduct(normal, eye - center) <= 0) return;
            const QPolygonF screen = toScreen(world);
            if (screen.size() < 3) return;
            const QColor color = shade(normal, center);
            painter.setPen(QPen(color, 0.6));  // closes hairline seams between neighbouring faces
            painter.setBrush(color);
            painter.drawPolygon(screen);
            if (topFace) {
                painter.setPen(QPen(QColor(255, 255, 255, dark ? 60 : 90), 1));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(screen);
            }
            if (glow.selected > 0) {  // a white rim makes the selection readable on any box colour, the accent's own too
                QColor rim(255, 255, 255);
                rim.setAlphaF(float(0.95 * glow.selected));
                painter.setPen(QPen(rim, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(screen);
            }
        };
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const QVector2D a = ring[i], b = ring[(i + 1) % ring.size()];
            const QVector2D edge = b - a;
            const QVector3D normal = QVector3D(-edge.y(), 0, edge.x()).normalized();
            drawFace({{a.x(), bottom, a.y()}, {b.x(), bottom, b.y()}, {b.x(), top, b.y()}, {a.x(), top, a.y()}}, normal, false);
        }
        Polygon lid;
        for (const QVector2D& p : ring) lid.emplace_back(p.x(), top, p.y());
        drawFace(lid, QVector3D(0, 1, 0), true);
    }
}

void StorageMap3DView::mousePressEvent(QMouseEvent* event) {
    dragFrom_ = event->position();
    panning_ = event->button() != Qt::LeftButton || event->modifiers().testAnyFlags(Qt::ShiftModifier | Qt::ControlModifier);
    if (event->button() != Qt::LeftButton) return;
    const auto id = bucketIDAt(event->position());
    select(id);  // a click on empty space or the floor clears the selection
}

void StorageMap3DView::mouseMoveEvent(QMouseEvent* event) {
    if (dragFrom_ && event->buttons() != Qt::NoButton) {
        bakeCamera();
        const QPointF delta = event->position() - *dragFrom_;
        dragFrom_ = event->position();
        if (panning_) {
            const float scale = 1.0f / float(std::max(height(), 1));
            camera_.pan(float(-delta.x()) * scale * 0.8f, float(delta.y()) * scale * 0.8f);
        } else {
            camera_.orbit(float(-delta.x()) * 0.4f, float(delta.y()) * 0.4f);
        }
        update();
        return;
    }
    // Hover follows the pointer only in the active window.
    const auto id = isActiveWindow() ? bucketIDAt(event->position()) : std::nullopt;
    if (id == hoveredID_) return;
    hoveredID_ = id;
    highlightChanged();
}

void StorageMap3DView::mouseReleaseEvent(QMouseEvent*) { dragFrom_.reset(); }

void StorageMap3DView::mouseDoubleClickEvent(QMouseEvent* event) {
    dragFrom_ = event->position();
    panning_ = false;
    if (event->button() != Qt::LeftButton) return;
    const auto id = bucketIDAt(event->position());
    if (!id) return;  // the second click of a double click on the floor changes nothing
    select(id);
    if (auto found = buckets_.find(*id); found != buckets_.end()) FileActions::open(found->second.path);
}

void StorageMap3DView::leaveEvent(QEvent*) {
    if (!hoveredID_) return;
    hoveredID_.reset();
    highlightChanged();
}

void StorageMap3DView::wheelEvent(QWheelEvent* event) {
    bakeCamera();
    camera_.zoom(float(std::pow(0.998, event->angleDelta().y())));
    update();
}
