#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DotView.h"
#include "Views/DesignSystem/FocusRing.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "ViewSupport/ImageMatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Shows a widget offscreen at a given size, in a given direction, with its layout settled.
void present(QWidget& widget, QSize size, Qt::LayoutDirection direction = Qt::LeftToRight) {
    widget.setLayoutDirection(direction);
    widget.setAttribute(Qt::WA_DontShowOnScreen);
    widget.resize(size);
    widget.show();
    QApplication::processEvents();
}

QRect placed(const QWidget* child, const QWidget* in) { return QRect(child->mapTo(in, QPoint(0, 0)), child->size()); }

std::vector<TabItem> modes() {
    return {{"blocks", "Blocks", "square.grid.2x2.fill", DS::amber}, {"folders", "Folders", "folder", DS::amber}, {"threeD", "3D", "cube", DS::amber}};
}

std::vector<QAbstractButton*> tabsOf(PillTabBar& bar) {
    std::vector<QAbstractButton*> tabs;
    for (QAbstractButton* tab : bar.findChildren<QAbstractButton*>()) tabs.push_back(tab);
    return tabs;
}

}  // namespace

TEST(CardHeader, ChevronOnlyWithAnActionAndMirroredInRightToLeft) {
    CardHeader plain("Storage", "internaldrive", DS::amber);
    present(plain, {400, 40});
    EXPECT_FALSE(plain.chevron()->isVisible());

    int runs = 0;
    CardHeader header("Storage", "internaldrive", DS::amber, [&runs] { ++runs; });
    present(header, {400, 40});
    ASSERT_TRUE(header.chevron()->isVisible());
    EXPECT_EQ(header.chevron()->size(), QSize(24, 24));
    // Anywhere in the 24-by-24 square runs the action, once.
    QTest::mouseClick(header.chevron(), Qt::LeftButton, {}, QPoint(2, 21));
    EXPECT_EQ(runs, 1);

    // Right to left: the chevron sits at the left end and points left.
    const QImage leftToRight = header.chevron()->grab().toImage();
    header.setLayoutDirection(Qt::RightToLeft);
    QApplication::processEvents();
    EXPECT_LT(header.chevron()->x(), 40);
    EXPECT_LT(imageDifference(header.chevron()->grab().toImage(), leftToRight.mirrored(true, false)), 0.1);
    EXPECT_GT(imageDifference(leftToRight, leftToRight.mirrored(true, false)), 0.5);
}

TEST(HeroValue, NumberKeepsItsUnitOnTheRightInEveryLanguage) {
    HeroValue hero("Used", "412.6", "GB", 40);
    present(hero, {500, 100}, Qt::RightToLeft);
    const QRect value = placed(hero.valueLabel(), &hero), unit = placed(hero.unitLabel(), &hero);
    EXPECT_LT(value.left(), unit.left());
    // …while the figure as a whole stands at the leading edge, the right.
    EXPECT_GT(unit.right(), 480);

    // Without a caption the value row comes first, with no empty line above it.
    HeroValue bare({}, "7", {}, 40);
    present(bare, {300, bare.sizeHint().height()});
    EXPECT_EQ(bare.valueLabel()->mapTo(&bare, QPoint(0, 0)).y(), 0);
    EXPECT_FALSE(bare.unitLabel()->isVisible());
    EXPECT_EQ(bare.sizeHint().height(), bare.valueLabel()->sizeHint().height());
}

namespace {

// The lowest row of `area` that holds ink: the painted baseline of a text without descenders.
int inkBottom(const QImage& image, const QRect& area) {
    const QColor ground = image.pixelColor(area.topLeft());
    for (int y = area.bottom(); y >= area.top(); --y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.lightness() - ground.lightness()) > 96) return y;
        }
    return -1;
}

}  // namespace

