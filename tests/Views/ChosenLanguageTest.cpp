#include "Foundation/PathText.h"
#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Models/TimeFormatting.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Monitor/MonitorText.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Storage/FolderCard.h"
#include "Views/Storage/StorageView.h"
#include "Views/Storage/TreemapView.h"
#include "ViewSupport/ScanFixture.h"
#include "ViewSupport/StorageFixtures.h"

#include <QApplication>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// The interface in a chosen language, whatever this machine's own locale is.
struct ChosenLanguage {
    explicit ChosenLanguage(const char* code) {
        SettingsStore::shared().setValue("appLanguage", code);
        QApplication::setLayoutDirection(QString(code) == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
    }
    ~ChosenLanguage() {
        SettingsStore::shared().remove("appLanguage");
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }
};

// The overview of a fixture home in an Arabic interface.
struct ArabicOverview {
    ChosenLanguage arabic{"ar"};
    ScanFixture tree;
    AppState state{tree.services()};
    // The scan folder is set before the page is made, as a relaunch finds it.
    OverviewView overview{(state.setScanRoot(tree.root()), state), [] { return StorageFixtures::fixedCapacity; }};
};

QStringList shownTexts(const QWidget& widget) {
    QStringList texts;
    for (const TextLabel* label : widget.findChildren<TextLabel*>())
        if (label->isVisibleTo(&widget) && !label->text().isEmpty()) texts << label->text();
    return texts;
}

// Figures are written in one digit system: with names and paths (which keep their own) taken out,
// no Western digit is left, and some Arabic-Indic ones are there.
void expectArabicIndicDigitsOnly(const QStringList& texts, const QStringList& namesAndPaths) {
    int arabicIndic = 0;
    for (QString text : texts) {
        const QString shown = text;
        for (const QString& name : namesAndPaths) text.remove(name);
        for (QChar c : text) {
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ADD_FAILURE() << "Western digit in \"" << shown.toStdString() << "\"";
            if (c.unicode() >= 0x660 && c.unicode() <= 0x669) ++arabicIndic;
        }
    }
    EXPECT_GT(arabicIndic, 0) << texts.join(" | ").toStdString();
}

QStringList namesAndPathsOf(const ScanFixture& tree, const AppState& state) {
    QStringList names{DisplayText::path(tree.root()), PathText::display(tree.root())};
    if (const auto& snapshot = state.scanSnapshot()) {
        for (const StorageBucket& bucket : snapshot->buckets) names << DisplayText::name(bucket.name()) << DisplayText::path(bucket.path);
        for (const ScannedFile& file : snapshot->largestFiles)
            names << DisplayText::name(file.path.filename()) << DisplayText::path(file.path.parent_path()) << DisplayText::path(file.path);
    }
    // Longest first, so that a path goes before the name inside it.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return names;
}

// Where each character of `text` is drawn when it is laid out as a paragraph of the given direction.
std::vector<qreal> glyphPositions(const QString& text, Qt::LayoutDirection direction) {
    QTextLayout layout(text, QApplication::font());
    QTextOption option;
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    layout.createLine().setLineWidth(4000);
    layout.endLayout();
    std::vector<qreal> x;
    for (int i = 0; i < text.size(); ++i) {
        const QList<QGlyphRun> runs = layout.glyphRuns(i, 1);
        x.push_back(runs.isEmpty() || runs.front().positions().isEmpty() ? -1 : runs.front().positions().front().x());
    }
    return x;
}

// The visible characters of `shown` in the order they are drawn, from left to right.
QString readLeftToRight(const QString& shown, Qt::LayoutDirection direction) {
    const std::vector<qreal> x = glyphPositions(shown, direction);
    std::vector<int> order;
    for (int i = 0; i < shown.size(); ++i)
        if (x[size_t(i)] >= 0 && shown[i].category() != QChar::Other_Format) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return x[size_t(a)] < x[size_t(b)]; });
    QString read;
    for (int i : order) read += shown[i];
    return read;
}

}  // namespace

