#include "Views/Uninstaller/UninstallerHeroCard.h"

#include "Views/Common/TextSelection.h"
#include "Models/AppLocalization.h"
#include "Models/ArtifactSelection.h"
#include "Models/ByteFormatting.h"
#include "Models/DisplayText.h"
#include "Models/IsolatedText.h"
#include "Services/AppState.h"
#include "Views/Common/AppIconSlot.h"
#include "Views/Common/Hairline.h"
#include "Views/Common/ValueAndUnit.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/IconImageView.h"
#include "Views/DesignSystem/Pill.h"
#include "Views/DesignSystem/StatColumns.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>

namespace {

// What runs the application's program, and what to take away first.
QString runByText(const InstalledApplication& application) {
    const QString name = isolatedText(DisplayText::name(application.runBy.filename()));
    switch (application.runByKind) {
    case RunnerKind::service: return AppLocalization::format("uninstaller.runByService", {name});
    case RunnerKind::crontab: return AppLocalization::format("uninstaller.runByCrontab", {isolatedText(QStringLiteral("crontab\u00A0\u2011e"))});
    case RunnerKind::shellStartup: return AppLocalization::format("uninstaller.runByShell", {name});
    }
    return {};
}

}  // namespace

UninstallerHeroCard::UninstallerHeroCard(AppState& state, InstalledApplication application, const DynamicColor& tint, std::function<void()> askToTrash,
                                         QWidget* parent)
    : CardModifier(24, 18, parent), state_(state), application_(std::move(application)), tint_(tint) {
    QVBoxLayout* column = contentLayout();
    column->setSpacing(22);

    auto* identity = new QHBoxLayout;
    identity->setSpacing(18);
    auto* icon = new IconImageView({}, 76);
    (new AppIconSlot(icon, [icon](const QIcon& shown) { icon->setIcon(shown); }))->setIconName(application_.iconName);
    auto* shadow = new QGraphicsDropShadowEffect(icon);
    shadow->setColor(QColor(0, 0, 0, 64));
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 3);
    icon->setGraphicsEffect(shadow);
    identity->addWidget(icon);
    auto* names = new QVBoxLayout;
    names->setSpacing(8);
    auto* name = new TextLabel(DisplayText::name(application_.name), Fonts::system(24, QFont::Bold));
    name->setObjectName("heroName");
    names->addWidget(name);
    auto* pills = new QHBoxLayout;
    pills->setSpacing(6);
    auto* identifier = new Pill(DisplayText::name(application_.desktopFileID), QStringLiteral("shippingbox"), tint_);
    identifier->setObjectName("identifierPill");
    TextSelection::attach(identifier, [copied = application_.desktopFileID] { return copied; });
    pills->addWidget(identifier);
    auto* version = new Pill(AppLocalization::format("uninstaller.version", {DisplayText::name(application_.version)}), {}, DynamicColor::secondary());
    version->setObjectName("versionPill");
    pills->addWidget(version);
    pills->addStretch(1);
    names->addLayout(pills);
    // Said where the application is looked at, not only when the user is about to move it.
    if (application_.programNotFound) {
        auto* notFound = new QHBoxLayout;
        notFound->setSpacing(6);
        notFound->addWidget(new SymbolView(SymbolImage{.symbol = "exclamationmark.triangle.fill", .size = 12, .color = DS::orange}), 0, Qt::AlignTop);
        auto* text = new TextLabel(AppLocalization::string("uninstaller.programNotFound"), Fonts::system(12), DynamicColor::secondary());
        text->setObjectName("programNotFound");
        text->setWordWrap(true);
        notFound->addWidget(text, 1);
        names->addLayout(notFound);
    }
    if (!application_.runBy.empty()) {
        auto* service = new QHBoxLayout;
        service->setSpacing(6);
        service->addWidget(new SymbolView(SymbolImage{.symbol = "gearshape.fill", .size = 12, .color = DynamicColor::secondary()}), 0, Qt::AlignTop);
        auto* text = new TextLabel(runByText(application_), Fonts::system(12), DynamicColor::secondary());
        text->setObjectName("runByService");
        text->setWordWrap(true);
        service->addWidget(text, 1);
        names->addLayout(service);
    }
    identity->addLayout(names, 1);
    identity->addSpacing(16);
    selectedSize_ = new HeroValue(AppLocalization::string("uninstaller.selectedSize"), {}, {}, 44);
    identity->addWidget(selectedSize_);
    column->addLayout(identity);

    figures_ = new StatColumns;
    column->addWidget(figures_);
    column->addWidget(new Hairline);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(10);
    actions->addWidget(new SymbolView(SymbolImage{.symbol = "arrow.uturn.backward.circle.fill", .size = 13, .color = DS::green}));
    auto* safe = new TextLabel(AppLocalization::string("uninstaller.safeTrash"), Fonts::system(13), DynamicColor::secondary());
    safe->setWordWrap(true);
    safe->setMaximumLineCount(2);
    actions->addWidget(safe, 1);
    actions->addSpacing(12);
    refresh_ = new StyledButton(AppLocalization::string("action.refresh"), QStringLiteral("arrow.clockwise"), SoftButtonStyle{DynamicColor::primary()});
    refresh_->setObjectName("heroRefresh");
    refresh_->setToolTip(AppLocalization::string("action.refresh"));
    connect(refresh_, &QAbstractButton::clicked, &state_, &AppState::loadApplications);
    actions->addWidget(refresh_);
    trash_ = new StyledButton(AppLocalization::string("uninstaller.moveToTrash"), QStringLiteral("trash.fill"), TintedButtonStyle{tint_});
    trash_->setObjectName("uninstallerTrash");
    connect(trash_, &QAbstractButton::clicked, this, [askToTrash = std::move(askToTrash)] { askToTrash(); });
    actions->addWidget(trash_);
    column->addLayout(actions);

    connect(&state_, &AppState::artifactsChanged, this, &UninstallerHeroCard::follow);
    connect(&state_, &AppState::isRemovingChanged, this, &UninstallerHeroCard::follow);
    connect(&state_, &AppState::isLoadingApplicationsChanged, this, &UninstallerHeroCard::follow);
    follow();
}

void UninstallerHeroCard::follow() {
    const std::vector<AppArtifact>& artifacts = state_.artifacts();
    const std::int64_t selected = ArtifactSelection::bytes(artifacts);
    const ValueAndUnit parts = ValueAndUnit::split(ByteFormatting::string(selected));
    selectedSize_->setValue(parts.value);
    selectedSize_->setUnit(parts.unit);
    const auto ticked = std::count_if(artifacts.begin(), artifacts.end(), [](const AppArtifact& artifact) { return artifact.isSelected; });
    // Measured again with every load of its items: after a removal, what is left of it.
    const auto& selection = state_.selectedApplication();
    const std::int64_t applicationSize = selection && selection->id == application_.id ? selection->size : application_.size;
    figures_->setItems({
        {AppLocalization::string("uninstaller.stat.items"), AppLocalization::activeLocale().toString(qlonglong(artifacts.size())), std::nullopt},
        {AppLocalization::string("uninstaller.stat.selected"), AppLocalization::activeLocale().toString(qlonglong(ticked)), tint_},
        {AppLocalization::string("uninstaller.stat.appSize"), ByteFormatting::string(applicationSize), std::nullopt},
    });
    refresh_->setEnabled(!state_.isLoadingApplications());
    trash_->setEnabled(selected != 0 && !state_.isRemoving());
    trash_->setBusy(state_.isRemoving());
}
