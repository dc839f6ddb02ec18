#include "Models/AppLocalization.h"
#include "Views/Common/BusySpinner.h"
#include "Views/DesignSystem/DS.h"
#include "Views/Tools/ToolsEmptyCard.h"
#include "Views/Tools/CandidateListView.h"
#include "Views/Tools/DuplicateFinderView.h"
#include "Views/Tools/StorageHistoryContent.h"
#include "Views/Tools/ToolTexts.h"
#include "Views/Tools/ToolsRail.h"
#include "Views/Tools/ToolsRailRow.h"
#include "Views/Tools/ToolsTrashButton.h"
#include "Views/Tools/ToolsView.h"
#include "ViewSupport/ToolsFixture.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <limits>

namespace {

ToolsRailRow* railRow(ToolsView& view, ValueTool tool) {
    for (ToolsRailRow* row : view.rail()->rows())
        if (row->tool() == tool) return row;
    return nullptr;
}

std::vector<CleanupCandidate> candidates(int count, const std::string& folder = "/c") {
    std::vector<CleanupCandidate> list;
    for (int i = 0; i < count; ++i)
        list.push_back(ToolsFixture::candidate(folder + "/item" + std::to_string(i), 1000 + i, i % 2 ? CleanupSafety::review : CleanupSafety::safe));
    return list;
}

}  // namespace

TEST(ToolsShell, BadgesCountGroupsAndListEntriesAndNeverShowZero) {
    ToolsFixture fixture;
    ToolsView view(fixture.state());
    for (ToolsRailRow* row : view.rail()->rows()) EXPECT_FALSE(row->badgeText()) << rawText(row->tool()).toStdString();

    // Ten groups of three copies each count ten.
    std::vector<DuplicateGroup> groups;
    for (int g = 0; g < 10; ++g)
        groups.push_back(ToolsFixture::group("g" + std::to_string(g), 100 + g,
                                             {"/d/" + std::to_string(g) + "a", "/d/" + std::to_string(g) + "b", "/d/" + std::to_string(g) + "c"}));
    fixture.finishDuplicates(groups);
    EXPECT_EQ(railRow(view, ValueTool::duplicates)->badgeText(), QString("10"));

    fixture.loadStartup({ToolsFixture::startupItem("/a/one.desktop", "One", true, true)});
    EXPECT_EQ(railRow(view, ValueTool::startup)->badgeText(), QString("1"));

    // A thousand entries are grouped as the system's number format groups them.
    fixture.loadCleanup(candidates(1000));
    EXPECT_EQ(railRow(view, ValueTool::cleanup)->badgeText(), QLocale::system().toString(1000));
    EXPECT_FALSE(railRow(view, ValueTool::history)->badgeText());
    EXPECT_FALSE(railRow(view, ValueTool::developer)->badgeText());
    EXPECT_FALSE(railRow(view, ValueTool::forgotten)->badgeText());

    // A list that empties drops its badge.
    fixture.finishDuplicates({});
    EXPECT_FALSE(railRow(view, ValueTool::duplicates)->badgeText());
}

TEST(ToolsShell, TheRailChoosesTheToolAndEachChoiceMakesAFreshScreen) {
    ToolsFixture fixture;
    fixture.loadCleanup(candidates(2));
    ToolsView view(fixture.state());
    view.resize(1320, 880);
    view.show();
    EXPECT_EQ(view.selectedTool(), ValueTool::duplicates);
    EXPECT_NE(qobject_cast<DuplicateFinderView*>(view.detail()), nullptr);
    EXPECT_TRUE(railRow(view, ValueTool::duplicates)->isSelected());

    QTest::mouseClick(railRow(view, ValueTool::cleanup), Qt::LeftButton);
    EXPECT_EQ(view.selectedTool(), ValueTool::cleanup);
    EXPECT_NE(qobject_cast<CandidateListView*>(view.detail()), nullptr);
    EXPECT_TRUE(railRow(view, ValueTool::cleanup)->isSelected());
    EXPECT_FALSE(railRow(view, ValueTool::duplicates)->isSelected());
    EXPECT_EQ(fixture.fake.cleanupLoads.size(), 1u);  // a loaded list is not loaded again

    // Pressing the chosen row again keeps the screen and the choice.
    QWidget* shown = view.detail();
    QTest::mouseClick(railRow(view, ValueTool::cleanup), Qt::LeftButton);
    EXPECT_EQ(view.detail(), shown);
    EXPECT_TRUE(railRow(view, ValueTool::cleanup)->isSelected());
}

