// Every design component in its states, and every symbol beside its name, on one page each.
#include "Pictures/PictureRegistry.h"

#include "Views/DesignSystem/AreaTrend.h"
#include "Views/DesignSystem/Banner.h"
#include "Views/DesignSystem/BarSparkline.h"
#include "Views/DesignSystem/BrandMark.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/Fmt.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/RankedList.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StatTile.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/Symbols.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ThinBar.h"
#include "Views/DesignSystem/ToggleSwitch.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>


#include <cmath>

namespace {

// A page of DS.canvas on which the components stand, each remembered under a name.
class Gallery : public QWidget {
public:
    explicit Gallery(bool arabic) : arabic_(arabic) {
        setAutoFillBackground(false);
        column_ = new QVBoxLayout(this);
        column_->setContentsMargins(28, 28, 28, 28);
        column_->setSpacing(18);
    }

    QString t(const char* english, const char* arabic) const { return QString::fromUtf8(arabic_ ? arabic : english); }

    void addRow(std::initializer_list<QWidget*> widgets, int spacing = 16) {
        auto* row = new QHBoxLayout;
        row->setSpacing(spacing);
        for (QWidget* widget : widgets) row->addWidget(widget);
        column_->addLayout(row);
    }

    void addHeading(const QString& text) { column_->addWidget(new TextLabel(text, Fonts::system(12, QFont::DemiBold), DynamicColor::tertiary())); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }

private:
    bool arabic_;
    QVBoxLayout* column_;
};

std::vector<MetricPoint> wave(int count, double base, double swing) {
    std::vector<MetricPoint> points;
    const Instant start = Instant::fromReferenceSeconds(700000000);
    for (int i = 0; i < count; ++i)
        points.push_back({Uuid::random(), start.addingSeconds(i), base + swing * std::sin(i / 6.0) + swing * 0.4 * std::sin(i / 1.7)});
    return points;
}

void buildGallery(Gallery& g) {
    // Cards, headers and value displays.
    g.addHeading(g.t("Cards, headers and values", "البطاقات والعناوين والقيم"));
    auto* storage = new CardModifier(24, 18);
    storage->contentLayout()->setSpacing(16);
    storage->contentLayout()->addWidget(new CardHeader(g.t("Storage", "التخزين"), "internaldrive.fill", DS::amber, [] {}));
    storage->contentLayout()->addWidget(new HeroValue(g.t("Used", "المستخدم"), "412.6", "GB", 40));
    storage->contentLayout()->addWidget(new ThinBar(0.62, DS::amber, 8));
    storage->contentLayout()->addWidget(new StatColumns({{g.t("Used", "المستخدم"), "412.6 GB", DS::amber},
                                                                 {g.t("Available", "المتاح"), "87.4 GB", DS::green},
                                                                 {g.t("Files", "الملفات"), "1,204,551", std::nullopt}}));

    auto* details = new CardModifier(24, 18);
    details->contentLayout()->setSpacing(12);
    details->contentLayout()->addWidget(new CardHeader(g.t("Processor", "المعالج"), "cpu", DS::blue));
    details->contentLayout()->addWidget(new HeroValue({}, "1,234,567,890", "%", 34));
    details->contentLayout()->addWidget(new KeyValueRow(g.t("Load average", "متوسط الحمل"), "2.41 · 1.98 · 1.75"));
    details->contentLayout()->addWidget(new KeyValueRow(g.t("Cores", "الأنوية"), "16"));
    details->contentLayout()->addWidget(new LegendRow(DS::blue, g.t("User", "المستخدم"), Fmt::finePercent(0.234)));
    details->contentLayout()->addWidget(new LegendRow(DS::purple, g.t("System", "النظام"), Fmt::finePercent(0.081),
                                                      QApplication::style()->standardIcon(QStyle::SP_DirIcon)));
    auto* narrow = new CardModifier(24, 18);
    narrow->setFixedWidth(190);
    narrow->contentLayout()->setSpacing(12);
    narrow->contentLayout()->addWidget(new HeroValue(g.t("Peak", "الذروة"), "98,765,432", "MB/s", 34));
    narrow->contentLayout()->addWidget(new HeroValue({}, "123,456,789,012,345", "B", 34));
    g.addRow({storage, details, narrow});

    // Tiles.
    g.addRow({new StatTile(g.t("Memory", "الذاكرة"), "memorychip", DS::purple, "11.2 GB", new ThinBar(0.7, DS::purple, 6)),
              new StatTile(g.t("Downloaded", "التنزيل"), "tray.and.arrow.down", DS::teal, "9,876,543,210,987.01 MB"),
              new StatTile(g.t("Uptime", "مدة التشغيل"), "clock", DS::green, "3 d 4 h")});

    // Banner, pills and buttons.
    g.addHeading(g.t("Notices, pills and buttons", "التنبيهات والأزرار"));
    auto* banner = new Banner("sparkles", g.t("12 items can be cleaned", "يمكن تنظيف ١٢ عنصرًا"),
                              g.t("Caches, logs and old installers take 8.4 GB. Everything moves to the Trash, so you can put it back "
                                  "if you change your mind later.",
                                  "تشغل الذاكرات المؤقتة والسجلات وملفات التثبيت القديمة ٨٫٤ غ.ب. ينتقل كل شيء إلى سلة المهملات، "
                                  "فيمكنك استعادته إن غيّرت رأيك لاحقًا."),
                              DS::teal);
    banner->actionsLayout()->addWidget(new StyledButton(g.t("Review", "مراجعة"), {}, SoftButtonStyle{DS::teal}));
    banner->actionsLayout()->addWidget(new StyledButton(g.t("Clean", "تنظيف"), "trash", TintedButtonStyle{DS::teal}));
    g.addRow({banner});

    auto* pills = new QWidget;
    auto* pillRow = new QHBoxLayout(pills);
    pillRow->setContentsMargins(0, 0, 0, 0);
    pillRow->setSpacing(8);
    pillRow->addWidget(new Pill(g.t("Safe", "آمن"), "checkmark.shield.fill", DS::green));
    pillRow->addWidget(new Pill(g.t("Review", "للمراجعة"), {}, DS::amber));
    pillRow->addWidget(new Pill(g.t("Kept locally", "محلي فقط"), "lock.fill", DS::gray));
    pillRow->addWidget(new Pill("3000", "network", DS::blue));
    pillRow->addStretch(1);
    auto* tinted = new StyledButton(g.t("Start scan", "بدء الفحص"), "play.fill", TintedButtonStyle{DS::amber});
    auto* soft = new StyledButton(g.t("Choose folder", "اختيار مجلد"), "folder", SoftButtonStyle{DynamicColor::primary()});
    auto* disabled = new StyledButton(g.t("Move to Trash", "نقل إلى سلة المهملات"), "trash", TintedButtonStyle{DS::pink});
    disabled->setEnabled(false);
    auto* softDisabled = new StyledButton(g.t("Cancel", "إلغاء"), "stop.fill", SoftButtonStyle{DS::orange});
    softDisabled->setEnabled(false);
    auto* chevron = new SymbolButton({.symbol = "xmark.circle.fill", .size = 14, .color = DynamicColor::tertiary()});
    auto* arrow = new SymbolView({.symbol = "arrow.up.forward", .size = 11, .color = DynamicColor::secondary(), .mirroredInRightToLeft = true});
    g.addRow({pills, tinted, soft, disabled, softDisabled, chevron, arrow}, 10);

    auto* switchOn = new ToggleSwitch(DS::amber);
    switchOn->setChecked(true);
    auto* switchOff = new ToggleSwitch(DS::amber);
    auto* switchDisabled = new ToggleSwitch(DS::green);
    switchDisabled->setChecked(true);
    switchDisabled->setEnabled(false);
    auto* field = new QLineEdit;
    field->setPlaceholderText(g.t("Search files", "ابحث في الملفات"));
    auto* picker = new QComboBox;
    picker->addItems({g.t("System", "النظام"), g.t("Light", "فاتح"), g.t("Dark", "داكن")});
    picker->setFixedWidth(160);
    auto* scroll = new QScrollBar(Qt::Horizontal);
    scroll->setRange(0, 100);
    scroll->setPageStep(30);
    scroll->setFixedWidth(160);
    g.addRow({switchOn, switchOff, switchDisabled, field, picker, scroll}, 12);

    // Tab bars.
    g.addHeading(g.t("Tab bars", "أشرطة التبويب"));
    const std::vector<TabItem> sections{{"overview", g.t("Overview", "نظرة عامة"), "square.grid.2x2", DS::teal},
                                        {"storage", g.t("Storage", "التخزين"), "internaldrive", DS::amber},
                                        {"search", g.t("Search", "البحث"), "magnifyingglass", DS::blue},
                                        {"uninstaller", g.t("Uninstaller", "إلغاء التثبيت"), "app.badge", DS::pink},
                                        {"monitor", g.t("Monitor", "المراقبة"), "waveform.path.ecg", DS::purple},
                                        {"tools", g.t("Tools", "الأدوات"), "wrench.and.screwdriver", DS::orange}};
    auto* bars = new QWidget;
    auto* barColumn = new QVBoxLayout(bars);
    barColumn->setContentsMargins(0, 0, 0, 0);
    barColumn->setSpacing(10);
    barColumn->addWidget(new PillTabBar(sections, "storage"), 0, Qt::AlignLeading);
    const std::vector<TabItem> modes{{"blocks", g.t("Blocks", "كتل"), "square.grid.2x2.fill", DS::amber},
                                     {"folders", g.t("Folders", "مجلدات"), "folder", DS::amber},
                                     {"threeD", g.t("3D", "ثلاثي الأبعاد"), "cube", DS::amber}};
    auto* smallBars = new QHBoxLayout;
    smallBars->setSpacing(12);
    smallBars->addWidget(new PillTabBar(modes, "folders", true));
    smallBars->addWidget(new PillTabBar(modes, "settings", true));
    smallBars->addStretch(1);
    barColumn->addLayout(smallBars);
    g.addRow({bars});

    // Charts.
    g.addHeading(g.t("Charts", "الرسوم البيانية"));
    auto* charts = new CardModifier(24, 18);
    auto* chartGrid = new QGridLayout;
    chartGrid->setHorizontalSpacing(20);
    chartGrid->setVerticalSpacing(14);
    std::vector<double> load;
    for (const MetricPoint& point : wave(40, 0.45, 0.25)) load.push_back(point.value);
    chartGrid->addWidget(new BarSparkline(load, DS::blue, 1.0, 30, 64), 0, 0);
    chartGrid->addWidget(new BarSparkline({0.2, 0.6, 0.3, 0.9, 0.5}, DS::purple, std::nullopt, 30, 64), 0, 1);
    chartGrid->addWidget(new BarSparkline({0, 0, 0, 0}, DS::gray, std::nullopt, 30, 64), 0, 2);
    auto* trend = new AreaTrend(wave(90, 40, 18), DS::teal, AreaTrend::Range{0, 100}, true);
    trend->setMinimumHeight(110);
    chartGrid->addWidget(trend, 1, 0);
    auto* bare = new AreaTrend(wave(60, 3e6, 1.5e6), DS::cyan, std::nullopt, false);
    bare->setMinimumHeight(110);
    chartGrid->addWidget(bare, 1, 1);
    auto* empty = new AreaTrend({}, DS::orange);
    empty->setMinimumHeight(110);
    chartGrid->addWidget(empty, 1, 2);
    charts->contentLayout()->addLayout(chartGrid);

    auto* donuts = new QHBoxLayout;
    donuts->setSpacing(24);
    auto* donut = new DonutChart({{412.6, DS::amber}, {120.2, DS::blue}, {64.0, DS::purple}, {8.5, DS::pink}},
                                                      "73%", g.t("used", "مستخدم"), 16);
    donut->setFixedSize(170, 170);
    donuts->addWidget(donut);
    auto* blank = new DonutChart({{0, DS::amber}, {0, DS::blue}}, "0%", g.t("used", "مستخدم"), 12);
    blank->setFixedSize(140, 140);
    donuts->addWidget(blank);
    auto* whole = new DonutChart({{1, DS::green}}, "100%", g.t("healthy", "سليمة"), 10);
    whole->setFixedSize(120, 120);
    donuts->addWidget(whole);
    auto* barsColumn = new QVBoxLayout;
    barsColumn->setSpacing(12);
    barsColumn->addWidget(new ThinBar(0, DS::pink, 6));
    barsColumn->addWidget(new ThinBar(0.35, DS::teal, 6));
    barsColumn->addWidget(new ThinBar(1.5, DS::green, 6));
    barsColumn->addWidget(new ThinBar(0.8, DS::orange, 10));
    donuts->addLayout(barsColumn, 1);
    charts->contentLayout()->addSpacing(16);
    charts->contentLayout()->addLayout(donuts);
    g.addRow({charts});

    // Ranked lists.
    g.addHeading(g.t("Ranked lists", "القوائم المرتبة"));
    auto* list = new RankedList(g.t("Folder", "المجلد"), g.t("Size", "الحجم"));
    list->rowsLayout()->addWidget(new RankedRow(QApplication::style()->standardIcon(QStyle::SP_DirIcon), {}, "Documents",
                                                                          "/home/avery/Documents", "182.4 GB", 1.0, DS::amber, true));
    list->rowsLayout()->addWidget(new RankedRow({}, "film.fill", g.t("Movies", "الأفلام"),
                                                                            "/home/avery/Videos/Projects/2024/Holiday in the mountains/Exports/final",
                                                                            "96.1 GB", 0.53, DS::blue));
    list->rowsLayout()->addWidget(new RankedRow({}, {}, "code", "/usr/share/code", "1.2 GB", 0.0, DS::gray));
    g.addRow({list});

    // Badges and the brand mark.
    auto* badges = new QWidget;
    auto* badgeRow = new QHBoxLayout(badges);
    badgeRow->setContentsMargins(0, 0, 0, 0);
    badgeRow->setSpacing(12);
    const std::vector<std::pair<DynamicColor, const char*>> tints{{DS::blue, "magnifyingglass"},   {DS::purple, "waveform.path.ecg"},
                                                                  {DS::pink, "app.badge"},          {DS::amber, "internaldrive"},
                                                                  {DS::teal, "square.grid.2x2"},    {DS::green, "lock.shield.fill"},
                                                                  {DS::orange, "wrench.and.screwdriver"}, {DS::cyan, "globe"},
                                                                  {DS::gray, "gearshape"}};
    int size = 26;
    for (const auto& [tint, symbol] : tints) {
        badgeRow->addWidget(new IconBadge(symbol, tint, size));
        size += 4;
    }
    badgeRow->addWidget(new IconBadge("square.3.layers.3d.down.right", DS::teal, 64));
    badgeRow->addStretch(1);
    badgeRow->addWidget(new BrandMark(64));
    g.addRow({badges});
}

// Every symbol of the map beside its name, to judge the choice of glyphs.
class SymbolSheet : public QWidget {
public:
    SymbolSheet() {
        auto* grid = new QGridLayout(this);
        grid->setContentsMargins(24, 24, 24, 24);
        grid->setHorizontalSpacing(18);
        grid->setVerticalSpacing(8);
        int index = 0;
        for (const auto& [symbol, material] : Symbols::table()) {
            auto* cell = new QHBoxLayout;
            cell->setSpacing(8);
            cell->addWidget(new IconBadge(symbol, DS::teal, 28));
            cell->addWidget(new TextLabel(symbol, Fonts::system(11), DynamicColor::primary()), 1);
            grid->addLayout(cell, index / 4, index % 4);
            ++index;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), DS::card.resolved()); }
};

}  // namespace

static const PictureRegistration designSystem("design", [](PictureContext& pictures) {
    pictures.render("design-gallery", QSize(1180, 1900), [] {
        auto gallery = std::make_unique<Gallery>(QApplication::layoutDirection() == Qt::RightToLeft);
        buildGallery(*gallery);
        return gallery;
    });
    pictures.render("design-symbols", QSize(1100, 2000), [] { return std::make_unique<SymbolSheet>(); });
});
