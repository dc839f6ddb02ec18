#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Symbols.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

int glyphCount(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int count = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) count += int(run.glyphIndexes().size());
    return count;
}

}  // namespace

// A ligature name the font does not know would be drawn as a row of letters.
TEST(Symbols, EveryNameBecomesOneMaterialGlyph) {
    const QFont font = Symbols::font(20);
    ASSERT_EQ(QFontInfo(font).family(), "Material Icons");
    const auto& table = Symbols::table();
    ASSERT_GT(table.size(), 100u);
    for (size_t i = 0; i < table.size(); ++i) {
        SCOPED_TRACE(table[i].first.toStdString());
        if (i > 0) {
            EXPECT_LT(table[i - 1].first, table[i].first);  // sorted, no name twice
        }
        EXPECT_EQ(glyphCount(table[i].second, font), 1) << table[i].second.toStdString();
        EXPECT_EQ(Symbols::materialName(table[i].first), table[i].second);
    }
    EXPECT_EQ(Symbols::materialName("folder.fill"), "folder");
    EXPECT_TRUE(Symbols::materialName("no.such.symbol").isEmpty());
}

TEST(Symbols, UnknownNameDrawsNothingAndKnownOnesTakeTheColour) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        Symbols::paint(painter, image.rect(), "no.such.symbol", 20, Qt::red);
    }
    EXPECT_EQ(image, [] {
        QImage blank(40, 40, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        return blank;
    }());
    {
        QPainter painter(&image);
        Symbols::paint(painter, image.rect(), "stop.fill", 20, QColor(0, 0, 255));
    }
    // The stop square fills the middle in the colour given.
    EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 0, 255));
}

TEST(ContinuousShape, CapsulesHaveRoundEndsAndRadiiAreHeldToHalfTheSide) {
    const QRectF rect(0, 0, 100, 20);
    const QPainterPath capsule = ContinuousShape::capsule(rect);
    EXPECT_EQ(capsule.boundingRect(), rect);
    EXPECT_TRUE(capsule.contains(QPointF(1, 10)));     // the round end reaches the edge at mid-height…
    EXPECT_FALSE(capsule.contains(QPointF(1.5, 1.5)));  // …but not the corner
    EXPECT_TRUE(capsule.contains(QPointF(50, 0.5)));

    EXPECT_EQ(ContinuousShape::roundedRect(rect, 400).boundingRect(), rect);
    QPainterPath square;
    square.addRect(rect);
    EXPECT_EQ(ContinuousShape::roundedRect(rect, 0), square);
}
