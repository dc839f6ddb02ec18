#include "Views/Storage/OrbitCamera.h"
#include "Views/Storage/StorageMapScene.h"

#include "ViewSupport/StorageFixtures.h"

#include <gtest/gtest.h>

using StorageFixtures::bucket;

TEST(StorageMapScene, SignatureFollowsOrderAndSizes) {
    EXPECT_EQ(StorageMapScene::signature({}), "");
    EXPECT_EQ(StorageMapScene::signature({bucket("a", 5), bucket("b", 7)}), "/home/ana/a:5|/home/ana/b:7");
    EXPECT_NE(StorageMapScene::signature({bucket("a", 5), bucket("b", 7)}),
              StorageMapScene::signature({bucket("b", 7), bucket("a", 5)}));
}

TEST(StorageMapScene, OneItemFillsTheMap) {
    auto boxes = StorageMapScene::boxes({bucket("a", 100)});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NEAR(boxes[0].width, 11.89, 1e-5);
    EXPECT_NEAR(boxes[0].length, 7.89, 1e-5);
    EXPECT_NEAR(boxes[0].height, 2.59, 1e-5);
    EXPECT_NEAR(boxes[0].chamfer, 0.1, 1e-6);
    EXPECT_NEAR(boxes[0].center.x(), 0, 1e-5);
    EXPECT_NEAR(boxes[0].center.z(), 0, 1e-5);
    EXPECT_NEAR(boxes[0].center.y(), 2.59 / 2, 1e-5);
    EXPECT_TRUE(StorageMapScene::boxes({}).empty());
}

TEST(StorageMapScene, HeightsFollowThePowerLaw) {
    EXPECT_NEAR(StorageMapScene::boxHeight(100, 100), 2.59, 1e-5);
    EXPECT_NEAR(StorageMapScene::boxHeight(50, 100), 2.046, 1e-3);
    EXPECT_NEAR(StorageMapScene::boxHeight(10, 100), 1.220, 1e-3);
    EXPECT_NEAR(StorageMapScene::boxHeight(1, 100), 0.648, 1e-3);
    EXPECT_EQ(StorageMapScene::boxHeight(0, 100), StorageMapScene::boxHeight(1, 100));
    EXPECT_EQ(StorageMapScene::boxHeight(-9, 100), StorageMapScene::boxHeight(1, 100));
}

TEST(StorageMapScene, TinyTilesKeepAMinimumFootprintAndColoursCycle) {
    std::vector<StorageBucket> items{bucket("huge", 1'000'000'000'000)};
    for (int i = 0; i < 9; ++i) items.push_back(bucket("tiny" + std::to_string(i), 1));
    auto boxes = StorageMapScene::boxes(items);
    ASSERT_EQ(boxes.size(), 10u);
    const auto& tiny = boxes.back();
    EXPECT_NEAR(std::min(tiny.width, tiny.length), 0.08, 1e-6);
    EXPECT_NEAR(tiny.chamfer, 0.0096, 1e-6);
    EXPECT_EQ(boxes[8].paletteIndex, boxes[0].paletteIndex);
    EXPECT_EQ(StorageMapScene::paletteColor(8, false), StorageMapScene::paletteColor(0, false));
    // Every box stands on the floor inside the 12 by 8 area.
    for (const auto& box : boxes) {
        EXPECT_NEAR(box.minimum().y(), 0, 1e-5);
        EXPECT_GE(box.minimum().x(), -6.0f);
        EXPECT_LE(box.maximum().z(), 4.0f);
    }
}

TEST(StorageMapScene, PickingFindsTheNearestBoxUnderTheRay) {
    auto boxes = StorageMapScene::boxes({bucket("big", 300), bucket("small", 100)});
    const auto& big = boxes[0];
    const auto& small = boxes[1];
    // Straight down onto each box's centre.
    EXPECT_EQ(StorageMapScene::pick(boxes, big.center + QVector3D(0, 10, 0), QVector3D(0, -1, 0)), big.id);
    EXPECT_EQ(StorageMapScene::pick(boxes, small.center + QVector3D(0, 10, 0), QVector3D(0, -1, 0)), small.id);
    // Off the map: the floor is not a box.
    EXPECT_EQ(StorageMapScene::pick(boxes, QVector3D(20, 10, 0), QVector3D(0, -1, 0)), std::nullopt);
    // A horizontal ray through both hits the one it meets first.
    const float y = 0.1f;
    const QVector3D fromLeft(-20, y, big.center.z());
    EXPECT_EQ(StorageMapScene::pick(boxes, fromLeft, QVector3D(1, 0, 0)), big.id);
    const QVector3D fromRight(20, y, small.center.z());
    EXPECT_EQ(StorageMapScene::pick(boxes, fromRight, QVector3D(-1, 0, 0)), small.id);
    // Through the camera: the home view's centre ray lands on the map.
    QVector3D origin, direction;
    OrbitCamera::home().ray(QPointF(400, 300), QSizeF(800, 600), origin, direction);
    EXPECT_TRUE(StorageMapScene::pick(boxes, origin, direction).has_value());
}

