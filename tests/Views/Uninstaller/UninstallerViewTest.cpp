#include "Models/AppLocalization.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Services/ErrorDescription.h"
#include "Services/UninstallError.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/TextSelection.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Platform/SettingsStore.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Tools/ToolCheckBox.h"
#include "Views/Uninstaller/AppListCard.h"
#include "Views/Uninstaller/AppListRow.h"
#include "Views/Uninstaller/ArtifactRow.h"
#include "Views/Uninstaller/CategoryHeader.h"
#include "Views/Uninstaller/LeftoversCard.h"
#include "Views/Uninstaller/UninstallerDetail.h"
#include "Views/Uninstaller/UninstallerFilterField.h"
#include "Views/Uninstaller/UninstallerHeroCard.h"
#include "Views/Uninstaller/UninstallerView.h"
#include "ViewSupport/UninstallerFixture.h"
#include "ViewSupport/Clicks.h"

#include <QAccessible>
#include <QDir>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Path = std::filesystem::path;
using Fixture = UninstallerFixture;

struct ShownUninstaller {
    explicit ShownUninstaller(AppState& state) : view(state, DynamicColor::primary()) {
        view.resize(1320, 880);
        view.show();
        QCoreApplication::processEvents();
    }
    AppListCard& list() const { return *view.appList(); }
    // Rows are made within a time budget per turn: a slow build makes them over several turns.
    AppListRow* row(std::size_t index) const {
        waitUntil([&] { return list().rows()->builtCount() > index; });
        return static_cast<AppListRow*>(list().rows()->row(index));
    }
    std::vector<QString> names() const {
        waitUntil([&] { return list().rows()->builtCount() == list().rows()->rowCount(); });
        std::vector<QString> shown;
        for (std::size_t i = 0; i < list().rows()->builtCount(); ++i) shown.push_back(row(i)->application().name);
        return shown;
    }
    void filter(const QString& text) const { list().filterField()->edit()->setText(text); }
    UninstallerHeroCard* hero() const {
        QCoreApplication::processEvents();  // the detail follows on the next turn
        return view.detail()->hero();
    }
    LeftoversCard* leftovers() const {
        QCoreApplication::processEvents();
        return view.detail()->leftovers();
    }
    ArtifactRow* leftover(std::size_t index) const { return leftovers()->rows().at(index); }
    UninstallerView view;
};

// The question the trash button asks, answered with Cancel.
QString askedToTrash(const ShownUninstaller& shown) {
    click(shown.hero()->trashButton());
    const QString text = shown.view.confirmation() ? shown.view.confirmation()->informativeText() : QString();
    if (shown.view.confirmation()) click(shown.view.confirmation()->findChild<QPushButton*>("cancelMove"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shown.view.confirmation(); }));
    return text;
}

std::vector<InstalledApplication> someApplications() {
    return {Fixture::application("org.gnome.Calculator", "Calculator", 4'200'000), Fixture::application("org.example.Editor", "Code Editor", 0),
            Fixture::application("org.arabic.Quran", QString::fromUtf8("مصحف"), 1), Fixture::application("tool", "Tool Box", 9'000)};
}

std::vector<AppArtifact> editorLeftovers() {
    return {Fixture::artifact("/home/maya/.local/share/applications/org.example.Editor.desktop", 400, ArtifactCategory::application),
            Fixture::artifact("/home/maya/.cache/org.example.Editor", 100, ArtifactCategory::cache),
            Fixture::artifact("/home/maya/.config/org.example.Editor", 0, ArtifactCategory::preference)};
}

std::vector<Path> tickedPaths(const std::vector<AppArtifact>& artifacts) {
    std::vector<Path> ticked;
    for (const AppArtifact& artifact : artifacts)
        if (artifact.isSelected) ticked.push_back(artifact.path);
    return ticked;
}

}  // namespace

TEST(UninstallerList, FiltersByNameOrIdentifierIgnoringCaseAndCountsAll) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    EXPECT_EQ(shown.list().area(), AppListCard::Area::loading);  // the first load, nothing listed yet
    // The list's spinner is the small one, the detail's loading card the regular one.
    QCoreApplication::processEvents();
    auto* listSpinner = shown.list().findChild<BusySpinner*>();
    auto* loadingCard = shown.view.detail()->findChild<QWidget*>("detailLoading");
    ASSERT_TRUE(listSpinner && loadingCard);
    EXPECT_EQ(listSpinner->size(), QSize(ControlSizes::spinnerSide(ControlSize::small), ControlSizes::spinnerSide(ControlSize::small)));
    ASSERT_TRUE(loadingCard->findChild<BusySpinner*>());
    EXPECT_EQ(loadingCard->findChild<BusySpinner*>()->size(), QSize(32, 32));
    fixture.answerApplications(someApplications());
    ASSERT_EQ(shown.list().area(), AppListCard::Area::list);
    EXPECT_EQ(shown.names().size(), 4u);
    EXPECT_EQ(shown.list().countLabel()->text(), AppLocalization::format("uninstaller.apps.count", {4}));

    shown.filter("CODE");
    EXPECT_EQ(shown.names(), (std::vector<QString>{"Code Editor"}));
    shown.filter("gnome");  // only in the identifier
    EXPECT_EQ(shown.names(), (std::vector<QString>{"Calculator"}));
    shown.filter(QString::fromUtf8("مصح"));
    EXPECT_EQ(shown.names(), (std::vector<QString>{QString::fromUtf8("مصحف")}));
    shown.filter(" ");  // not trimmed: only names with a space
    EXPECT_EQ(shown.names(), (std::vector<QString>{"Code Editor", "Tool Box"}));
    EXPECT_TRUE(shown.list().filterField()->clearButton()->isVisibleTo(&shown.view));
    EXPECT_EQ(shown.list().countLabel()->text(), AppLocalization::format("uninstaller.apps.count", {4}));  // all, not the matches

    shown.filter("zzz");
    EXPECT_EQ(shown.list().area(), AppListCard::Area::noMatch);
    click(shown.list().filterField()->clearButton());
    EXPECT_TRUE(shown.list().filterField()->text().isEmpty());
    EXPECT_FALSE(shown.list().filterField()->clearButton()->isVisibleTo(&shown.view));
    EXPECT_EQ(shown.list().area(), AppListCard::Area::list);

    // A reload keeps the list on view; a filter that hides the selection keeps it selected.
    shown.filter("tool");
    fixture.state().loadApplications();
    EXPECT_EQ(shown.list().area(), AppListCard::Area::list);
    EXPECT_EQ(fixture.state().selectedApplication()->name, "Calculator");
    EXPECT_EQ(shown.view.detail()->shown(), UninstallerDetail::Shown::application);
}

