#include "Views/Storage/NoFoldersState.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QVBoxLayout>

NoFoldersState::NoFoldersState(bool filtered, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 28, 0, 28);
    stack->setSpacing(6);
    stack->addStretch(1);
    stack->addWidget(new SymbolView(SymbolImage{.symbol = "folder.badge.questionmark", .size = 26, .color = DynamicColor::tertiary()}), 0,
                     Qt::AlignHCenter);
    auto* title = new TextLabel(AppLocalization::string("storage.noFolders"), Fonts::system(15, QFont::DemiBold));
    title->setAlignment(Qt::AlignHCenter);
    stack->addWidget(title);
    detail_ = new TextLabel({}, Fonts::system(13), DynamicColor::secondary());
    detail_->setAlignment(Qt::AlignHCenter);
    detail_->setWordWrap(true);
    stack->addWidget(detail_);
    stack->addStretch(1);
    setFiltered(filtered);
}

void NoFoldersState::setFiltered(bool filtered) {
    detail_->setText(AppLocalization::string(filtered ? textKey("storage.noFolders.detail") : textKey("storage.noFolders.emptyScan")));
}

QString NoFoldersState::detail() const { return detail_->text(); }
