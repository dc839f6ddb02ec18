#include "Views/Shell/SettingsView.h"

#include "Models/DisplayText.h"
#include "Views/Shell/PrivacySettingsButton.h"
#include "Models/AppAppearance.h"
#include "Models/AppLocalization.h"
#include "Models/AppRelauncher.h"
#include "Models/MenuBarItemStyle.h"
#include "Services/Preferences.h"
#include "Services/AppState.h"
#include "Views/Shell/AppVersion.h"
#include "Views/DesignSystem/BrandMark.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/PillTabBar.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/DesignSystem/ToggleSwitch.h"
#include "Views/Common/Hairline.h"
#include "Views/Shell/PreferencePicker.h"

#include <QBoxLayout>
#include <QPainter>
#include <QScrollArea>

namespace {

// Lays its widgets out in a row when the row fits the width, else in a column, leading-aligned.
class FittingRow : public QWidget {
public:
    explicit FittingRow(int spacing) : layout_(new QBoxLayout(QBoxLayout::LeftToRight, this)) {
        layout_->setContentsMargins(0, 0, 0, 0);
        layout_->setSpacing(spacing);
        layout_->addStretch(1);  // keeps the widgets together at the leading end
    }
    void add(QWidget* widget) {
        layout_->insertWidget(layout_->count() - 1, widget, 0, Qt::AlignLeading);
        rowWidth_ += widget->sizeHint().width() + (layout_->count() > 2 ? layout_->spacing() : 0);
    }
    QSize minimumSizeHint() const override {
        int widest = 0;
        for (int i = 0; i < layout_->count() - 1; ++i) widest = std::max(widest, layout_->itemAt(i)->sizeHint().width());
        return {widest, QWidget::minimumSizeHint().height()};
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        const auto direction = rowWidth_ <= width() ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (layout_->direction() != direction) layout_->setDirection(direction);
        QWidget::resizeEvent(event);
    }

private:
    QBoxLayout* layout_;
    int rowWidth_ = 0;
};

// The page behind the cards, which stays transparent so the view's canvas shows through.
class Column : public QWidget {
public:
    Column() {
        layout_ = new QVBoxLayout(this);
        layout_->setContentsMargins(28, 28, 28, 28);
        layout_->setSpacing(16);
        setMaximumWidth(760 + 2 * 28);
    }
    QVBoxLayout* layout_;
};

QWidget* settingsCard(const QString& title, const QString& symbol, const DynamicColor& tint, const std::vector<QWidget*>& rows) {
    auto* card = new CardModifier(24, 18);
    card->contentLayout()->setSpacing(18);
    card->contentLayout()->addWidget(new CardHeader(title, symbol, tint));
    auto* content = new QVBoxLayout;
    content->setSpacing(14);
    for (size_t index = 0; index < rows.size(); ++index) {
        if (index > 0) content->addWidget(new Hairline);
        content->addWidget(rows[index]);
    }
    card->contentLayout()->addLayout(content);
    return card;
}

// One setting: badge, title over detail, then the control at the trailing end.
QWidget* settingRow(const QString& title, const QString& detail, const QString& symbol, const DynamicColor& tint, QWidget* trailing,
                    TextLabel** detailLabel = nullptr, bool monospacedDetail = false) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(new IconBadge(symbol, tint, 28), 0, Qt::AlignVCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(new TextLabel(title, Fonts::system(14, QFont::Medium)));
    auto* detailText = new TextLabel(detail, monospacedDetail ? Fonts::monospaced(12) : Fonts::system(12), DynamicColor::secondary());
    detailText->setWordWrap(true);
    if (monospacedDetail) {
        // A path: two lines at most, cut in the middle so that its start and its last folder show.
        detailText->setMaximumLineCount(2);
        detailText->setElideMode(Qt::ElideMiddle);
    }
    texts->addWidget(detailText);
    layout->addLayout(texts, 1);
    layout->addSpacing(16);
    layout->addWidget(trailing, 0, Qt::AlignVCenter);
    if (detailLabel) *detailLabel = detailText;
    return row;
}

}  // namespace

QString SettingsView::languageOptionLabel(AppLanguage language) {
    switch (language) {
    case AppLanguage::system: return AppLocalization::string("language.system");
    case AppLanguage::english: return AppLocalization::string("language.english");
    case AppLanguage::arabic: return AppLocalization::string("language.arabic");
    }
    return {};
}