TEST(UninstallerList, NoApplicationsAndNoLoadShowNoMatchAndNoCount) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    fixture.answerApplications({});
    EXPECT_EQ(shown.list().area(), AppListCard::Area::noMatch);
    EXPECT_FALSE(shown.list().countLabel()->isVisibleTo(&shown.view));
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.view.detail()->shown(), UninstallerDetail::Shown::prompt);
    click(shown.view.detail()->findChild<StyledButton*>("promptRefresh"));
    EXPECT_TRUE(fixture.state().isLoadingApplications());
}

TEST(UninstallerList, EachShowLoadsUnlessALoadRuns) {
    Fixture fixture;
    {
        ShownUninstaller shown(fixture.state());
        shown.view.hide();
        shown.view.show();  // shown again while the first load runs: ignored
        ASSERT_TRUE(waitUntil([&] { return fixture.fake.applicationLoads.size() == 1; }));
        ASSERT_TRUE(settle(fixture.state(), fixture.fake));
        EXPECT_EQ(fixture.fake.applicationLoads.size(), 1u);
        fixture.answerApplications(someApplications());
    }
    ShownUninstaller again(fixture.state());  // a new visit loads again, with the old list on view meanwhile
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.applicationLoads.size() == 2; }));
    EXPECT_EQ(again.list().area(), AppListCard::Area::list);
}

TEST(UninstallerList, RowsShowSizeOnlyFromOneByteAndTapSelects) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    fixture.answerApplications(someApplications());
    fixture.answerArtifacts({});
    EXPECT_TRUE(shown.row(0)->isSelected());
    EXPECT_TRUE(shown.row(0)->sizeLabel()->isVisibleTo(shown.row(0)));
    EXPECT_FALSE(shown.row(1)->sizeLabel()->isVisibleTo(shown.row(1)));  // 0 bytes
    EXPECT_TRUE(shown.row(2)->sizeLabel()->isVisibleTo(shown.row(2)));   // 1 byte
    EXPECT_EQ(shown.row(2)->sizeLabel()->text(), ByteFormatting::string(std::int64_t(1)));

    const std::size_t searches = fixture.fake.artifactLoads.size();
    click(shown.row(0));  // already selected: nothing is searched again
    ASSERT_TRUE(settle(fixture.state(), fixture.fake));
    EXPECT_EQ(fixture.fake.artifactLoads.size(), searches);
    click(shown.row(1));
    EXPECT_EQ(fixture.state().selectedApplication()->name, "Code Editor");
    EXPECT_TRUE(shown.row(1)->isSelected());
    EXPECT_FALSE(shown.row(0)->isSelected());
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(shown.row(1))->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(shown.row(0))->state().selected);
    EXPECT_EQ(shown.leftovers()->shown(), LeftoversCard::Shown::searching);
}

