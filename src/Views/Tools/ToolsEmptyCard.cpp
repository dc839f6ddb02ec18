#include "Views/Tools/ToolsEmptyCard.h"

#include "Models/AppLocalization.h"
#include "Views/Common/BusySpinner.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/TextLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

ToolsEmptyCard::ToolsEmptyCard(const QString& symbol, const DynamicColor& tint, bool working, const QString& title, const QString& detail,
                               QWidget* parent)
    : CardModifier(24, 18, parent), working_(!working), titleKey_(title) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(14);
    stack->setContentsMargins(24, 24 + 56, 24, 24 + 56);
    spinnerFrame_ = new QWidget;
    spinnerFrame_->setFixedHeight(56);
    auto* centre = new QVBoxLayout(spinnerFrame_);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(new BusySpinner(ControlSize::regular, DynamicColor::secondary()), 0, Qt::AlignCenter);
    stack->addWidget(spinnerFrame_);
    badge_ = new IconBadge(symbol, tint, 56);
    stack->addWidget(badge_, 0, Qt::AlignHCenter);
    title_ = new TextLabel({}, Fonts::system(17, QFont::DemiBold));
    title_->setAlignment(Qt::AlignHCenter);
    stack->addWidget(title_, 0, Qt::AlignHCenter);
    detail_ = new TextLabel(AppLocalization::string(detail), Fonts::system(13), DynamicColor::secondary());
    detail_->setWordWrap(true);
    detail_->setAlignment(Qt::AlignHCenter);
    detail_->setMaximumWidth(440);
    // Centred by stretches, not by an alignment flag: an aligned item is given the height for the
    // whole column's width and loses the lines it wraps into at its own narrower width.
    auto* centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addWidget(detail_, 100);
    centred->addStretch(1);
    stack->addLayout(centred);
    setWorking(working);
}

void ToolsEmptyCard::setWorking(bool working) {
    if (working == working_) return;
    working_ = working;
    spinnerFrame_->setVisible(working);
    badge_->setVisible(!working);
    title_->setText(AppLocalization::string(working ? QStringLiteral("tools.scanning") : titleKey_));
}

QString ToolsEmptyCard::titleText() const { return title_->text(); }
QString ToolsEmptyCard::detailText() const { return detail_->text(); }

void ToolsEmptyCard::setTexts(const QString& title, const QString& detail) {
    titleKey_ = title;
    if (!working_) title_->setText(AppLocalization::string(title));
    detail_->setText(AppLocalization::string(detail));
}