// Arabic-Indic digits come from a fallback font taller than the interface font: the unit still sits
// on the digits' baseline, not on the bottom of their taller box.
TEST(HeroValue, FigureAndUnitSitOnOneBaselineInEnglishAndArabic) {
    struct Case {
        QString value, unit;
        qreal size;
    };
    for (const Case& shown : {Case{"412", "GB", 40}, Case{"٤١٢", "GB", 40}, Case{"٢٣", "%", 56}, Case{"٢٣", "ميجابايت", 34}}) {
        HeroValue hero({}, shown.value, shown.unit, shown.size);
        present(hero, {600, hero.sizeHint().height()}, shown.value.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
        const QRect value = placed(hero.valueLabel(), &hero), unit = placed(hero.unitLabel(), &hero);
        const qreal valueBaseline = value.top() + hero.valueLabel()->baselineAt(value.height());
        const qreal unitBaseline = unit.top() + hero.unitLabel()->baselineAt(unit.height());
        EXPECT_NEAR(valueBaseline, unitBaseline, 1) << shown.value.toStdString() << " " << shown.unit.toStdString();
        // As painted: digits and a unit without descenders end on the same row.
        if (shown.unit == "GB") {
            const QImage image = hero.grab().toImage();
            EXPECT_NEAR(inkBottom(image, value), inkBottom(image, unit), 1) << shown.value.toStdString();
        }
        // Nothing is cut: the taller of the two sets the height.
        EXPECT_LE(value.bottom(), hero.height() - 1);
        EXPECT_LE(unit.bottom(), hero.height() - 1);
    }
}

TEST(TextLabel, ShrinksThenElides) {
    TextLabel value("123,456,789.01 MB", Fonts::system(28, QFont::Bold));
    value.setMinimumScaleFactor(0.6);
    const qreal natural = value.sizeHint().width();
    const auto roomy = value.fit(natural + 1);
    EXPECT_EQ(roomy.scale, 1);
    EXPECT_EQ(roomy.text, value.text());
    const auto squeezed = value.fit(natural * 0.7);
    EXPECT_NEAR(squeezed.scale, 0.7, 0.02);
    EXPECT_EQ(squeezed.text, value.text());
    const auto tight = value.fit(natural * 0.4);
    EXPECT_DOUBLE_EQ(tight.scale, 0.6);
    EXPECT_TRUE(tight.text.endsWith(QChar(0x2026)));

    // A path elides in the middle, keeping both ends.
    TextLabel path("/home/avery/Videos/Projects/2024/Holiday in the mountains/Exports/final.mov", Fonts::system(13));
    path.setElideMode(Qt::ElideMiddle);
    const auto shown = path.fit(180);
    EXPECT_TRUE(shown.text.startsWith("/home")) << shown.text.toStdString();
    EXPECT_TRUE(shown.text.endsWith("final.mov")) << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(QChar(0x2026)));
}

TEST(Banner, LongDetailWrapsInsteadOfTruncating) {
    Banner banner("sparkles", "Clean up", QString("Caches, logs and old installers take 8.4 GB. ").repeated(4), DS::teal);
    const int wide = banner.heightForWidth(2400), narrow = banner.heightForWidth(500);
    EXPECT_GT(narrow, wide);
    present(banner, {500, narrow});
    const auto labels = banner.findChildren<TextLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_GT(labels[1]->height(), 2 * labels[0]->height());
}

TEST(CardModifier, WrappedTextGetsItsFullHeightAndContentStaysAtTheTop) {
    CardModifier card(24, 18);
    auto* label = new TextLabel(QString("Scans stay on this computer and nothing is sent anywhere. ").repeated(4), Fonts::system(14));
    label->setWordWrap(true);
    card.contentLayout()->addWidget(label);
    present(card, {280, 600});
    EXPECT_EQ(placed(label, &card).topLeft(), QPoint(24, 24));
    EXPECT_GE(label->height(), label->heightForWidth(280 - 48));
}

TEST(CardModifier, StretchInTheContentStillPushesTheRestToTheBottom) {
    CardModifier card(20, 18);
    auto* top = new TextLabel("Top", Fonts::system(14));
    auto* bottom = new TextLabel("Bottom", Fonts::system(14));
    card.contentLayout()->addWidget(top);
    card.contentLayout()->addStretch(1);
    card.contentLayout()->addWidget(bottom);
    present(card, {300, 400});
    EXPECT_EQ(placed(top, &card).top(), 20);
    EXPECT_EQ(placed(bottom, &card).bottom(), 400 - 20 - 1);
}

TEST(Pill, WithoutSymbolKeepsPaddingAndShape) {
    Pill plain("Review", {}, DS::amber), marked("Review", "checkmark", DS::amber);
    EXPECT_EQ(plain.sizeHint().height(), marked.sizeHint().height());
    EXPECT_GT(marked.sizeHint().width(), plain.sizeHint().width() + 5);
    EXPECT_GE(plain.sizeHint().width(), QFontMetrics(Fonts::system(13, QFont::DemiBold)).horizontalAdvance("Review") + 20);
}