TEST(UninstallerDetail, HeroGroupsBarsAndTheTrashButton) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication editor = someApplications()[1];
    // Listed cache first: the groups still follow the kinds' order.
    std::vector<AppArtifact> leftovers = editorLeftovers();
    std::swap(leftovers[0], leftovers[1]);
    fixture.listAndSelect(someApplications(), editor, leftovers);
    LeftoversCard* card = shown.leftovers();
    ASSERT_EQ(card->shown(), LeftoversCard::Shown::leftovers);
    ASSERT_EQ(card->headers().size(), 3u);
    EXPECT_EQ(card->headers()[0]->category(), ArtifactCategory::application);
    EXPECT_EQ(card->headers()[1]->category(), ArtifactCategory::cache);
    EXPECT_EQ(card->headers()[2]->category(), ArtifactCategory::preference);
    EXPECT_EQ(card->headers()[0]->titleLabel()->text(), AppLocalization::string("artifact.application").toUpper());
    EXPECT_EQ(shown.leftover(0)->artifact().category, ArtifactCategory::application);
    // Bars against the largest of all kinds: 400, 100 and 0 bytes.
    EXPECT_DOUBLE_EQ(shown.leftover(0)->fraction(), 1.0);
    EXPECT_DOUBLE_EQ(shown.leftover(1)->fraction(), 0.25);
    EXPECT_DOUBLE_EQ(shown.leftover(2)->fraction(), 0.0);
    EXPECT_TRUE(shown.leftover(1)->toolTip().contains("/home/maya/.cache/org.example.Editor"));

    UninstallerHeroCard* hero = shown.hero();
    ASSERT_NE(hero, nullptr);
    // A version such as "4.18.0-1" keeps its own order inside the right-to-left caption.
    const auto* versionPill = hero->findChild<Pill*>("versionPill");
    ASSERT_NE(versionPill, nullptr);
    EXPECT_TRUE(versionPill->text().contains(isolatedText(editor.version))) << versionPill->text().toStdString();
    const ValueAndUnit parts = ValueAndUnit::split(ByteFormatting::string(std::int64_t(500)));
    EXPECT_EQ(hero->selectedSizeValue()->valueLabel()->text(), parts.value);
    EXPECT_EQ(hero->selectedSizeValue()->unitLabel()->text(), parts.unit);
    EXPECT_TRUE(hero->trashButton()->isEnabled());

    // Only a 0-byte leftover ticked: nothing to move.
    click(shown.leftover(0));
    click(shown.leftover(1)->checkBox());
    EXPECT_FALSE(shown.leftover(0)->isTicked());
    EXPECT_FALSE(shown.leftover(1)->isTicked());
    EXPECT_DOUBLE_EQ(shown.leftover(1)->shownOpacity(), 0.55);
    EXPECT_TRUE(shown.leftover(2)->isTicked());
    EXPECT_FALSE(hero->trashButton()->isEnabled());
    EXPECT_EQ(hero->selectedSizeValue()->valueLabel()->text(), ValueAndUnit::split(ByteFormatting::string(std::int64_t(0))).value);
    click(shown.leftover(0)->rankedRow());  // the text and icon toggle it too
    EXPECT_TRUE(shown.leftover(0)->isTicked());
    EXPECT_TRUE(hero->trashButton()->isEnabled());
    // All leftovers, the ticked ones, and the application's own size (its entry, not its leftovers).
    std::vector<QString> figures;
    for (TextLabel* label : hero->figures()->findChildren<TextLabel*>()) figures.push_back(label->text());
    EXPECT_EQ(figures, (std::vector<QString>{AppLocalization::string("uninstaller.stat.items"), "3", AppLocalization::string("uninstaller.stat.selected"), "2",
                                             AppLocalization::string("uninstaller.stat.appSize"), ByteFormatting::string(std::int64_t(400))}));

    // Refreshing is off while the applications load.
    click(hero->refreshButton());
    EXPECT_TRUE(fixture.state().isLoadingApplications());
    EXPECT_FALSE(hero->refreshButton()->isEnabled());
}

// The identifier pill's text can be selected and copied.
TEST(UninstallerDetail, TheIdentifierCanBeSelectedAndCopied) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication editor = someApplications()[1];
    fixture.listAndSelect(someApplications(), editor, editorLeftovers());
    auto* pill = shown.hero()->findChild<Pill*>("identifierPill");
    ASSERT_NE(pill, nullptr);
    auto* selection = pill->findChild<TextSelection*>();
    ASSERT_NE(selection, nullptr);
    QTest::mouseClick(pill, Qt::LeftButton);
    EXPECT_TRUE(selection->isSelected());
    QGuiApplication::clipboard()->clear();
    QTest::keySequence(pill, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), editor.desktopFileID);
}

// A user's desktop entry names its file and the package database its version: both are shown with
// their reordering controls marked, and the identifier is copied as it is.
TEST(UninstallerDetail, TheIdentifierAndVersionShowTheirReorderingControls) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    InstalledApplication evil = someApplications()[1];
    evil.desktopFileID = QString::fromUtf8("img\u202Eevil.desktop");
    evil.version = QString::fromUtf8("1.0\u202E-rc");
    std::vector<InstalledApplication> applications = someApplications();
    applications[1] = evil;
    fixture.listAndSelect(applications, evil, editorLeftovers());
    auto* identifier = shown.hero()->findChild<Pill*>("identifierPill");
    ASSERT_NE(identifier, nullptr);
    EXPECT_EQ(identifier->text(), "img[U+202E]evil.desktop");
    EXPECT_TRUE(shown.hero()->findChild<Pill*>("versionPill")->text().contains("1.0[U+202E]-rc"));
    QTest::mouseClick(identifier, Qt::LeftButton);
    QTest::keySequence(identifier, QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), evil.desktopFileID);
}

