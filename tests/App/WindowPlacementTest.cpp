#include "App/WindowPlacement.h"

#include <gtest/gtest.h>

using WindowPlacement::fitted;

// A 1600 x 1000 screen, a desktop frame with a 25-point title bar, a 620 x 620 window.
TEST(WindowPlacement, AWindowFitsItsScreenFrameIncluded) {
    const QMargins frame(1, 25, 1, 1);
    const QSize wanted(620, 620);
    const QRect screen(0, 0, 1600, 1000);
    auto inside = [&](const QRect& available, const QRect& window) { return available.contains(window.marginsAdded(frame)); };

    const QRect centred = fitted(screen, frame, wanted, std::nullopt);
    EXPECT_EQ(centred.size(), wanted);
    EXPECT_TRUE(inside(screen, centred));
    EXPECT_EQ(centred.topLeft(), QPoint(1 + (1598 - 620) / 2, 25 + (974 - 620) / 2));

    // A panel along the top or the left takes part of the screen.
    for (const QRect& available : {QRect(0, 48, 1600, 952), QRect(64, 0, 1536, 1000)}) {
        EXPECT_TRUE(inside(available, fitted(available, frame, wanted, std::nullopt)));
        EXPECT_TRUE(inside(available, fitted(available, frame, wanted, QPoint(0, 0))));
    }

    // A screen smaller than the window: the window shrinks to it, and its content scrolls.
    const QRect small(0, 0, 800, 600);
    const QRect shrunk = fitted(small, frame, wanted, std::nullopt);
    EXPECT_EQ(shrunk.size(), QSize(620, 574));
    EXPECT_TRUE(inside(small, shrunk));
    EXPECT_TRUE(inside(QRect(0, 0, 500, 400), fitted(QRect(0, 0, 500, 400), frame, wanted, QPoint(300, 300))));

    // Where the user left it, it stays; past an edge, it comes back just far enough.
    EXPECT_EQ(fitted(screen, frame, wanted, QPoint(40, 60)), QRect(QPoint(40, 60), wanted));
    EXPECT_EQ(fitted(screen, frame, wanted, QPoint(1200, 700)), QRect(QPoint(1600 - 1 - 620, 1000 - 1 - 620), wanted));
    EXPECT_EQ(fitted(screen, frame, wanted, QPoint(-300, -5)), QRect(QPoint(1, 25), wanted));
    // On a second screen to the right of the first.
    EXPECT_EQ(fitted(QRect(1600, 0, 1920, 1080), frame, wanted, QPoint(1500, 200)), QRect(QPoint(1601, 200), wanted));
}