TEST(StatColumns, DotsOnlyWhereGivenAndNothingForNoItems) {
    StatColumns none(std::vector<StatItem>{});
    EXPECT_TRUE(none.findChildren<TextLabel*>().isEmpty());
    StatColumns columns({{"Used", "412 GB", DS::amber}, {"Files", "1,204", std::nullopt}});
    EXPECT_EQ(columns.findChildren<DotView*>().size(), 1);
    present(columns, {400, 60});
    // Columns share the width equally.
    const auto labels = columns.findChildren<TextLabel*>();
    ASSERT_EQ(labels.size(), 4);
    EXPECT_NEAR(labels[2]->parentWidget()->x(), 206, 2);
}

TEST(Tiles, MinimumHeightAndRankedRowPictures) {
    // At least 120 high in a layout that offers less, and never lower than its content.
    QWidget row;
    auto* layout = new QVBoxLayout(&row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* tile = new StatTile("Uptime", "clock", DS::green, "3 d");
    layout->addWidget(tile);
    present(row, {200, 40});
    EXPECT_EQ(tile->height(), 120);
    auto* tall = new StatTile("Uptime", "clock", DS::green, "3 d", new StatTile("Footer", "clock", DS::green, "1"));
    layout->addWidget(tall);
    present(row, {200, 40});
    EXPECT_GE(tall->height(), tall->layout()->minimumSize().height());
    EXPECT_GT(tall->height(), 120);

    RankedRow noPicture({}, {}, "code", "/usr/share/code", "1 GB", 0.1, DS::gray);
    EXPECT_FALSE(noPicture.showsIcon());
    RankedRow both(QApplication::style()->standardIcon(QStyle::SP_DirIcon), "folder", "Docs", "/home/a/Docs", "1 GB", 1, DS::blue);
    EXPECT_TRUE(both.showsIcon());

    // Highlighting changes the background only, never the size.
    const QSize before = both.sizeHint();
    both.setHighlighted(true);
    EXPECT_EQ(both.sizeHint(), before);

    QSignalSpy clicked(&both, &RankedRow::clicked), doubled(&both, &RankedRow::doubleClicked);
    present(both, {700, before.height()});
    QTest::mouseClick(&both, Qt::LeftButton, {}, QPoint(300, 20));
    QTest::mouseDClick(&both, Qt::LeftButton, {}, QPoint(300, 20));
    EXPECT_GE(clicked.count(), 1);
    EXPECT_EQ(doubled.count(), 1);

    RankedList list("Folder", "Size");
    EXPECT_EQ(list.rowsLayout()->count(), 0);
    EXPECT_LT(list.sizeHint().height(), 60);  // the captions alone, inside the card
}

TEST(StyledButton, DisabledIgnoresPressesAndOnlyTheCapsuleReacts) {
    StyledButton button("Start scan", "play.fill", TintedButtonStyle{DS::amber});
    present(button, button.sizeHint());
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(1, 1));  // outside the rounded end
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_EQ(clicked.count(), 1);
    button.setEnabled(false);
    QTest::mouseClick(&button, Qt::LeftButton, {}, button.rect().center());
    EXPECT_EQ(clicked.count(), 1);

    // Pressing dims the fill; disabling fades the whole button.
    button.setEnabled(true);
    const QPoint sample(8, button.height() / 2);
    const QColor resting = button.grab().toImage().pixelColor(sample);
    button.setDown(true);
    const QColor pressed = button.grab().toImage().pixelColor(sample);
    button.setDown(false);
    button.setEnabled(false);
    const QColor faded = button.grab().toImage().pixelColor(sample);
    EXPECT_NE(pressed, resting);
    EXPECT_NE(faded, resting);

    // The soft style is smaller: 14 by 7 of padding against 16 by 8.
    StyledButton soft("Start scan", "play.fill", SoftButtonStyle{DS::amber});
    EXPECT_LT(soft.sizeHint().height(), button.sizeHint().height());
}

TEST(PillTabBar, SelectionBelongsToTheCaller) {
    PillTabBar bar(modes(), "settings");
    present(bar, bar.sizeHint());
    // Nothing matches: no marker, no tab marked.
    EXPECT_TRUE(bar.markerRect().isEmpty());
    for (QAbstractButton* tab : tabsOf(bar)) EXPECT_FALSE(tab->isChecked());

    QSignalSpy written(&bar, &PillTabBar::selectionChanged);
    auto tabs = tabsOf(bar);
    ASSERT_EQ(tabs.size(), 3u);
    QTest::mouseClick(tabs[1], Qt::LeftButton, {}, tabs[1]->rect().center());
    ASSERT_EQ(written.count(), 1);
    EXPECT_EQ(written.last().at(0).toString(), "folders");
    EXPECT_EQ(bar.selection(), "folders");
    EXPECT_TRUE(tabs[1]->isChecked());
    QApplication::processEvents();
    EXPECT_EQ(bar.markerRect(), QRectF(tabs[1]->geometry()));

    // Tapping the selected tab writes the same value again and changes nothing.
    QTest::mouseClick(tabs[1], Qt::LeftButton, {}, tabs[1]->rect().center());
    EXPECT_EQ(written.count(), 2);
    EXPECT_EQ(written.last().at(0).toString(), "folders");
    EXPECT_TRUE(tabs[1]->isChecked());

    // The caller moves the selection.
    bar.setSelection("threeD");
    EXPECT_TRUE(tabs[2]->isChecked());
    EXPECT_FALSE(tabs[1]->isChecked());
    EXPECT_EQ(written.count(), 2);
}