TEST(StorageMapScene, FartherBoxesAreDrawnFirst) {
    auto boxes = StorageMapScene::boxes({bucket("a", 300), bucket("b", 100)});
    // "a" lies left of "b" (x); an eye on the right sees "b" in front.
    ASSERT_LT(boxes[0].center.x(), boxes[1].center.x());
    EXPECT_EQ(StorageMapScene::drawOrder(boxes, QVector3D(30, 5, 0)), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(StorageMapScene::drawOrder(boxes, QVector3D(-30, 5, 0)), (std::vector<std::size_t>{1, 0}));
    std::vector<StorageBucket> many;
    for (int i = 0; i < 28; ++i) many.push_back(bucket(std::to_string(i), 1000 - i * 30));
    auto grid = StorageMapScene::boxes(many);
    auto order = StorageMapScene::drawOrder(grid, OrbitCamera::home().position());
    ASSERT_EQ(order.size(), grid.size());
    // No box drawn later can be hidden by one drawn earlier across a separating plane.
    const QVector3D eye = OrbitCamera::home().position();
    for (std::size_t i = 0; i < order.size(); ++i)
        for (std::size_t j = i + 1; j < order.size(); ++j) {
            const auto& early = grid[order[i]];
            const auto& late = grid[order[j]];
            const bool earlyInFrontAlongZ = early.minimum().z() >= late.maximum().z() - 1e-5f && eye.z() > early.minimum().z() &&
                                            early.maximum().x() > late.minimum().x() && early.minimum().x() < late.maximum().x();
            EXPECT_FALSE(earlyInFrontAlongZ) << early.id << " before " << late.id;
        }
}

TEST(StorageMapScene, SunShadowsFallAwayFromTheCamera) {
    const QVector3D sun = StorageMapScene::towardsSun();
    EXPECT_NEAR(sun.length(), 1, 1e-5);
    EXPECT_GT(sun.y(), 0.7);
    const QVector3D shadow = StorageMapScene::shadowOnFloor(QVector3D(0, 2, 0));
    EXPECT_NEAR(shadow.y(), StorageMapScene::floorY, 1e-5);
    EXPECT_LT(shadow.z(), 0);  // behind the box, seen from the home camera
}

TEST(OrbitCamera, OrbitLimitsAndReset) {
    const OrbitCamera home = OrbitCamera::home();
    OrbitCamera camera = home;
    camera.orbit(0, 200);
    EXPECT_FLOAT_EQ(camera.elevation(), OrbitCamera::maximumElevation);
    camera.orbit(0, -500);
    EXPECT_FLOAT_EQ(camera.elevation(), OrbitCamera::minimumElevation);
    camera.orbit(350, 0);
    EXPECT_NEAR(camera.azimuth(), -10, 1e-3);  // wrapped into -180...180
    camera.pan(0.2f, 0.1f);
    EXPECT_NE(camera.target(), home.target());
    camera.zoom(100);
    EXPECT_FLOAT_EQ(camera.distance(), 40);

    // The reset animation starts where the user left the camera and ends exactly at home.
    EXPECT_EQ(OrbitCamera::interpolated(camera, home, 0), camera);
    const OrbitCamera end = OrbitCamera::interpolated(camera, home, 1);
    EXPECT_NEAR((end.position() - home.position()).length(), 0, 1e-4);
    const OrbitCamera halfway = OrbitCamera::interpolated(camera, home, 0.5);
    EXPECT_NEAR(halfway.azimuth(), -5, 1e-3);  // the short way round, not through 180
    EXPECT_GT(halfway.elevation(), OrbitCamera::minimumElevation);
}
