#include "Views/Storage/StorageMapScene.h"

#include "Views/Storage/TreemapLayout.h"

#include <QMatrix4x4>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace StorageMapScene {

std::string signature(const std::vector<StorageBucket>& items) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) text += '|';
        text += items[i].path + ':' + std::to_string(items[i].size);
    }
    return text;
}

float boxHeight(std::int64_t size, double largestSize) {
    const double s = double(std::max<std::int64_t>(size, 1));
    return float(0.24 + 2.35 * std::pow(s / std::max(largestSize, 1.0), 0.38));
}

std::vector<StorageMapBox> boxes(const std::vector<StorageBucket>& items) {
    const auto entries = TreemapLayout::rectangles(items, QRectF(0, 0, mapWidth, mapLength));
    double largest = 1;
    for (const StorageBucket& item : items) largest = std::max(largest, double(item.size));

    std::vector<StorageMapBox> result;
    result.reserve(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const auto& [bucket, rect] = entries[i];
        StorageMapBox box;
        box.id = bucket.path;
        box.width = float(std::max(rect.width() - 0.11, 0.08));
        box.length = float(std::max(rect.height() - 0.11, 0.08));
        box.height = boxHeight(bucket.size, largest);
        box.chamfer = std::min(std::min(box.width, box.length) * 0.12f, 0.1f);
        box.center = QVector3D(float(rect.center().x() - mapWidth / 2), box.height / 2,
                               float(rect.center().y() - mapLength / 2));
        box.paletteIndex = int(i % paletteSize);
        result.push_back(box);
    }
    return result;
}

QColor paletteColor(int index, bool dark) {
    static const QRgb light[paletteSize] = {0x007AFF, 0x30B0C7, 0xFF9500, 0x5856D6, 0x34C759, 0xFF2D55, 0xAF52DE, 0xFFCC00};
    static const QRgb darkValues[paletteSize] = {0x0A84FF, 0x40C8E0, 0xFF9F0A, 0x5E5CE6, 0x30D158, 0xFF375F, 0xBF5AF2, 0xFFD60A};
    const int i = ((index % paletteSize) + paletteSize) % paletteSize;
    return QColor::fromRgb(dark ? darkValues[i] : light[i]);
}

std::optional<std::string> pick(const std::vector<StorageMapBox>& boxes, QVector3D origin, QVector3D direction) {
    std::optional<std::string> nearest;
    float nearestT = std::numeric_limits<float>::infinity();
    for (const StorageMapBox& box : boxes) {
        const QVector3D low = box.minimum(), high = box.maximum();
        float enter = 0, exit = std::numeric_limits<float>::infinity();
        bool hit = true;
        for (int axis = 0; axis < 3 && hit; ++axis) {
            if (std::abs(direction[axis]) < 1e-9f) {
                hit = origin[axis] >= low[axis] && origin[axis] <= high[axis];
                continue;
            }
            float t1 = (low[axis] - origin[axis]) / direction[axis];
            float t2 = (high[axis] - origin[axis]) / direction[axis];
            if (t1 > t2) std::swap(t1, t2);
            enter = std::max(enter, t1);
            exit = std::min(exit, t2);
            hit = enter <= exit;
        }
        if (hit && enter < nearestT) {
            nearestT = enter;
            nearest = box.id;
        }
    }
    return nearest;
}

std::vector<std::size_t> drawOrder(const std::vector<StorageMapBox>& boxes, QVector3D eye) {
    // Boxes on the floor never overlap, so a vertical plane between two of them always exists; the box
    // on the eye's side of it can hide the other but never the reverse. Order by that, farthest first.
    const std::size_t n = boxes.size();
    auto mustPrecede = [&](std::size_t a, std::size_t b) {  // a drawn before b
        const QVector3D aLow = boxes[a].minimum(), aHigh = boxes[a].maximum();
        const QVector3D bLow = boxes[b].minimum(), bHigh = boxes[b].maximum();
        for (int axis : {0, 2}) {
            if (aHigh[axis] <= bLow[axis] + 1e-5f && eye[axis] > aHigh[axis]) return true;
            if (bHigh[axis] <= aLow[axis] + 1e-5f && eye[axis] < aLow[axis]) return true;
        }
        return false;
    };
    std::vector<std::vector<std::size_t>> after(n);
    std::vector<int> before(n, 0);
    for (std::size_t a = 0; a < n; ++a)
        for (std::size_t b = 0; b < n; ++b)
            if (a != b && mustPrecede(a, b) && !mustPrecede(b, a)) {
                after[a].push_back(b);
                ++before[b];
            }
    auto distance = [&](std::size_t i) { return (boxes[i].center - eye).lengthSquared(); };
    std::vector<std::size_t> order;
    std::vector<bool> done(n, false);
    while (order.size() < n) {
        // Of the boxes nothing else must precede, the farthest goes first; a cycle falls back to distance.
        std::size_t next = n;
        for (std::size_t i = 0; i < n; ++i)
            if (!done[i] && before[i] == 0 && (next == n || distance(i) > distance(next))) next = i;
        if (next == n)
            for (std::size_t i = 0; i < n; ++i)
                if (!done[i] && (next == n || distance(i) > distance(next))) next = i;
        done[next] = true;
        order.push_back(next);
        for (std::size_t b : after[next]) --before[b];
    }
    return order;
}

QVector3D towardsSun() {
    // The sun's node is turned by (-0.9, -0.65, 0) radians; lights shine along their node's -z.
    QMatrix4x4 rotation;
    rotation.rotate(float(qRadiansToDegrees(-0.65)), 0, 1, 0);
    rotation.rotate(float(qRadiansToDegrees(-0.9)), 1, 0, 0);
    return -rotation.map(QVector3D(0, 0, -1)).normalized();
}

QVector3D shadowOnFloor(QVector3D point) {
    const QVector3D sun = towardsSun();
    const float t = (point.y() - floorY) / sun.y();
    return point - sun * t;
}

}  // namespace StorageMapScene
