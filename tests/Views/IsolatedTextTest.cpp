#include "Models/IsolatedText.h"

#include <QApplication>
#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// Lays the text out right to left, as an Arabic label does, and returns where each character's glyph is.
std::vector<qreal> glyphPositionsRightToLeft(const QString& text) {
    QTextLayout layout(text, QApplication::font());
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine().setLineWidth(2000);
    layout.endLayout();
    std::vector<qreal> x;
    for (int i = 0; i < text.size(); ++i) {
        const QList<QGlyphRun> runs = layout.glyphRuns(i, 1);
        x.push_back(runs.isEmpty() || runs.front().positions().isEmpty() ? -1 : runs.front().positions().front().x());
    }
    return x;
}

}  // namespace

// "270.55 GB" must not read "GB 270.55", nor a path "tmp/ux/home/", inside Arabic text.
TEST(IsolatedText, ValuesKeepTheirOrderInsideArabicText) {
    for (const QString& value : {QStringLiteral("270.55 GB"), QStringLiteral("/home/ux/tmp")}) {
        const QString sentence = QString::fromUtf8("افحص ") + isolatedText(value) + QString::fromUtf8(" لترى");
        const int first = sentence.indexOf(value);
        const std::vector<qreal> x = glyphPositionsRightToLeft(sentence);
        for (int i = first; i + 1 < first + value.size(); ++i)
            EXPECT_LT(x[i], x[i + 1]) << value.toStdString() << " at " << i - first;
    }
}