TEST(ToolsShell, TheAlertShowsEveryToolsMessageAndAnyDismissalEndsIt) {
    ToolsFixture fixture;
    // A message published while the section was elsewhere waits for it.
    fixture.state().setToolMessage(QString("<b>Could not move</b> “a & b”"));
    ToolsView view(fixture.state());
    view.resize(1320, 880);
    view.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.alert() && view.alert()->isVisible(); }));
    EXPECT_EQ(view.alert()->text(), QString("<b>Could not move</b> “a & b”"));
    EXPECT_EQ(view.alert()->textFormat(), Qt::PlainText);
    EXPECT_EQ(view.alert()->windowTitle(), AppLocalization::string("tools.message"));

    QTest::keyClick(view.alert(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.alert(); }));
    EXPECT_FALSE(fixture.state().toolMessage());
    QCoreApplication::processEvents();
    EXPECT_EQ(view.alert(), nullptr);  // it does not come back by itself

    // A new message opens it again; the OK button ends it too.
    fixture.state().setToolMessage(QString("Moved 2 items to the Trash."));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.alert() && view.alert()->isVisible(); }));
    auto* ok = qobject_cast<QPushButton*>(view.alert()->buttons().value(0));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), AppLocalization::string("action.ok"));
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(fixture.state().toolMessage());
}

TEST(ToolsShell, TrashButtonNeedsASelectionAndAnIdleState) {
    ToolsTrashButton button(DynamicColor::primary(), 0, false);
    EXPECT_FALSE(button.isEnabled());
    button.setState(1, false);
    EXPECT_TRUE(button.isEnabled());
    button.setState(1, true);
    EXPECT_FALSE(button.isEnabled());
}

// While a tool works its empty card shows the regular spinner in the badge's place, 56 high.
TEST(ToolsEmptyCard, WorkingShowsTheRegularSpinner) {
    ToolsEmptyCard card("sparkles", DS::teal, true, "cleanup.empty.title", "cleanup.empty.detail");
    card.resize(600, 400);
    card.show();
    QCoreApplication::processEvents();
    auto* spinner = card.findChild<BusySpinner*>();
    ASSERT_TRUE(spinner);
    EXPECT_TRUE(spinner->isVisible());
    EXPECT_EQ(spinner->size(), QSize(32, 32));
    EXPECT_EQ(spinner->parentWidget()->height(), 56);
}

TEST(ToolsTexts, SelectionSummaryAndSignedBytes) {
    const QString zero = ToolTexts::bytes(0);
    EXPECT_EQ(ToolTexts::selectionDetail(-5), AppLocalization::format("tools.selected", {zero}) + QString::fromUtf8(" \u00B7 ") +
                                                  AppLocalization::string("tools.recoverable"));

    EXPECT_EQ(StorageHistoryContent::signedBytes(1'500'000'000), "+" + ToolTexts::bytes(1'500'000'000));
    EXPECT_EQ(StorageHistoryContent::signedBytes(-1'500'000'000), QString::fromUtf8("\u2212") + ToolTexts::bytes(1'500'000'000));
    EXPECT_EQ(StorageHistoryContent::signedBytes(0), zero);
    // The smallest count's magnitude does not fit a signed count: it saturates instead of staying negative.
    const QString largest = ToolTexts::bytes(std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StorageHistoryContent::signedBytes(std::numeric_limits<std::int64_t>::min()), QString::fromUtf8("\u2212") + largest);
    EXPECT_EQ(StorageHistoryContent::signedBytes(std::numeric_limits<std::int64_t>::max()), "+" + largest);
}
