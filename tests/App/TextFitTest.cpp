// At the default window sizes nothing the user needs to read is cut, in English or in Arabic.
#include "App/RootView.h"
#include "Foundation/PathText.h"
#include "Platform/SettingsStore.h"
#include "Services/AppState.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Shell/SettingsView.h"
#include "ViewSupport/ScanFixture.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TextFit : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SettingsStore::shared().setValue("appLanguage", QString::fromLatin1(GetParam()));
        SettingsStore::shared().setValue("didCompleteOnboarding", true);
        QApplication::setLayoutDirection(QString::fromLatin1(GetParam()) == "ar" ? Qt::RightToLeft : Qt::LeftToRight);
        state.setScanRoot(tree.root());
    }
    void TearDown() override {
        for (const char* key : {"appLanguage", "didCompleteOnboarding"}) SettingsStore::shared().remove(key);
        QApplication::setLayoutDirection(Qt::LeftToRight);
    }

    // The texts of the visible labels that are elided, leaving out paths, which elide in the middle by design.
    QStringList cutTexts(QWidget& window, QSize size) const {
        window.resize(size);
        window.show();
        QApplication::processEvents();
        const QString root = PathText::display(tree.root());
        QStringList cut;
        for (const TextLabel* label : window.findChildren<TextLabel*>())
            if (label->isVisible() && label->isCut() && !label->text().startsWith(root)) cut << label->text();
        return cut;
    }

    ScanFixture tree;
    AppState state{tree.services()};
};

}  // namespace

TEST_P(TextFit, TheMainWindowAndTheSettingsWindowShowEveryTextWhole) {
    state.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !state.isScanning(); }, 10000));
    for (AppSection section : {AppSection::overview, AppSection::storage}) {
        state.setSelectedSection(section);
        RootView root(state);
        EXPECT_EQ(cutTexts(root, QSize(1320, 880)).join(" | ").toStdString(), "") << rawText(section).toStdString();
    }
    SettingsView settings(state);
    EXPECT_EQ(cutTexts(settings, QSize(620, 620)).join(" | ").toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, TextFit, ::testing::Values("en", "ar"));