TEST(UninstallerDetail, ASearchThatFindsNothingSaysSo) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    fixture.answerApplications(someApplications());
    EXPECT_EQ(shown.leftovers()->shown(), LeftoversCard::Shown::searching);
    fixture.answerArtifacts({});
    ASSERT_EQ(shown.leftovers()->shown(), LeftoversCard::Shown::nothingFound);
    EXPECT_EQ(shown.leftovers()->findChild<TextLabel*>("leftoversState")->text(), AppLocalization::string("uninstaller.residue.none"));
    EXPECT_FALSE(shown.hero()->trashButton()->isEnabled());
}

TEST(UninstallerFlow, SelectionAndUntickingSurviveAReload) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication editor = someApplications()[1];
    fixture.listAndSelect(someApplications(), editor, editorLeftovers());
    click(shown.leftover(1));
    ASSERT_FALSE(shown.leftover(1)->isTicked());

    // Shown again: the list and the leftovers are read anew, every item ticked by the service.
    shown.view.hide();
    shown.view.show();
    fixture.answerApplications(someApplications());
    fixture.answerArtifacts(editorLeftovers());
    EXPECT_EQ(fixture.state().selectedApplication()->id, editor.id);
    EXPECT_EQ(shown.leftovers()->rows().size(), 3u);
    EXPECT_TRUE(shown.leftover(0)->isTicked());
    EXPECT_FALSE(shown.leftover(1)->isTicked());
    EXPECT_TRUE(shown.row(1)->isSelected());
}

TEST(UninstallerFlow, ConfirmMovesExactlyWhatWasTickedAndCancelMovesNothing) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication editor = someApplications()[1];
    fixture.listAndSelect(someApplications(), editor, editorLeftovers());
    click(shown.leftover(0));  // keep the application's entry

    click(shown.hero()->trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->text(), AppLocalization::string("uninstaller.confirm.title"));
    // The entry stays, so the application stays installed: the question says so, and what goes.
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.applicationStays",
                                      {isolatedText("Code Editor"), 2, isolatedText(ByteFormatting::string(std::int64_t(100)))}));
    click(shown.view.confirmation()->findChild<QPushButton*>("cancelMove"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.view.confirmation(); }));
    ASSERT_TRUE(settle(fixture.state(), fixture.fake));
    EXPECT_EQ(fixture.fake.artifactRemovals.size(), 0u);

    click(shown.hero()->trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    // A reload lands while the question is open, with one more item.
    fixture.state().loadApplications();
    fixture.answerApplications(someApplications());
    std::vector<AppArtifact> more = editorLeftovers();
    more.push_back(Fixture::artifact("/home/maya/.local/share/org.example.Editor", 5'000, ArtifactCategory::support));
    fixture.answerArtifacts(more);
    ASSERT_EQ(fixture.state().artifacts().size(), 4u);
    click(shown.view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.artifactRemovals.size() == 1; }));
    EXPECT_EQ(tickedPaths(fixture.fake.artifactRemovals[0]->artifacts),
              (std::vector<Path>{"/home/maya/.cache/org.example.Editor", "/home/maya/.config/org.example.Editor"}));
    EXPECT_TRUE(fixture.state().isRemoving());
    EXPECT_TRUE(shown.hero()->trashButton()->isBusy());
    EXPECT_FALSE(shown.hero()->trashButton()->isEnabled());
}

// The user's copy of a launcher goes, and the system's launcher of the application shows again.
TEST(UninstallerFlow, AnApplicationThatStaysInstalledIsSaidToStayWhenItsEntryIsTicked) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    std::vector<InstalledApplication> applications = someApplications();
    applications[1].staysInstalled = true;
    std::vector<AppArtifact> leftovers = editorLeftovers();
    for (AppArtifact& artifact : leftovers) artifact.isSelected = false;
    fixture.listAndSelect(applications, applications[1], leftovers);
    click(shown.leftover(0));
    click(shown.leftover(1));

    click(shown.hero()->trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.applicationStays",
                                      {isolatedText("Code Editor"), 2, isolatedText(ByteFormatting::string(std::int64_t(500)))}));
}

