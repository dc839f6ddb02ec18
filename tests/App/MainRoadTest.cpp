#include "App/RootView.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Storage/StorageView.h"
#include "ViewSupport/ScanFixture.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

// As a new user: past onboarding, the overview's scan prompt switches to the storage section,
// shows the scan's progress and then its results with the map, list and inspector.
TEST(MainRoad, ScanFromTheOverviewToTheStorageResults) {
    SettingsStore::shared().setValue("didCompleteOnboarding", true);
    ScanFixture tree;
    AppState state(tree.services());
    state.setScanRoot(tree.root());
    {
        RootView root(state);
        root.resize(1320, 880);
        root.show();
        ASSERT_NE(root.findChild<OverviewView*>(), nullptr);
        *tree.holdScans = true;
        auto* prompt = root.findChild<StyledButton*>("promptScan");
        ASSERT_NE(prompt, nullptr);
        QTest::mouseClick(prompt, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return root.findChild<StorageView*>() != nullptr; }, 2000));
        StorageView* storage = root.findChild<StorageView*>();
        EXPECT_TRUE(QTest::qWaitFor([&] { return storage->body() == StorageView::Body::scanning; }, 2000));
        *tree.holdScans = false;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && storage->body() == StorageView::Body::results; }, 10000));
        EXPECT_EQ(storage->folderRows().size(), 10u);
        EXPECT_NE(storage->inspector(), nullptr);
    }
    SettingsStore::shared().remove("didCompleteOnboarding");
}

// A scan that fails while another section is shown (the scan command works everywhere) is told
// when the user opens the storage section, once: a dismissed error does not come back, a new one does.
TEST(MainRoad, AScanErrorIsShownOnComingToTheStorageSection) {
    SettingsStore::shared().setValue("didCompleteOnboarding", true);
    ScanFixture tree;
    AppState state(tree.services());
    state.setScanRoot(tree.root() / "Gone");  // chosen, then removed
    {
        RootView root(state);
        root.resize(1320, 880);
        root.show();
        ASSERT_NE(root.findChild<OverviewView*>(), nullptr);
        state.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && state.scanError(); }, 10000));
        EXPECT_EQ(root.findChild<QMessageBox*>(), nullptr);  // nothing on the overview says it

        auto alert = [&] { return root.findChild<StorageView*>() ? root.findChild<StorageView*>()->findChild<QMessageBox*>() : nullptr; };
        state.setSelectedSection(AppSection::storage);
        ASSERT_TRUE(QTest::qWaitFor([&] { return alert() != nullptr && alert()->isVisible(); }, 2000));
        EXPECT_TRUE(alert()->text().contains("Gone"));
        alert()->buttons().front()->click();
        EXPECT_FALSE(state.scanError().has_value());

        state.setSelectedSection(AppSection::overview);
        state.setSelectedSection(AppSection::storage);
        ASSERT_TRUE(QTest::qWaitFor([&] { return root.findChild<StorageView*>() && root.findChild<StorageView*>()->isVisible(); }, 2000));
        QCoreApplication::processEvents();
        EXPECT_EQ(alert(), nullptr);

        state.setSelectedSection(AppSection::overview);
        state.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && state.scanError(); }, 10000));
        state.setSelectedSection(AppSection::storage);
        ASSERT_TRUE(QTest::qWaitFor([&] { return alert() != nullptr && alert()->isVisible(); }, 2000));
        alert()->buttons().front()->click();

        // The same with the window closed to the tray while the storage section stays chosen.
        root.hide();
        state.startScan();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning() && state.scanError(); }, 10000));
        QCoreApplication::processEvents();
        EXPECT_EQ(alert(), nullptr);
        root.show();
        ASSERT_TRUE(QTest::qWaitFor([&] { return alert() != nullptr && alert()->isVisible(); }, 2000));
        alert()->buttons().front()->click();
    }
    SettingsStore::shared().remove("didCompleteOnboarding");
}