// "1 file", not "1 files", wherever a folder's file count is shown: its row, its card, the map's strip.
TEST(ChosenLanguage, OneFileReadsOneFile) {
    ChosenLanguage english("en");
    ScanFixture tree;
    AppState state(tree.services());
    state.setScanRoot(tree.root());
    StorageView view(state, DS::amber, [] { return StorageFixtures::fixedCapacity; });
    view.resize(1320, 1800);
    view.show();
    state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && view.body() == StorageView::Body::results; }, 10000));
    view.setShowAllFolders(true);
    const StorageBucket* notes = nullptr;
    for (const StorageBucket& bucket : state.scanSnapshot()->buckets)
        if (bucket.name() == "notes.txt") notes = &bucket;
    ASSERT_NE(notes, nullptr);
    ASSERT_EQ(notes->fileCount, 1);
    bool rowFound = false;
    for (RankedRow* row : view.folderRows()) {
        if (row->property("bucketID").toString().toStdString() != notes->path) continue;
        rowFound = true;
        const QStringList texts = shownTexts(*row);
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [](const QString& text) { return text.startsWith(QString::fromUtf8("1 file \u00B7")); }))
            << texts.join(" | ").toStdString();
    }
    EXPECT_TRUE(rowFound);

    FolderCard card(*notes, 0.01, DS::amber, false, [] {}, {});
    EXPECT_TRUE(shownTexts(card).contains("1 file")) << shownTexts(card).join(" | ").toStdString();
    EXPECT_FALSE(shownTexts(card).join(" ").contains("1 files"));

    const std::vector<StorageBucket> items{*notes};
    TreemapView map(nullptr, {});
    map.resize(400, 300);
    map.setItems({&items.front()}, notes->size, StorageRankPalette(items));
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    ASSERT_EQ(map.cells().size(), 1u);
    const QPointF centre = map.cells().front().second.center();
    QMouseEvent move(QEvent::MouseMove, centre, map.mapToGlobal(centre), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&map, &move);
    EXPECT_TRUE(map.hoverStripText().contains("1 file")) << map.hoverStripText().toStdString();
    EXPECT_FALSE(map.hoverStripText().contains("1 files"));
}

// An Arabic interface on a machine set up in another language writes every figure, relative time,
// duration and date in Arabic, with Arabic-Indic digits throughout, as the overview and storage
// screens show them.
TEST(ChosenLanguage, ArabicScreensWriteFiguresInArabicWithOneDigitSystem) {
    ArabicOverview screen;
    ScanFixture& tree = screen.tree;
    AppState& state = screen.state;
    OverviewView& overview = screen.overview;
    overview.resize(1320, 880);
    overview.show();
    StorageView storage(state, DS::amber, [] { return StorageFixtures::fixedCapacity; });
    storage.resize(1320, 1800);
    storage.show();
    state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && storage.body() == StorageView::Body::results; }, 10000));
    QCoreApplication::processEvents();
    const QStringList names = namesAndPathsOf(tree, state);
    expectArabicIndicDigitsOnly(shownTexts(overview), names);
    expectArabicIndicDigitsOnly(shownTexts(storage), names);

    // The last scan's time and the scan's duration read in Arabic.
    const QStringList texts = shownTexts(overview);
    const Instant now = Instant::now();
    const QString lastScan = TimeFormatting::relative(state.scanSnapshot()->scannedAt, now, AppLocalization::activeLocale());
    EXPECT_TRUE(lastScan.isRightToLeft()) << lastScan.toStdString();
    const QString duration = TimeFormatting::minutesAndSeconds(state.scanSnapshot()->duration, AppLocalization::activeLocale());
    EXPECT_TRUE(duration.isRightToLeft()) << duration.toStdString();
    EXPECT_TRUE(texts.contains(duration)) << texts.join(" | ").toStdString();
}