// The application goes only with its entry and its own program; once moved, what is left of it is
// measured again.
TEST(UninstallerFlow, AnApplicationKeptByItsProgramStaysAndAMovedOneIsMeasuredAgain) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    std::vector<InstalledApplication> applications = someApplications();
    applications[1].size = 4'400;
    std::vector<AppArtifact> items = editorLeftovers();
    items.insert(items.begin() + 1, Fixture::artifact("/home/maya/Applications/Code-Editor.AppImage", 4'000, ArtifactCategory::application));
    fixture.listAndSelect(applications, applications[1], items);
    auto figures = [&] {
        std::vector<QString> shownFigures;
        for (TextLabel* label : shown.hero()->figures()->findChildren<TextLabel*>()) shownFigures.push_back(label->text());
        return shownFigures;
    };
    const QString items0 = AppLocalization::string("uninstaller.stat.items");
    const QString ticked = AppLocalization::string("uninstaller.stat.selected");
    const QString size = AppLocalization::string("uninstaller.stat.appSize");
    EXPECT_EQ(figures(), (std::vector<QString>{items0, "4", ticked, "4", size, ByteFormatting::string(std::int64_t(4'400))}));

    click(shown.leftover(1));  // the program stays: so does the application
    click(shown.hero()->trashButton());
    ASSERT_NE(shown.view.confirmation(), nullptr);
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.applicationStays",
                                      {isolatedText("Code Editor"), 3, isolatedText(ByteFormatting::string(std::int64_t(500)))}));
    click(shown.view.confirmation()->findChild<QPushButton*>("cancelMove"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.view.confirmation(); }));

    click(shown.leftover(1));
    click(shown.hero()->trashButton());
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.applicationGoes", {isolatedText("Code Editor"), isolatedText(ByteFormatting::string(std::int64_t(4'500)))}));
    click(shown.view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.artifactRemovals.size() == 1; }));
    fixture.fake.artifactRemovals[0]->succeed({"/trash/a", "/trash/b", "/trash/c", "/trash/d"});
    ASSERT_TRUE(waitUntil([&] { return !fixture.state().isRemoving(); }));
    applications.erase(applications.begin() + 1);
    fixture.answerApplications(applications);
    fixture.answerArtifacts({});
    EXPECT_EQ(figures(), (std::vector<QString>{items0, "0", ticked, "0", size, ByteFormatting::string(std::int64_t(0))}));
}

// An application unpacked into a folder of its own goes only with that folder: offered unticked, and
// the question says the application stays unless the folder and the entry are both chosen, and
// then that it goes.
TEST(UninstallerFlow, AnUnpackedApplicationGoesOnlyWithItsFolder) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    std::vector<InstalledApplication> applications = someApplications();
    applications[1].size = 18'000'400;
    const std::vector<AppArtifact> items{
        Fixture::artifact("/home/maya/.local/share/applications/org.example.Editor.desktop", 400, ArtifactCategory::application, false),
        Fixture::artifact("/home/maya/editor", 18'000'000, ArtifactCategory::application, false),
        Fixture::artifact("/home/maya/.config/org.example.Editor", 3'000, ArtifactCategory::preference, false)};
    fixture.listAndSelect(applications, applications[1], items);
    auto question = [&] { return askedToTrash(shown); };
    auto stays = [&](int count, std::int64_t size) {
        return AppLocalization::format("uninstaller.confirm.applicationStays",
                                       {isolatedText("Code Editor"), count, isolatedText(ByteFormatting::string(size))});
    };

    click(shown.leftover(0));  // the entry alone
    EXPECT_EQ(question(), stays(1, 400));
    click(shown.leftover(0));
    click(shown.leftover(1));  // the folder alone
    EXPECT_EQ(question(), stays(1, 18'000'000));
    click(shown.leftover(0));  // the folder and the entry
    EXPECT_EQ(question(), AppLocalization::format("uninstaller.confirm.applicationGoes", {isolatedText("Code Editor"), isolatedText(ByteFormatting::string(std::int64_t(18'000'400)))}));
    click(shown.leftover(2));
    EXPECT_EQ(question(), AppLocalization::format("uninstaller.confirm.applicationGoes", {isolatedText("Code Editor"), isolatedText(ByteFormatting::string(std::int64_t(18'003'400)))}));
}

// An entry whose program is not found starts nothing: the question says only its launcher goes, and
// with a leftover ticked by hand, that no application is removed.
TEST(UninstallerFlow, AnEntryWhoseProgramIsNotFoundIsOnlyALauncher) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    std::vector<InstalledApplication> applications = someApplications();
    applications[1].programNotFound = true;
    std::vector<AppArtifact> items = editorLeftovers();
    items[1].isSelected = false;
    items[2].isSelected = false;
    fixture.listAndSelect(applications, applications[1], items);
    auto question = [&] { return askedToTrash(shown); };
    const auto* notFound = shown.hero()->findChild<TextLabel*>("programNotFound");
    ASSERT_NE(notFound, nullptr);
    EXPECT_EQ(notFound->text(), AppLocalization::string("uninstaller.programNotFound"));
    EXPECT_TRUE(notFound->isVisible());

    EXPECT_EQ(question(), AppLocalization::format("uninstaller.confirm.launcherOnly", {isolatedText("Code Editor"), isolatedText(ByteFormatting::string(std::int64_t(400)))}));
    click(shown.leftover(1));
    EXPECT_EQ(question(), AppLocalization::format("uninstaller.confirm.programNotFound",
                                                  {isolatedText("Code Editor"), 2, isolatedText(ByteFormatting::string(std::int64_t(500)))}));
}

// A Flatpak's or a snap's entry is locked and names the command that removes it.
TEST(ArtifactRow, AStoresEntryNamesTheCommandThatRemovesIt) {
    AppArtifact exported = Fixture::artifact("/home/maya/.local/share/flatpak/exports/share/applications/org.mozilla.Thunderbird.desktop", 30'000'000,
                                             ArtifactCategory::application, false);
    exported.package = "org.mozilla.Thunderbird";
    exported.packageKind = PackageKind::userFlatpak;
    // Kept whole on its line: its spaces and hyphens do not break.
    auto command = [](const ArtifactRow& row) { return row.toolTip().replace(QChar(0x00A0), ' ').replace(QChar(0x2011), '-').toStdString(); };
    ArtifactRow flatpak(exported, QIcon(), 1, [](bool) {});
    ASSERT_NE(flatpak.lockPill(), nullptr);
    EXPECT_EQ(flatpak.lockPill()->text(), "Flatpak");
    EXPECT_NE(command(flatpak).find("\n\u2066flatpak uninstall --user org.mozilla.Thunderbird\u2069"), std::string::npos) << command(flatpak);
    EXPECT_FALSE(flatpak.toolTip().contains("flatpak uninstall"));
    exported.packageKind = PackageKind::snap;
    exported.package = "firefox";
    ArtifactRow snap(exported, QIcon(), 1, [](bool) {});
    EXPECT_NE(command(snap).find("snap remove firefox"), std::string::npos) << command(snap);
}

// What keeps an application or a leftover is said where it is seen: the service that runs the
// program on the card, the other install that uses a leftover on its row, in either language.
TEST(UninstallerFlow, TheServiceAndTheOtherInstallAreNamed) {
    for (const char* language : {"en", "ar"}) {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        Fixture fixture;
        ShownUninstaller shown(fixture.state());
        std::vector<InstalledApplication> applications = someApplications();
        applications[1].staysInstalled = true;
        applications[1].runBy = "syncthing.service";
        std::vector<AppArtifact> items = editorLeftovers();
        for (AppArtifact& item : items) item.isSelected = false;
        items[1].usedBy = "/home/maya/.linuxbrew/bin/nvim";
        items[1].whole = WholeKind::syncFolder;  // one reason is said: the install that uses it
        items[2].whole = WholeKind::repository;
        fixture.listAndSelect(applications, applications[1], items);
        const auto* service = shown.hero()->findChild<TextLabel*>("runByService");
        ASSERT_NE(service, nullptr);
        EXPECT_EQ(service->text(), AppLocalization::format("uninstaller.runByService", {isolatedText("syncthing.service")}));
        EXPECT_TRUE(service->isVisible());
        const Pill* usedBy = shown.leftover(1)->usedByPill();
        ASSERT_NE(usedBy, nullptr);
        EXPECT_EQ(usedBy->text(), AppLocalization::format("uninstaller.usedBy", {isolatedText("nvim")}));
        EXPECT_TRUE(shown.leftover(1)->toolTip().contains(AppLocalization::format("uninstaller.usedBy.detail", {isolatedText("/home/maya/.linuxbrew/bin/nvim")})));
        EXPECT_EQ(shown.leftover(0)->usedByPill(), nullptr);
        EXPECT_EQ(shown.leftover(1)->wholePill(), nullptr);
        // The user's own work says which whole it is, or, as a link, leads into.
        const QString repository = AppLocalization::string("cleanup.whole.repository");
        for (const bool linked : {false, true}) {
            items[2].leadsIntoWhole = linked;
            items[2].id = Uuid::random();  // a new listing, as every listing is
            fixture.listAndSelect(applications, applications[1], items);
            const Pill* whole = shown.leftover(2)->wholePill();
            ASSERT_NE(whole, nullptr);
            EXPECT_EQ(whole->text(), AppLocalization::format(linked ? "uninstaller.whole.linked" : "uninstaller.whole", {repository}));
            EXPECT_TRUE(shown.leftover(2)->toolTip().contains(
                AppLocalization::format(linked ? "uninstaller.whole.linked.detail" : "uninstaller.whole.detail", {repository})));
        }
        // The crontab and a shell's startup file are said as what they are.
        const std::pair<RunnerKind, QString> others[]{
            {RunnerKind::crontab, AppLocalization::format("uninstaller.runByCrontab", {isolatedText(QStringLiteral("crontab\u00A0\u2011e"))})},
            {RunnerKind::shellStartup, AppLocalization::format("uninstaller.runByShell", {isolatedText(".bashrc")})}};
        for (std::size_t index = 0; index < std::size(others); ++index) {
            const auto& [kind, text] = others[index];
            InstalledApplication& application = applications[index == 0 ? 0 : 3];
            application.runBy = kind == RunnerKind::crontab ? "/usr/bin/crontab" : "/home/maya/.bashrc";
            application.runByKind = kind;
            fixture.listAndSelect(applications, application, items);
            const auto* runner = shown.hero()->findChild<TextLabel*>("runByService");
            ASSERT_NE(runner, nullptr);
            EXPECT_EQ(runner->text(), text);
        }
        SettingsStore::shared().remove("appLanguage");
    }
}

// A dotfiles repository that keeps a leftover is named on its row, the home written short, or said to
// be unread; another build is named by its application's name, its entry's path in the tooltip.
TEST(ArtifactRow, TheDotfilesRepositoryAndTheOtherBuildAreNamed) {
    for (const char* language : {"en", "ar"}) {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(language));
        AppArtifact settings = Fixture::artifact(QDir::homePath().toStdString() + "/.config/FreeCAD", 9'000, ArtifactCategory::preference, false);
        settings.keptInDotfiles = QDir::homePath().toStdString() + "/.dotfiles";
        const ArtifactRow kept(settings, QIcon(), 1, [](bool) {});
        ASSERT_NE(kept.dotfilesPill(), nullptr);
        EXPECT_EQ(kept.dotfilesPill()->text(), AppLocalization::format("uninstaller.dotfiles", {DisplayText::path(QStringLiteral("~/.dotfiles"))}));
        EXPECT_TRUE(kept.toolTip().contains(AppLocalization::format("uninstaller.dotfiles.detail", {DisplayText::path(QStringLiteral("~/.dotfiles"))})));
        EXPECT_EQ(kept.wholePill(), nullptr);
        // A long one is shortened on the pill, whole in the tooltip.
        settings.keptInDotfiles = QDir::homePath().toStdString() + "/.local/share/yadm/repo.git";
        const ArtifactRow yadm(settings, QIcon(), 1, [](bool) {});
        EXPECT_EQ(yadm.dotfilesPill()->text(), AppLocalization::format("uninstaller.dotfiles", {DisplayText::path(QStringLiteral("~/\u2026/yadm/repo.git"))}));
        EXPECT_TRUE(yadm.toolTip().contains(AppLocalization::format("uninstaller.dotfiles.detail", {DisplayText::path(QStringLiteral("~/.local/share/yadm/repo.git"))})));
        // Two names long, it is whole on the pill too.
        settings.keptInDotfiles = QDir::homePath().toStdString() + "/.config/vcsh-repositories.git";
        const ArtifactRow vcsh(settings, QIcon(), 1, [](bool) {});
        EXPECT_EQ(vcsh.dotfilesPill()->text(), AppLocalization::format("uninstaller.dotfiles", {DisplayText::path(QStringLiteral("~/.config/vcsh-repositories.git"))}));
        settings.dotfilesUnread = true;
        settings.keptInDotfiles = "/srv/dotfiles.git";
        const ArtifactRow unread(settings, QIcon(), 1, [](bool) {});
        ASSERT_NE(unread.dotfilesPill(), nullptr);
        EXPECT_EQ(unread.dotfilesPill()->text(), AppLocalization::format("uninstaller.dotfiles.unread", {DisplayText::path(QStringLiteral("/srv/dotfiles.git"))}));
        EXPECT_TRUE(unread.toolTip().contains(AppLocalization::format("uninstaller.dotfiles.unread.detail", {DisplayText::path(QStringLiteral("/srv/dotfiles.git"))})));
        // Used by another build too: that is the pill, and both reasons are in the tooltip.
        settings.usedBy = "/home/maya/.local/share/applications/freecad-weekly.desktop";
        settings.usedByName = "FreeCAD Weekly";
        const ArtifactRow both(settings, QIcon(), 1, [](bool) {});
        ASSERT_NE(both.usedByPill(), nullptr);
        EXPECT_EQ(both.usedByPill()->text(), AppLocalization::format("uninstaller.usedBy", {isolatedText("FreeCAD Weekly")}));
        EXPECT_EQ(both.dotfilesPill(), nullptr);
        EXPECT_TRUE(both.toolTip().contains(AppLocalization::format("uninstaller.usedBy.detail", {isolatedText(QString::fromStdString(settings.usedBy))})));
        EXPECT_TRUE(both.toolTip().contains(AppLocalization::format("uninstaller.dotfiles.unread.detail", {DisplayText::path(QStringLiteral("/srv/dotfiles.git"))})));
        SettingsStore::shared().remove("appLanguage");
    }
}

TEST(UninstallerFlow, TheResultAlertEndsTheMessageHoweverItCloses) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication editor = someApplications()[1];
    fixture.listAndSelect(someApplications(), editor, editorLeftovers());

    click(shown.hero()->trashButton());
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.detail", {isolatedText(ByteFormatting::string(std::int64_t(500)))}));
    click(shown.view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.artifactRemovals.size() == 1; }));
    fixture.fake.artifactRemovals[0]->succeed({"/trash/a", "/trash/b", "/trash/c"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.view.resultAlert() && shown.view.resultAlert()->isVisible(); }));
    EXPECT_EQ(shown.view.resultAlert()->text(), AppLocalization::format("uninstaller.movedCount", {3}));
    EXPECT_EQ(shown.view.resultAlert()->windowTitle(), AppLocalization::string("uninstaller.result"));
    QTest::keyClick(shown.view.resultAlert(), Qt::Key_Escape);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.view.resultAlert(); }));
    EXPECT_FALSE(fixture.state().uninstallMessage());

    fixture.state().setUninstallMessage(QString("<b>markup</b> stays text"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.view.resultAlert() && shown.view.resultAlert()->isVisible(); }));
    EXPECT_EQ(shown.view.resultAlert()->textFormat(), Qt::PlainText);
    shown.view.resultAlert()->close();  // the window's close button
    ASSERT_TRUE(QTest::qWaitFor([&] { return !shown.view.resultAlert(); }));
    EXPECT_FALSE(fixture.state().uninstallMessage());

    fixture.state().setUninstallMessage(QString("again"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.view.resultAlert() && shown.view.resultAlert()->isVisible(); }));
    click(qobject_cast<QPushButton*>(shown.view.resultAlert()->buttons().value(0)));
    EXPECT_FALSE(fixture.state().uninstallMessage());
}

