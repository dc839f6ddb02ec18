#include "Platform/SettingsStore.h"
#include "Views/DesignSystem/Appearance.h"
#include "Views/DesignSystem/DS.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using Preference = DesktopColorScheme::Preference;

QColor rgba(int r, int g, int b, double a) { return QColor::fromRgbF(float(r / 255.0), float(g / 255.0), float(b / 255.0), float(a)); }

bool sameColor(const QColor& a, const QColor& b) {
    return a.red() == b.red() && a.green() == b.green() && a.blue() == b.blue() && std::abs(a.alphaF() - b.alphaF()) < 0.002;
}

class CountingWidget : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

class AppearanceTest : public ::testing::Test {
protected:
    void TearDown() override { SettingsStore::shared().remove("appAppearance"); }
};

}  // namespace

// Opacity multiplies a translucent token's own alpha (a pressed soft button's track), capped at opaque.
TEST(DesignTokens, OpacityMultipliesTheTokensOwnAlpha) {
    EXPECT_TRUE(sameColor(DS::track.resolved(false, 1.6), rgba(0, 0, 0, 0.112)));
    EXPECT_TRUE(sameColor(DS::track.resolved(true, 1.6), rgba(255, 255, 255, 0.128)));
    EXPECT_EQ(DS::blue.resolved(false, 3).alphaF(), 1.0f);
}

TEST(DesignTokens, AppearanceRule) {
    // A stored choice forces the look; "system" and anything unknown follow the desktop, then the palette.
    EXPECT_TRUE(Appearance::resolvesDark("dark", Preference::light, false));
    EXPECT_FALSE(Appearance::resolvesDark("light", Preference::dark, true));
    EXPECT_TRUE(Appearance::resolvesDark("system", Preference::dark, false));
    EXPECT_FALSE(Appearance::resolvesDark("system", Preference::light, true));
    EXPECT_TRUE(Appearance::resolvesDark("system", Preference::none, true));
    EXPECT_FALSE(Appearance::resolvesDark("", Preference::none, false));
    EXPECT_TRUE(Appearance::resolvesDark("Dark", Preference::dark, false));  // not a stored value: follows the desktop
    EXPECT_FALSE(Appearance::resolvesDark("Dark", Preference::none, false));
}

TEST_F(AppearanceTest, OneTokenFollowsTheStoredAppearanceAndEveryWidgetRepaints) {
    Appearance& appearance = Appearance::shared();
    appearance.install();
    SettingsStore::shared().setValue("appAppearance", "light");
    ASSERT_FALSE(appearance.isDark());
    const DynamicColor token = DS::card;
    EXPECT_TRUE(sameColor(token.resolved(), rgba(0xFF, 0xFF, 0xFF, 1)));

    CountingWidget widget;
    widget.setAttribute(Qt::WA_DontShowOnScreen);
    widget.resize(40, 40);
    widget.show();
    QApplication::processEvents();
    const int paintsBefore = widget.paints;

    QSignalSpy changed(&appearance, &Appearance::changed);
    SettingsStore::shared().setValue("appAppearance", "dark");
    EXPECT_TRUE(appearance.isDark());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(sameColor(token.resolved(), rgba(0x1C, 0x1C, 0x1F, 1)));
    // The standard widgets' palette follows along.
    EXPECT_TRUE(sameColor(QApplication::palette().color(QPalette::Window), rgba(0x14, 0x14, 0x16, 1)));
    QApplication::processEvents();
    EXPECT_GT(widget.paints, paintsBefore);

    // Writing the same look again changes nothing.
    SettingsStore::shared().setValue("appAppearance", "dark");
    EXPECT_EQ(changed.count(), 1);
    SettingsStore::shared().setValue("appAppearance", "light");
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(sameColor(QApplication::palette().color(QPalette::Window), rgba(0xF2, 0xF2, 0xF5, 1)));
}
