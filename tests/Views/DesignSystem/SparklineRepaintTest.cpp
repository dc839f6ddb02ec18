#include "Views/DesignSystem/BarShapes.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/DS.h"
#include "ViewSupport/ManualAnimationClock.h"

#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The rectangles of the paint events one widget receives.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget& widget) : widget_(&widget) { widget.installEventFilter(this); }
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }

private:
    QWidget* widget_;
};

void paintPending() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// What the window shows now, built up from every partial repaint since it appeared.
QImage onScreen(QWidget& widget) { return widget.screen()->grabWindow(widget.winId()).toImage().convertToFormat(QImage::Format_ARGB32); }

int largestChannelDifference(const QImage& first, const QImage& second) {
    const QImage a = first.convertToFormat(QImage::Format_ARGB32), b = second.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

}  // namespace

TEST(BarSparkline, RepaintsOnlyTheBarsThatMoved) {
    ManualAnimationClock clock;
    BarSparkline spark({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, DS::blue, 10.0, 10, 60);
    spark.setBackdrop(DS::card);
    spark.resize(300, 60);
    spark.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&spark));
    paintPending();
    PaintRecorder recorder(spark);

    // The same sample again: nothing to paint.
    spark.setValues({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    paintPending();
    EXPECT_TRUE(recorder.rects.empty());

    // One value changed: only its bar's strip, the newest on the right.
    spark.setValues({1, 2, 3, 4, 5, 6, 7, 8, 9, 4});
    paintPending();
    ASSERT_EQ(recorder.rects.size(), 1u);
    const auto bars = BarSparkline::bars({1}, 10.0, 10, QSizeF(300 - 2 * BarSparkline::padding, 50));
    EXPECT_GE(recorder.rects[0].left(), int(bars.back().rect.left() + BarSparkline::padding) - 1);
    EXPECT_LE(recorder.rects[0].width(), int(bars.back().rect.width()) + 2);

    // A new bar eases in: every step repaints, the last leaves the bars where a whole repaint puts them.
    spark.setValues({5, 1, 9});
    paintPending();
    spark.setValues({5, 1, 9, 2});
    recorder.rects.clear();
    for (int step = 0; step < 30; ++step) {
        clock.advanceBy(16);
        paintPending();
    }
    EXPECT_GT(recorder.rects.size(), 5u);
    recorder.rects.clear();
    clock.advanceBy(16);
    paintPending();
    EXPECT_TRUE(recorder.rects.empty());  // settled
    const QImage shown = onScreen(spark), whole = spark.grab().toImage();
    ASSERT_EQ(shown.size(), whole.size());
    EXPECT_LE(largestChannelDifference(shown, whole), 3);  // a stale bar would differ by far more
}

TEST(BarShapes, PaintsTheBarsOutline) {
    // High, low and flat bars at fractional places, at one and two device pixels to the point.
    const std::vector<QRectF> bars{{10.3, 12.7, 2.4, 47.3}, {15.1, 40.25, 2.4, 19.75}, {20.6, 58, 2.4, 2},
                                   {25.9, 20.1, 7.1, 39.9}, {40.2, 55.5, 7.1, 4.5}};
    for (qreal ratio : {1.0, 2.0})
    for (bool settled : {true, false}) {
        QImage viaShapes(QSize(60, 60) * ratio, QImage::Format_ARGB32_Premultiplied), viaPath = viaShapes;
        for (QImage* image : {&viaShapes, &viaPath}) {
            image->setDevicePixelRatio(ratio);
            image->fill(Qt::white);
        }
        BarShapes shapes;
        QImage scratch = viaShapes;
        QPainter warming(&scratch);
        warming.setRenderHint(QPainter::Antialiasing);
        QPainter painter(&viaShapes);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QPainter reference(&viaPath);
        reference.setRenderHint(QPainter::Antialiasing);
        for (size_t column = 0; column < bars.size(); ++column) {
            // A bar of another height first: the one drawn comes from what that left cached.
            shapes.paint(warming, column, bars[column].adjusted(0, 1, 0, 0), QColor(30, 90, 220), true);
            shapes.paint(painter, column, bars[column], QColor(30, 90, 220), settled);
            reference.fillPath(ContinuousShape::roundedRect(bars[column], std::min(bars[column].width() / 2, qreal(2))), QColor(30, 90, 220));
        }
        painter.end();
        reference.end();
        // Edge pixels may round a few levels apart; a misplaced end or seam is off by far more.
        EXPECT_LE(largestChannelDifference(viaShapes, viaPath), 10) << ratio << settled;
    }
}