void SettingsView::relaunchOnLanguageChange(const QString& previous, const QString& current) {
    if (previous != current) AppRelauncher::relaunch();
}

PreferencePicker* SettingsView::makeLanguagePicker(int width, QWidget* parent) {
    std::vector<PreferencePicker::Option> options;
    for (AppLanguage language : allCases<AppLanguage>()) options.push_back({languageOptionLabel(language), rawText(language)});
    auto* picker = new PreferencePicker(Preferences::Key::appLanguage, rawText(AppLanguage::system), options, parent);
    picker->setAccessibleName(AppLocalization::string("settings.language"));
    picker->setFixedWidth(width);
    connect(picker, &PreferencePicker::picked, picker, &SettingsView::relaunchOnLanguageChange);
    return picker;
}

SettingsView::SettingsView(AppState& state, QWidget* parent) : QWidget(parent), state_(state) {
    auto* column = new Column;
    column->layout_->addWidget(interfaceCard());
    column->layout_->addWidget(scanningCard());
    column->layout_->addWidget(privacyCard());
    column->layout_->addWidget(aboutCard());
    column->layout_->addStretch(1);

    // The column is centred in the width offered and scrolls when the window is short.
    auto* page = new QWidget;
    auto* centring = new QHBoxLayout(page);
    centring->setContentsMargins(0, 0, 0, 0);
    centring->addStretch(1);
    centring->addWidget(column, 100);
    centring->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    scroll->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
}

QWidget* SettingsView::interfaceCard() {
    languagePicker_ = makeLanguagePicker(160);

    std::vector<PreferencePicker::Option> appearances;
    for (AppAppearance appearance : allCases<AppAppearance>()) {
        const char* key = appearance == AppAppearance::light  ? textKey("appearance.light")
                          : appearance == AppAppearance::dark ? textKey("appearance.dark")
                                                              : textKey("appearance.system");
        appearances.push_back({AppLocalization::string(key), rawText(appearance)});
    }
    appearancePicker_ = new PreferencePicker(Preferences::Key::appAppearance, rawText(AppAppearance::system), appearances);
    appearancePicker_->setAccessibleName(AppLocalization::string("settings.appearance"));
    appearancePicker_->setFixedWidth(160);

    std::vector<TabItem> styles;
    for (MenuBarItemStyle style : allCases<MenuBarItemStyle>()) {
        const char* key = style == MenuBarItemStyle::figure    ? textKey("menubar.style.figure")
                          : style == MenuBarItemStyle::graph   ? textKey("menubar.style.graph")
                          : style == MenuBarItemStyle::stacked ? textKey("menubar.style.stacked")
                                                               : textKey("menubar.style.icon");
        styles.push_back({rawText(style), AppLocalization::string(key), QString(), DS::blue});
    }
    const auto storedStyle = [] {
        return fromRawText<MenuBarItemStyle>(Preferences::text(Preferences::Key::menuBarStyle)).value_or(MenuBarItemStyle::icon);
    };
    menuBarPicker_ = new PillTabBar(styles, rawText(storedStyle()), true);
    menuBarPicker_->setSegmentedWidth(280);
    connect(menuBarPicker_, &PillTabBar::selectionChanged, this, [](const QString& id) { Preferences::setText(Preferences::Key::menuBarStyle, id); });
    Preferences::watch(Preferences::Key::menuBarStyle, menuBarPicker_, [this, storedStyle] { menuBarPicker_->setSelection(rawText(storedStyle())); });

    return settingsCard(AppLocalization::string("settings.interface"), QStringLiteral("paintbrush.fill"), DS::blue,
                        {settingRow(AppLocalization::string("settings.language"), AppLocalization::string("settings.language.detail"),
                                    QStringLiteral("globe"), DS::blue, languagePicker_),
                         settingRow(AppLocalization::string("settings.appearance"), AppLocalization::string("settings.appearance.detail"),
                                    QStringLiteral("circle.lefthalf.filled"), DS::blue, appearancePicker_),
                         settingRow(AppLocalization::string("settings.menuBar"), AppLocalization::string("settings.menuBar.detail"),
                                    QStringLiteral("macwindow"), DS::blue, menuBarPicker_)});
}

