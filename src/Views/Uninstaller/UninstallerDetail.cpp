#include "Views/Uninstaller/UninstallerDetail.h"

#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/CoalescedUpdate.h"
#include "Views/Common/DashboardPage.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/StyledButton.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Uninstaller/LeftoversCard.h"
#include "Views/Uninstaller/UninstallerHeroCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

UninstallerDetail::UninstallerDetail(AppState& state, const DynamicColor& tint, std::function<void()> askToTrash, QWidget* parent)
    : QWidget(parent), state_(state), tint_(tint), askToTrash_(std::move(askToTrash)), update_(new CoalescedUpdate([this] { follow(); }, this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    connect(&state_, &AppState::selectedApplicationChanged, update_, &CoalescedUpdate::request);
    connect(&state_, &AppState::isLoadingApplicationsChanged, update_, &CoalescedUpdate::request);
    rebuild();
}

// Another application, or another state without one, builds the column again; the hero and the
// leftovers follow their own changes.
void UninstallerDetail::follow() {
    const std::optional<InstalledApplication>& selected = state_.selectedApplication();
    const Shown wanted = selected ? Shown::application : state_.isLoadingApplications() ? Shown::loading : Shown::prompt;
    if (wanted != shown_ || (selected && selected->id != shownID_)) rebuild();
}

void UninstallerDetail::rebuild() {
    const std::optional<InstalledApplication>& selected = state_.selectedApplication();
    shown_ = selected ? Shown::application : state_.isLoadingApplications() ? Shown::loading : Shown::prompt;
    shownID_ = selected ? selected->id : std::string();
    hero_ = nullptr;
    leftovers_ = nullptr;
    QWidget* next = shown_ == Shown::application ? makeApplicationPage() : makeStateCard(shown_ == Shown::loading);
    if (content_) {
        content_->hide();
        content_->deleteLater();
    }
    content_ = next;
    layout()->addWidget(content_);
}

QWidget* UninstallerDetail::makeApplicationPage() {
    auto* page = new DashboardPage;
    QVBoxLayout* stack = page->beginContent();
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(16);
    hero_ = new UninstallerHeroCard(state_, *state_.selectedApplication(), tint_, askToTrash_);
    stack->addWidget(hero_);
    leftovers_ = new LeftoversCard(state_, tint_);
    stack->addWidget(leftovers_);
    stack->addStretch(1);
    page->endContent();
    return page;
}

QWidget* UninstallerDetail::makeStateCard(bool loading) {
    auto* holder = new QWidget;
    auto* holderColumn = new QVBoxLayout(holder);
    holderColumn->setContentsMargins(0, 0, 0, 0);
    auto* card = new CardModifier(24, 18);
    card->setObjectName(loading ? "detailLoading" : "selectPrompt");
    QVBoxLayout* column = card->contentLayout();
    const int vertical = loading ? 60 : 56;
    column->setContentsMargins(24, 24 + vertical, 24, 24 + vertical);
    column->setSpacing(14);
    auto centred = [](TextLabel* label) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter);
        return label;
    };
    if (loading) {
        column->addWidget(new BusySpinner(ControlSize::regular, DynamicColor::secondary()), 0, Qt::AlignHCenter);
        column->addWidget(centred(new TextLabel(AppLocalization::string("uninstaller.loading.title"), Fonts::system(17, QFont::DemiBold))));
        column->addWidget(centred(new TextLabel(AppLocalization::string("uninstaller.loading.detail"), Fonts::system(13), DynamicColor::secondary())));
    } else {
        column->addWidget(new IconBadge(QStringLiteral("macwindow"), tint_, 56), 0, Qt::AlignHCenter);
        column->addWidget(centred(new TextLabel(AppLocalization::string("uninstaller.select.title"), Fonts::system(20, QFont::Bold))));
        // At most 420 wide, centred; stretches either side keep the wrapped height that width needs.
        auto* detail = centred(new TextLabel(AppLocalization::string("uninstaller.select.detail"), Fonts::system(14), DynamicColor::secondary()));
        detail->setMaximumWidth(420);
        auto* detailRow = new QHBoxLayout;
        detailRow->addStretch(1);
        detailRow->addWidget(detail, 100);
        detailRow->addStretch(1);
        column->addLayout(detailRow);
        auto* refresh = new StyledButton(AppLocalization::string("action.refresh"), QStringLiteral("arrow.clockwise"), TintedButtonStyle{tint_});
        refresh->setObjectName("promptRefresh");
        connect(refresh, &QAbstractButton::clicked, &state_, &AppState::loadApplications);
        column->addSpacing(4);
        column->addWidget(refresh, 0, Qt::AlignHCenter);
    }
    holderColumn->addWidget(card);
    holderColumn->addStretch(1);
    return holder;
}