TEST(PillTabBar, CompactSizesEmptyBarAndRightToLeftOrder) {
    PillTabBar regular(modes(), "blocks"), compact(modes(), "blocks", true);
    EXPECT_EQ(regular.sizeHint().height(), 32 + 6);
    EXPECT_EQ(compact.sizeHint().height(), 30 + 6);
    EXPECT_LT(compact.sizeHint().width(), regular.sizeHint().width());

    PillTabBar empty({}, "blocks");
    EXPECT_EQ(empty.sizeHint(), QSize(6, 6));

    PillTabBar mirrored(modes(), "blocks");
    present(mirrored, mirrored.sizeHint(), Qt::RightToLeft);
    const auto tabs = tabsOf(mirrored);
    EXPECT_GT(tabs[0]->x(), tabs[2]->x());
}

TEST(Symbols, MirrorOnlyWhereAsked) {
    SymbolView arrow({.symbol = "arrow.up.forward", .size = 11, .color = DS::blue, .mirroredInRightToLeft = true});
    SymbolView plain({.symbol = "arrow.up.forward", .size = 11, .color = DS::blue});
    present(arrow, arrow.sizeHint());
    present(plain, plain.sizeHint());
    const QImage original = arrow.grab().toImage();
    ASSERT_GT(imageDifference(original, original.mirrored(true, false)), 0.5);
    arrow.setLayoutDirection(Qt::RightToLeft);
    plain.setLayoutDirection(Qt::RightToLeft);
    EXPECT_LT(imageDifference(arrow.grab().toImage(), original.mirrored(true, false)), 0.1);
    EXPECT_EQ(plain.grab().toImage(), original);
}

// Only focus the keyboard moved shows a ring: focus handed back when a message box closes, or passed
// on when the focused widget goes away, does not, so a tab never looks selected twice.
TEST(FocusRing, OnlyKeyboardFocusShowsTheRing) {
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* bar = new PillTabBar(modes(), "blocks");
    column->addWidget(bar);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto tabs = tabsOf(*bar);
    ASSERT_EQ(tabs[1]->focusPolicy() & Qt::TabFocus, Qt::TabFocus);

    tabs[0]->setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(showsFocusRing(*tabs[0]));
    QTest::keyClick(tabs[0], Qt::Key_Tab);
    ASSERT_TRUE(tabs[1]->hasFocus());
    EXPECT_TRUE(showsFocusRing(*tabs[1]));
    for (Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::MouseFocusReason, Qt::OtherFocusReason, Qt::PopupFocusReason}) {
        tabs[1]->clearFocus();
        tabs[1]->setFocus(reason);
        ASSERT_TRUE(tabs[1]->hasFocus());
        EXPECT_FALSE(showsFocusRing(*tabs[1])) << reason;
    }

    // The focused tab goes away: Qt passes the focus on with the Tab reason, but no key was pressed.
    QTest::keyClick(tabs[1], Qt::Key_Tab);
    ASSERT_TRUE(tabs[2]->hasFocus());
    EXPECT_TRUE(showsFocusRing(*tabs[2]));
    tabs[2]->hide();
    QWidget* next = QApplication::focusWidget();
    ASSERT_NE(next, nullptr);
    EXPECT_FALSE(showsFocusRing(*next));

    // A message box takes the focus and gives it back when it closes.
    tabs[0]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(tabs[0], Qt::Key_Tab);
    ASSERT_TRUE(showsFocusRing(*tabs[1]));
    QMessageBox box(QMessageBox::Information, "title", "text", QMessageBox::Ok, &window);
    box.open();
    QApplication::setActiveWindow(&box);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.accept();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return tabs[1]->hasFocus(); }, 1000));
    EXPECT_FALSE(showsFocusRing(*tabs[1]));
}