TEST(UninstallerFlow, APackagedApplicationIsLockedAndAPartialMoveNamesWhatFailed) {
    Fixture fixture;
    ShownUninstaller shown(fixture.state());
    const InstalledApplication calculator = someApplications()[0];
    AppArtifact entry = Fixture::artifact("/usr/share/applications/org.gnome.Calculator.desktop", 4'200'000, ArtifactCategory::application, false);
    entry.package = "gnome-calculator";
    fixture.listAndSelect(someApplications(), calculator,
                          {entry, Fixture::artifact("/home/maya/.config/gnome-calculator", 8'000, ArtifactCategory::preference),
                           Fixture::artifact("/home/maya/.cache/gnome-calculator", 4'000, ArtifactCategory::cache)});
    // Locked: no tick by a click on the row or its box, a pill naming the package manager, and its
    // size in no selected total.
    ArtifactRow* locked = shown.leftover(0);
    click(locked);
    click(locked->checkBox());
    EXPECT_FALSE(locked->isTicked());
    EXPECT_FALSE(locked->checkBox()->isEnabled());
    EXPECT_FALSE(locked->checkBox()->isChecked());
    ASSERT_NE(locked->lockPill(), nullptr);
    EXPECT_EQ(locked->lockPill()->text(), AppLocalization::string("uninstaller.packageManaged"));
    EXPECT_TRUE(locked->toolTip().contains("gnome-calculator")) << locked->toolTip().toStdString();
    EXPECT_EQ(shown.leftover(1)->lockPill(), nullptr);
    EXPECT_EQ(shown.hero()->selectedSizeValue()->valueLabel()->text(), ValueAndUnit::split(ByteFormatting::string(std::int64_t(12'000))).value);

    click(shown.hero()->trashButton());
    EXPECT_EQ(shown.view.confirmation()->informativeText(),
              AppLocalization::format("uninstaller.confirm.applicationStays",
                                      {isolatedText("Calculator"), 2, isolatedText(ByteFormatting::string(std::int64_t(12'000)))}));
    click(shown.view.confirmation()->findChild<QPushButton*>("confirmMove"));
    ASSERT_TRUE(waitUntil([&] { return fixture.fake.artifactRemovals.size() == 1; }));
    EXPECT_EQ(tickedPaths(fixture.fake.artifactRemovals[0]->artifacts).size(), 2u);
    const UninstallError partial({TrashError(TrashError::Reason::moveFailed, "/home/maya/.cache/gnome-calculator", EACCES)}, {"/trash/gnome-calculator"});
    fixture.fake.artifactRemovals[0]->fail(partial);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.view.resultAlert() && shown.view.resultAlert()->isVisible(); }));
    const QString shownText = shown.view.resultAlert()->text();
    EXPECT_EQ(shownText, errorDescription(std::make_exception_ptr(partial)));
    // What went leads the message, then what failed.
    EXPECT_TRUE(shownText.startsWith(AppLocalization::format("uninstaller.movedCount", {1}) + "\n")) << shownText.toStdString();
    EXPECT_TRUE(shownText.contains("gnome-calculator")) << shownText.toStdString();
}

TEST(ArtifactRow, ALockedRowAsksForNoTickWhateverReachesItAndAnOpenOneAsksForTheFlip) {
    std::vector<bool> asked;
    AppArtifact packaged = Fixture::artifact("/usr/share/applications/org.gnome.Calculator.desktop", 4'200'000, ArtifactCategory::application, false);
    packaged.package = "gnome-calculator";
    ArtifactRow locked(packaged, QIcon(), 1, [&](bool on) { asked.push_back(on); });
    locked.resize(600, 60);
    locked.show();
    // The row on its own, with no state behind it to refuse: a click on the row, and a click on its
    // box even if the box were enabled, ask for nothing.
    click(&locked);
    locked.checkBox()->setEnabled(true);
    locked.checkBox()->show();
    click(locked.checkBox());
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(locked.checkBox()->isChecked());

    ArtifactRow open(Fixture::artifact("/home/maya/.cache/gnome-calculator", 4'000, ArtifactCategory::cache), QIcon(), 1,
                     [&](bool on) { asked.push_back(on); });
    open.resize(600, 60);
    open.show();
    click(&open);
    click(open.checkBox());
    // Both ask to untick (the row stays ticked until its owner says otherwise), the box showing the row's tick.
    EXPECT_EQ(asked, (std::vector<bool>{false, false}));
    EXPECT_TRUE(open.checkBox()->isChecked());
}
