#include "Models/AppLocalization.h"
#include "Models/IsolatedText.h"
#include "Platform/SettingsStore.h"
#include "Services/ToolMoveMessage.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/Tools/ToolTexts.h"

#include <QApplication>
#include <QFont>
#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

// Where the glyph of each of two characters is drawn, a text laid out as one line in the
// interface's direction: the order a reader sees them in.
std::pair<qreal, qreal> drawnAt(const QString& text, qsizetype first, qsizetype second, Qt::LayoutDirection direction) {
    QTextLayout layout(text, Fonts::system(12));
    QTextOption option;
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(100000);
    layout.endLayout();
    auto x = [&](qsizetype index) {
        const QList<QGlyphRun> runs = line.glyphRuns(int(index), 1);
        return runs.isEmpty() || runs.front().positions().isEmpty() ? -1.0 : runs.front().positions().front().x();
    };
    return {x(first), x(second)};
}

}  // namespace

// A file, program or folder name in an Arabic reason reads in its own direction: ".bashrc" with
// its dot first, a path from the home folder on, also when a folder in it has an Arabic name.
TEST(CleanupReasonText, NamesInAnArabicReasonKeepTheirOwnOrder) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    QApplication::setLayoutDirection(Qt::RightToLeft);
    struct Case {
        CleanupReason reason;
        QString detail;
        QString before;  // a piece that must be drawn left of `after`
        QString after;
    };
    for (const Case& each : {Case{CleanupReason::runsProgram, QStringLiteral(".bashrc"), QStringLiteral("."), QStringLiteral("bashrc")},
                             Case{CleanupReason::inUse, QStringLiteral(".mu-wrapped"), QStringLiteral("."), QStringLiteral("mu-wrapped")},
                             Case{CleanupReason::linked, QStringLiteral("~/rproj/renv/library"), QStringLiteral("~/"), QStringLiteral("library")},
                             Case{CleanupReason::linked, QStringLiteral("~/مشاريع/renv/library"), QStringLiteral("~/"), QStringLiteral("library")},
                             Case{CleanupReason::cannotMove, QStringLiteral("~/.cache/mixed/root"), QStringLiteral("~/."), QStringLiteral("root")},
                             Case{CleanupReason::unsavedWork, QStringLiteral("~/.cache/emacs/#!home!ana!draft.org#"), QStringLiteral("~/."), QStringLiteral("draft")},
                             Case{CleanupReason::editHistory, QStringLiteral("~/.cache/vim/undo/%home%ana%notes.txt"), QStringLiteral("~/."), QStringLiteral("notes")}}) {
        SCOPED_TRACE(each.detail.toStdString());
        CleanupCandidate candidate;
        candidate.reason = each.reason;
        candidate.reasonDetail = each.detail;
        const QString text = ToolTexts::cleanupDetail(candidate);
        ASSERT_TRUE(text.isRightToLeft()) << text.toStdString();
        const qsizetype first = text.indexOf(each.before), second = text.lastIndexOf(each.after);
        ASSERT_GE(first, 0) << text.toStdString();
        ASSERT_GT(second, first);
        const auto [left, right] = drawnAt(text, first, second, Qt::RightToLeft);
        ASSERT_GE(left, 0);
        EXPECT_LT(left, right) << text.toStdString();
    }
    SettingsStore::shared().remove("appLanguage");
    QApplication::setLayoutDirection(Qt::LeftToRight);
}

// A size that leaves out folders that could not be read says so; a whole one is the size alone.
TEST(CleanupReasonText, APartlyReadSizeSaysWhatItLeavesOut) {
    SettingsStore::shared().setValue("appLanguage", "en");
    CleanupCandidate candidate;
    candidate.size = 1'000'000;
    EXPECT_EQ(ToolTexts::cleanupSize(candidate), ToolTexts::bytes(1'000'000));
    candidate.unreadableFolders = 3;
    EXPECT_EQ(ToolTexts::cleanupSize(candidate), QStringLiteral("at least %1; 3 folders unreadable").arg(isolatedText(ToolTexts::bytes(1'000'000))));
    candidate.unreadableFolders = 1;
    EXPECT_TRUE(ToolTexts::cleanupSize(candidate).endsWith(QStringLiteral("; 1 folder unreadable")));
    SettingsStore::shared().remove("appLanguage");
}

// A path in a move's message is one run in its own order too, also when it starts with a folder
// named in Arabic.
TEST(CleanupReasonText, PathsInAnArabicMoveMessageKeepTheirOrder) {
    SettingsStore::shared().setValue("appLanguage", "ar");
    TrashResult result;
    result.failed.emplace_back(TrashError::Reason::mounted, std::filesystem::path("/بيانات/cache"), EBUSY);
    const QString line = toolMoveMessage(result, {}).section(QLatin1Char('\n'), -1);
    const auto [top, cache] = drawnAt(line, line.indexOf(QStringLiteral("بيانات")), line.lastIndexOf(QStringLiteral("cache")), Qt::RightToLeft);
    ASSERT_GE(top, 0) << line.toStdString();
    EXPECT_LT(top, cache) << line.toStdString();
    SettingsStore::shared().remove("appLanguage");
}
