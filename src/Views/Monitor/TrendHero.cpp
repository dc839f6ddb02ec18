#include "Views/Monitor/TrendHero.h"

#include "Views/DesignSystem/HeroValue.h"
#include "Views/DesignSystem/KeyValueRow.h"
#include "Views/DesignSystem/Pill.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

TrendHero::TrendHero(const DynamicColor& tint, std::optional<AreaTrend::Range> domain, QWidget* parent) : CardModifier(28, 18, parent) {
    setFixedHeight(250 + 2 * 28);
    auto* row = new QHBoxLayout;
    row->setSpacing(32);
    contentLayout()->addLayout(row);

    auto* column = new QWidget;
    column->setFixedWidth(280);
    auto* stack = new QVBoxLayout(column);
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
    row->addWidget(column);

    chart_ = new AreaTrend({}, tint, domain, true);
    row->addWidget(chart_, 1);
}

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
