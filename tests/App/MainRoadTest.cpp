#include "App/RootView.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Storage/StorageView.h"
#include "ViewSupport/ScanFixture.h"

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