QWidget* SettingsView::scanningCard() {
    changeFolderButton_ = new StyledButton(AppLocalization::string("action.change"), QString(), SoftButtonStyle{DynamicColor::primary()});
    connect(changeFolderButton_, &StyledButton::clicked, this, [this] { state_.chooseScanFolder(); });
    hiddenSwitch_ = new ToggleSwitch(DS::amber);
    hiddenSwitch_->setAccessibleName(AppLocalization::string("settings.hidden"));
    hiddenSwitch_->setChecked(state_.includeHiddenFiles());
    connect(hiddenSwitch_, &ToggleSwitch::toggled, this, [this](bool on) { state_.setIncludeHiddenFiles(on); });
    connect(&state_, &AppState::includeHiddenFilesChanged, hiddenSwitch_, [this] { hiddenSwitch_->setChecked(state_.includeHiddenFiles()); });
    openSystemButton_ = makePrivacySettingsButton(state_, DynamicColor::primary());

    QWidget* location = settingRow(AppLocalization::string("settings.scanLocation"), DisplayText::path(state_.scanRoot()),
                                   QStringLiteral("folder.fill"), DS::amber, changeFolderButton_, &scanLocation_, true);
    connect(&state_, &AppState::scanRootChanged, scanLocation_, [this] { scanLocation_->setText(DisplayText::path(state_.scanRoot())); });
    return settingsCard(AppLocalization::string("settings.scanning"), QStringLiteral("internaldrive.fill"), DS::amber,
                        {location,
                         settingRow(AppLocalization::string("settings.hidden"), AppLocalization::string("settings.hidden.detail"),
                                    QStringLiteral("eye.slash.fill"), DS::amber, hiddenSwitch_),
                         settingRow(AppLocalization::string("settings.fullDisk"), AppLocalization::string("settings.fullDisk.detail"),
                                    QStringLiteral("lock.open.fill"), DS::amber, openSystemButton_)});
}

QWidget* SettingsView::privacyCard() {
    auto* statement = new QWidget;
    auto* row = new QHBoxLayout(statement);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(new IconBadge(QStringLiteral("checkmark.shield.fill"), DS::green, 34), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(new TextLabel(AppLocalization::string("settings.localOnly"), Fonts::system(15, QFont::DemiBold)));
    auto* detail = new TextLabel(AppLocalization::string("settings.localOnly.detail"), Fonts::system(13), DynamicColor::secondary());
    detail->setWordWrap(true);
    texts->addWidget(detail);
    row->addLayout(texts, 1);

    auto* pills = new FittingRow(8);
    pills->add(new Pill(AppLocalization::string("settings.noUploads"), QStringLiteral("network.slash"), DS::green));
    pills->add(new Pill(AppLocalization::string("settings.noTracking"), QStringLiteral("person.crop.circle.badge.xmark"), DS::green));
    pills->add(new Pill(AppLocalization::string("settings.trashOnly"), QStringLiteral("arrow.uturn.backward.circle"), DS::green));
    pills->setContentsMargins(0, 4, 0, 0);
    privacyPills_ = pills;

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(14);
    column->addWidget(statement);
    column->addWidget(pills);
    return settingsCard(AppLocalization::string("settings.privacy"), QStringLiteral("hand.raised.fill"), DS::green, {content});
}

QWidget* SettingsView::aboutCard() {
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(new BrandMark(34));
    auto* name = new QVBoxLayout;
    name->setSpacing(3);
    name->addWidget(new TextLabel(QStringLiteral("Quarnell"), Fonts::system(15, QFont::DemiBold)));
    name->addWidget(new TextLabel(AppLocalization::string("settings.copyright"), Fonts::system(13), DynamicColor::secondary()));
    row->addLayout(name);
    row->addStretch(1);
    row->addSpacing(12);
    auto* version = new QVBoxLayout;
    version->setSpacing(3);
    auto* caption = new TextLabel(AppLocalization::string("settings.version"), Fonts::system(13), DynamicColor::secondary());
    caption->setAlignment(Qt::AlignTrailing);
    version->addWidget(caption, 0, Qt::AlignTrailing);
    versionLabel_ = new TextLabel(AppVersion::displayValue(), Fonts::system(15, QFont::DemiBold));
    versionLabel_->setLayoutDirection(Qt::LeftToRight);  // "1.4 (27)" reads the same in every language
    version->addWidget(versionLabel_, 0, Qt::AlignTrailing);
    row->addLayout(version);
    return settingsCard(AppLocalization::string("settings.about"), QStringLiteral("info.circle.fill"), DS::gray, {content});
}

void SettingsView::paintEvent(QPaintEvent*) { QPainter(this).fillRect(rect(), DS::canvas.resolved()); }
