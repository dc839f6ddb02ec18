#include "Views/Monitor/TrendHero.h"

#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/Pill.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

TrendHero::TrendHero(const DynamicColor& tint, std::optional<AreaTrend::Range> domain, QWidget* parent) : CardModifier(28, 18, parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout;
    row->setSpacing(32);
    contentLayout()->addLayout(row);

    column_ = new QWidget;
    column_->setFixedWidth(280);
    auto* stack = new QVBoxLayout(column_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(14);
    hero_ = new HeroValue({}, {}, {}, 56);
    stack->addWidget(hero_);
    badge_ = new Pill({}, {}, tint);
    badge_->hide();
    stack->addWidget(badge_, 0, Qt::AlignLeading);
    stack->addStretch(1);
    stack->addSpacing(12);
    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setSpacing(10);
    stack->addLayout(rowsLayout_);
    row->addWidget(column_);

    chart_ = new AreaTrend({}, tint, domain, true);
    row->addWidget(chart_, 1);
}

int TrendHero::neededHeight() const { return std::max(250, column_->minimumSizeHint().height()) + 2 * 28; }
QSize TrendHero::sizeHint() const { return {CardModifier::sizeHint().width(), neededHeight()}; }
QSize TrendHero::minimumSizeHint() const { return {CardModifier::minimumSizeHint().width(), neededHeight()}; }

void TrendHero::setFigures(const Figures& figures) {
    DomainCard::showHeadline(*hero_, *badge_, figures.caption, figures.value, figures.unit, figures.badge);
    while (rows_.size() < figures.rows.size()) {
        rows_.push_back(new KeyValueRow({}, {}));
        rowsLayout_->addWidget(rows_.back());
    }
    for (size_t index = 0; index < rows_.size(); ++index) {
        const bool shown = index < figures.rows.size();
        if (shown) {
            rows_[index]->setLabel(figures.rows[index].first);
            rows_[index]->setValue(figures.rows[index].second);
        }
        rows_[index]->setVisible(shown);
    }
    shownRows_ = figures.rows;
}

void TrendHero::setPoints(const std::vector<MetricPoint>& points) { chart_->setPoints(points); }

QString TrendHero::rowValue(const QString& label) const {
    for (const auto& [rowLabel, value] : shownRows_)
        if (rowLabel == label) return value;
    return {};
}