// The same for the monitor's figures, its uptime and battery time, and dates.
TEST(ChosenLanguage, MonitorTimesAndDatesFollowTheChosenLanguage) {
    {
        ChosenLanguage arabic("ar");
        const QStringList texts{MonitorText::uptime(3 * 86400 + 4 * 3600), MonitorText::remaining(135), MonitorText::watts(12.34),
                                MonitorText::loadAverage(3.14159), MonitorText::count(3098), MonitorText::wholePercent(0.42),
                                Fmt::percent(0.42), ByteFormatting::string(std::int64_t(3'098'000'000)),
                                TimeFormatting::dayMonthYear(Instant::fromReferenceSeconds(800'000'000), AppLocalization::activeLocale()),
                                TimeFormatting::relative(Instant::fromReferenceSeconds(800'000'000 - 600), Instant::fromReferenceSeconds(800'000'000),
                                                         AppLocalization::activeLocale()),
                                AppLocalization::format("monitor.processCount", {6})};
        expectArabicIndicDigitsOnly(texts, {});
        EXPECT_EQ(MonitorText::percentSign(), QString(QChar(0x066A)));
        for (int i : {0, 1, 8, 9})
            EXPECT_TRUE(texts[i].contains(QRegularExpression(QStringLiteral("[\u0621-\u064A]")))) << texts[i].toStdString();  // Arabic words
    }
    ChosenLanguage english("en");
    EXPECT_EQ(MonitorText::uptime(3 * 86400 + 4 * 3600), "3d 4h");
    EXPECT_EQ(MonitorText::percentSign(), "%");
    EXPECT_EQ(TimeFormatting::relative(Instant::fromReferenceSeconds(800'000'000 - 600), Instant::fromReferenceSeconds(800'000'000),
                                       AppLocalization::activeLocale()),
              "10 minutes ago");
    EXPECT_EQ(ByteFormatting::string(std::int64_t(3'098'000'000)), "3.1 GB");
}

// The scan prompt's folder reads from the root in an Arabic sentence: "/home/ana", never "home/ana/".
TEST(ChosenLanguage, APathStaysLeftToRightInArabicText) {
    ArabicOverview screen;
    const ScanFixture& tree = screen.tree;
    const OverviewView& overview = screen.overview;
    const QString path = PathText::display(tree.root());
    QString detail;
    for (const Banner* banner : overview.findChildren<Banner*>())
        for (const TextLabel* label : banner->findChildren<TextLabel*>())
            if (label->text().contains(path)) detail = label->text();
    ASSERT_FALSE(detail.isEmpty());
    EXPECT_TRUE(readLeftToRight(detail, Qt::RightToLeft).contains(path)) << readLeftToRight(detail, Qt::RightToLeft).toStdString();

    // Also a path whose folders are named in Arabic: its parts stay in order from the root.
    const QString arabicPath = QString::fromUtf8("/home/ana/صور/رحلة");
    const QString sentence = AppLocalization::format("overview.scanPrompt.detail", {DisplayText::path(arabicPath)});
    const QString read = readLeftToRight(sentence, Qt::RightToLeft);
    const qsizetype home = read.indexOf("/home/ana/"), pictures = read.indexOf(QString::fromUtf8("روص")), trip = read.indexOf(QString::fromUtf8("ةلحر"));
    EXPECT_TRUE(home >= 0 && pictures > home && trip > pictures) << read.toStdString();
}

// A name holding a right-to-left override reads as it is stored, and the sentence around it keeps its order.
TEST(ChosenLanguage, ANameWithAnOverrideReadsAsStored) {
    ChosenLanguage english("en");
    const QString stored = QString::fromUtf8("qq \u202Etxt.exe");
    const QString shown = DisplayText::name(stored);
    EXPECT_EQ(readLeftToRight(shown, Qt::LeftToRight), "qq [U+202E]txt.exe");
    const QString sentence = AppLocalization::format("fileActions.cannotOpen", {stored});
    const QString read = readLeftToRight(sentence, Qt::LeftToRight);
    EXPECT_TRUE(read.contains("qq [U+202E]txt.exe")) << read.toStdString();
    EXPECT_FALSE(read.contains("exe.txt"));
}

// "270.55 GB" must not read "GB 270.55", nor a path "tmp/ux/home/", inside Arabic text.
TEST(IsolatedText, ValuesKeepTheirOrderInsideArabicText) {
    for (const QString& value : {QStringLiteral("270.55 GB"), QStringLiteral("/home/ux/tmp")}) {
        const QString sentence = QString::fromUtf8("افحص ") + isolatedText(value) + QString::fromUtf8(" لترى");
        EXPECT_TRUE(readLeftToRight(sentence, Qt::RightToLeft).contains(value)) << value.toStdString();
    }
}

// A wrapped Arabic sentence whose last line starts inside a path: that line still reads right to
// left, the path's rest at its right end and the Arabic word after it on its left.
TEST(ChosenLanguage, AWrappedLineKeepsTheSentencesDirection) {
    ChosenLanguage arabic("ar");
    TextLabel label(QString::fromUtf8("افحص ") + DisplayText::path(QStringLiteral("/") + QString(90, QLatin1Char('m'))) + QString::fromUtf8(" لللل"),
                    Fonts::system(13));
    label.setWordWrap(true);
    label.setLayoutDirection(Qt::RightToLeft);
    const int width = QFontMetrics(label.font()).horizontalAdvance(QString(50, QLatin1Char('m')));
    label.resize(width, label.heightForWidth(width));
    const QImage picture = label.grab().toImage();
    auto ink = [&](int x, int y) { return qGray(picture.pixel(x, y)) < 160; };
    auto rowHasInk = [&](int y) {
        for (int x = 0; x < picture.width(); ++x)
            if (ink(x, y)) return true;
        return false;
    };
    // The last line: the lowest run of rows with ink. Its top rows hold only the tall strokes of the
    // Arabic word ("m" has none).
    int bottom = picture.height() - 1;
    while (bottom > 0 && !rowHasInk(bottom)) --bottom;
    int top = bottom;
    while (top > 0 && rowHasInk(top - 1)) --top;
    ASSERT_GT(top, 0) << "the text must wrap";
    int tallRight = -1, inkRight = -1;
    for (int x = 0; x < picture.width(); ++x)
        for (int y = top; y <= bottom; ++y)
            if (ink(x, y)) {
                inkRight = std::max(inkRight, x);
                if (y <= top + 1) tallRight = std::max(tallRight, x);
            }
    ASSERT_GE(tallRight, 0);
    EXPECT_LT(tallRight, inkRight - 20) << "the Arabic word ends the line on the left, the path's rest is on its right";
}
