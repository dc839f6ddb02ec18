// At the default window sizes nothing the user needs to read is cut, in English or in Arabic: every
// section with its tabs, tools and map modes, onboarding, the settings window and every dialog, over
// the state of a user who has been through all of them. Names of the user's own things (folders,
// files, applications, versions) may lose their end where a row gives them one line; every text of
// the interface is whole, every figure stands at its full size.
#include "App/RootView.h"
#include "Models/AppLocalization.h"
#include "Services/Preferences.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Services/SystemMonitor.h"
#include "Views/Common/FileActionAlerts.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Projects/ProjectStopConfirmation.h"
#include "Views/Shell/OnboardingView.h"
#include "Views/Shell/SettingsView.h"
#include "Views/Tools/ToolsTrashConfirmation.h"
#include "Views/Tools/ToolsView.h"
#include "Views/Uninstaller/UninstallerView.h"
#include "ViewSupport/Settling.h"
#include "ViewSupport/LivedInState.h"
#include "ViewSupport/TextFitCheck.h"
#include "ViewSupport/WindowViews.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TextFit : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(GetParam()));
        QApplication::setLayoutDirection(QString::fromLatin1(GetParam()) == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
    }
    void TearDown() override {
        for (const char* key : {"appLanguage", "didCompleteOnboarding"}) SettingsStore::shared().remove(key);
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }

    // The faults of `window` that are not a user's own name cut at its end.
    QStringList faults(const QWidget& window) const {
        QStringList left;
        for (const QString& fault : TextFitCheck::faults(window))
            if (!std::any_of(userNames.begin(), userNames.end(), [&](const QString& name) { return fault.contains('"' + name.left(60) + '"'); }))
                left << fault;
        return left;
    }

    static std::string report(const QStringList& faults) { return faults.join("\n").toStdString(); }

    // The dialog a step opened, shown and laid out.
    static QMessageBox* openDialog() {
        QApplication::processEvents();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) return box;
        return nullptr;
    }

    LivedInState world;
    const std::vector<QString> userNames = world.userNames();
};

}  // namespace

TEST_P(TextFit, EverySectionOfTheMainWindowShowsItsTextsWhole) {
    Preferences::setFlag(Preferences::Key::didCompleteOnboarding, true);
    for (const WindowViews::View& view : WindowViews::all()) {
        world.state().setSelectedSection(view.section);
        RootView root(world.state());
        WindowViews::show(root, view);
        EXPECT_EQ(report(faults(root)), "") << view.name.toStdString();
    }
}

TEST_P(TextFit, OnboardingAndTheSettingsWindowKeepTheirSizeAndShowEveryTextWhole) {
    Preferences::setFlag(Preferences::Key::didCompleteOnboarding, false);
    RootView root(world.state());
    root.resize(WindowViews::defaultWidth, WindowViews::defaultHeight);
    root.show();
    for (int page = 0; page < OnboardingView::pageCount; ++page) {
        ASSERT_TRUE(Settling::waitUntilStill(root));  // the page's fade in ends
        EXPECT_EQ(root.onboarding()->size(), QSize(790, 560)) << "page " << page;
        EXPECT_EQ(report(faults(root)), "") << "page " << page;
        root.onboarding()->goForward();
    }

    SettingsView settings(world.state());
    settings.resize(620, 620);
    settings.show();
    QApplication::processEvents();
    EXPECT_EQ(report(faults(settings)), "");
    EXPECT_EQ(settings.menuBarPicker()->width(), 280);
}

// Each setting's description wraps onto as many lines as it needs and is never cut, in the settings
// window and in the settings section of the main window.
TEST_P(TextFit, SettingDescriptionsAreWhole) {
    const char* keys[] = {"settings.language.detail", "settings.appearance.detail", "settings.menuBar.detail",
                          "settings.hidden.detail",   "settings.fullDisk.detail",   "settings.localOnly.detail"};
    for (const QSize size : {QSize(620, 620), QSize(WindowViews::defaultWidth, WindowViews::defaultHeight)}) {
        SettingsView settings(world.state());
        settings.resize(size);
        settings.show();
        QApplication::processEvents();
        const QList<TextLabel*> labels = settings.findChildren<TextLabel*>();
        for (const char* key : keys) {
            const QString text = AppLocalization::string(key);
            auto label = std::find_if(labels.begin(), labels.end(), [&](TextLabel* candidate) { return candidate->text() == text; });
            ASSERT_NE(label, labels.end()) << key;
            EXPECT_FALSE((*label)->isCut()) << key << " at " << size.width();
            EXPECT_GE((*label)->height(), (*label)->heightForWidth((*label)->width())) << key << " at " << size.width();
        }
        EXPECT_EQ(report(faults(settings)), "") << size.width();
    }
}

TEST_P(TextFit, EveryDialogShowsItsTextsWhole) {
    Preferences::setFlag(Preferences::Key::didCompleteOnboarding, true);
    AppState& state = world.state();
    auto check = [&](const char* what, const std::function<void(RootView&)>& open) {
        RootView root(state);
        root.resize(WindowViews::defaultWidth, WindowViews::defaultHeight);
        root.show();
        QApplication::processEvents();
        open(root);
        QMessageBox* dialog = openDialog();
        ASSERT_NE(dialog, nullptr) << what;
        EXPECT_EQ(report(faults(*dialog)), "") << what;
        dialog->reject();
        QApplication::processEvents();
    };

    state.setSelectedSection(AppSection::tools);
    check("the tools' trash confirmation", [](RootView& root) { confirmTrash(root.screen(), {9'800'000'000, 2'400'000'000, true}, [] {}); });
    check("the tools' message", [&](RootView&) { state.setToolMessage(AppLocalization::format("tools.movedCount", {12})); });
    state.setSelectedSection(AppSection::uninstaller);
    check("the uninstaller's confirmation", [](RootView& root) { qobject_cast<UninstallerView*>(root.screen())->askToTrash(); });
    check("the uninstaller's result", [&](RootView&) { state.setUninstallMessage(AppLocalization::format("uninstaller.movedCount", {6})); });
    check("a file that could not be opened", [](RootView&) {
        emit FileActionAlerts::shared().failed(AppLocalization::format("action.openFailed", {QStringLiteral("report.pdf")}));
    });
    state.setSelectedSection(AppSection::monitor);
    check("the project stop confirmation", [&](RootView& root) {
        auto* confirmation = root.screen()->findChild<ProjectStopConfirmation*>();
        ASSERT_NE(confirmation, nullptr);
        confirmation->request(world.monitor().projects());
    });
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit, ::testing::Values("en", "ar"));
