#include "Views/Uninstaller/LeftoversCard.h"

#include "Foundation/SaturatingSum.h"
#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Common/BusySpinner.h"
#include "Views/Common/FileIcon.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Uninstaller/ArtifactCategoryPresentation.h"
#include "Views/Uninstaller/ArtifactRow.h"
#include "Views/Uninstaller/CategoryHeader.h"

#include <QHBoxLayout>

#include <algorithm>

namespace {

constexpr ArtifactCategory categoryOrder[] = {ArtifactCategory::application, ArtifactCategory::support,   ArtifactCategory::cache,
                                              ArtifactCategory::preference,  ArtifactCategory::container, ArtifactCategory::savedState};

std::vector<Uuid> idsOf(const std::vector<AppArtifact>& artifacts) {
    std::vector<Uuid> ids;
    ids.reserve(artifacts.size());
    for (const AppArtifact& artifact : artifacts) ids.push_back(artifact.id);
    return ids;
}

}  // namespace

LeftoversCard::LeftoversCard(AppState& state, const DynamicColor& tint, QWidget* parent)
    : QWidget(parent), state_(state), tint_(tint), column_(new QVBoxLayout(this)) {
    column_->setContentsMargins(0, 0, 0, 0);
    connect(&state_, &AppState::artifactsChanged, this, &LeftoversCard::follow);
    connect(&state_, &AppState::isLoadingArtifactsChanged, this, &LeftoversCard::follow);
    rebuild();
}

// A change of ticks only redraws the ticks; a new list builds the card again.
void LeftoversCard::follow() {
    const std::vector<AppArtifact>& artifacts = state_.artifacts();
    const bool searching = artifacts.empty() && state_.isLoadingArtifacts();
    const Shown wanted = !artifacts.empty() ? Shown::leftovers : searching ? Shown::searching : Shown::nothingFound;
    if (wanted != shown_ || idsOf(artifacts) != shownIDs_) {
        rebuild();
        return;
    }
    for (ArtifactRow* row : rows_) {
        auto artifact = std::find_if(artifacts.begin(), artifacts.end(), [&](const AppArtifact& each) { return each.id == row->artifact().id; });
        if (artifact != artifacts.end()) row->setTicked(artifact->isSelected);
    }
}

void LeftoversCard::rebuild() {
    const std::vector<AppArtifact>& artifacts = state_.artifacts();
    headers_.clear();
    rows_.clear();
    shownIDs_ = idsOf(artifacts);
    shown_ = !artifacts.empty() ? Shown::leftovers : state_.isLoadingArtifacts() ? Shown::searching : Shown::nothingFound;
    QWidget* next = shown_ == Shown::leftovers ? makeList() : makeStateCard(shown_ == Shown::searching);
    if (content_) {
        // The old card may hold the row whose click brought us here: it goes once control is back.
        content_->hide();
        content_->deleteLater();
    }
    content_ = next;
    column_->addWidget(content_);
}

QWidget* LeftoversCard::makeStateCard(bool searching) {
    auto* card = new CardModifier(24, 18);
    QVBoxLayout* column = card->contentLayout();
    column->setContentsMargins(24, 24 + 40, 24, 24 + 40);
    column->setSpacing(12);
    if (searching) column->addWidget(new BusySpinner(ControlSize::small, DynamicColor::secondary()), 0, Qt::AlignHCenter);
    else column->addWidget(new SymbolView(SymbolImage{.symbol = "tray.full.fill", .size = 20, .color = DynamicColor::tertiary()}), 0, Qt::AlignHCenter);
    auto* text = new TextLabel(AppLocalization::string(searching ? "uninstaller.residue.loading" : "uninstaller.residue.none"), Fonts::system(13),
                               DynamicColor::secondary());
    text->setObjectName("leftoversState");
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignHCenter);
    column->addWidget(text);
    return card;
}

QWidget* LeftoversCard::makeList() {
    const std::vector<AppArtifact>& artifacts = state_.artifacts();
    auto* card = new CardModifier(14, 18);
    QVBoxLayout* column = card->contentLayout();
    column->setSpacing(4);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(18, 6, 18, 8);
    header->setSpacing(12);
    header->addWidget(new IconBadge(QStringLiteral("tray.full.fill"), tint_, 30));
    header->addWidget(new TextLabel(AppLocalization::string("uninstaller.found"), Fonts::system(16, QFont::DemiBold), tint_));
    header->addStretch(1);
    header->addSpacing(8);
    auto* count = new TextLabel(AppLocalization::format("uninstaller.itemCount", {qlonglong(artifacts.size())}), Fonts::system(13), DynamicColor::secondary());
    count->setObjectName("leftoverCount");
    header->addWidget(count);
    column->addLayout(header);

    // Bars compare across kinds: each against the largest item of all, at least one byte.
    std::int64_t largest = 1;
    for (const AppArtifact& artifact : artifacts) largest = std::max(largest, artifact.size);
    for (ArtifactCategory category : categoryOrder) {
        std::int64_t total = 0;
        std::vector<const AppArtifact*> group;
        for (const AppArtifact& artifact : artifacts)
            if (artifact.category == category) {
                group.push_back(&artifact);
                total = saturatingSum(total, artifact.size);
            }
        if (group.empty()) continue;
        auto* categoryHeader = new CategoryHeader(category, ArtifactCategoryPresentation::tint(category), total);
        headers_.push_back(categoryHeader);
        column->addWidget(categoryHeader);
        for (const AppArtifact* artifact : group) {
            const double fraction = std::max(0.0, double(artifact->size) / double(largest));
            auto* row = new ArtifactRow(*artifact, fileIcon(artifact->path), fraction,
                                        [this, id = artifact->id](bool selected) {
                                            AppArtifact which;
                                            which.id = id;
                                            state_.setArtifactSelection(which, selected);
                                        });
            rows_.push_back(row);
            column->addWidget(row);
        }
    }
    return card;
}
