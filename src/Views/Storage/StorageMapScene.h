#pragma once

#include "Models/StorageBucket.h"

#include <QColor>
#include <QVector3D>

#include <optional>
#include <string>
#include <vector>

// One box of the 3D storage map: a folder's treemap tile raised by its size.
struct StorageMapBox {
    std::string id;
    QVector3D center;  // the box stands on y = 0, so center.y() is half its height
    float width = 0;  // along x
    float height = 0;  // along y
    float length = 0;  // along z
    float chamfer = 0;  // radius of the rounded vertical edges
    int paletteIndex = 0;  // layout position modulo the palette's size

    QVector3D minimum() const { return center - QVector3D(width, height, length) / 2; }
    QVector3D maximum() const { return center + QVector3D(width, height, length) / 2; }
};

// The scene math of the 3D storage map: pure and independent of drawing.
namespace StorageMapScene {

constexpr float mapWidth = 12;  // x from -6 to 6
constexpr float mapLength = 8;  // z from -4 to 4
constexpr float floorY = -0.04f;
constexpr int paletteSize = 8;

// "id:size" of each item joined with "|": boxes are rebuilt only when it changes.
std::string signature(const std::vector<StorageBucket>& items);

// Boxes in layout order (largest first); footprints from the treemap of a 12 by 8 area.
std::vector<StorageMapBox> boxes(const std::vector<StorageBucket>& items);

// 0.24 + 2.35 × (size / largest)^0.38, sizes counted as at least one byte.
float boxHeight(std::int64_t size, double largestSize);

// The box colours in rank order (blue, teal, orange, indigo, green, pink, purple, yellow).
QColor paletteColor(int index, bool dark);

// Identifier of the nearest box the ray hits; none for empty space or the floor.
std::optional<std::string> pick(const std::vector<StorageMapBox>& boxes, QVector3D origin, QVector3D direction);

// Indices of the boxes, farthest from the eye first, so that nearer boxes are painted over farther ones.
std::vector<std::size_t> drawOrder(const std::vector<StorageMapBox>& boxes, QVector3D eye);

// Where a point falls on the floor along the sun's direction (for the floor shadow).
QVector3D shadowOnFloor(QVector3D point);
// Unit vector from a surface towards the sun.
QVector3D towardsSun();

}  // namespace StorageMapScene
