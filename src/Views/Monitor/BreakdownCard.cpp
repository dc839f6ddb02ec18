#include "Views/Monitor/BreakdownCard.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/DesignSystem/CardHeader.h"
#include "Views/DesignSystem/DS.h"
#include "Views/DesignSystem/DonutChart.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/LegendRow.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Common/AppIconSlot.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

DynamicColor restColor() { return DS::gray.withOpacity(0.5); }

}  // namespace

BreakdownCard::BreakdownCard(const QString& title, const QString& symbol, const DynamicColor& tint,
                             std::function<double(const AppUsage&)> metric, std::function<QString(double)> format, QWidget* parent)
    : CardModifier(24, 18, parent), metric_(std::move(metric)), format_(std::move(format)), palette_(palette(tint)) {
    QVBoxLayout* stack = contentLayout();
    stack->setSpacing(20);
    stack->addWidget(new CardHeader(title, symbol, tint));
    auto* row = new QHBoxLayout;
    row->setSpacing(24);
    donut_ = new DonutChart({}, {}, AppLocalization::string("monitor.allApps"), 16);
    donut_->setFixedSize(136, 136);
    row->addWidget(donut_, 0, Qt::AlignVCenter);
    auto* legend = new QVBoxLayout;
    legend->setSpacing(11);
    gathering_ = new TextLabel(AppLocalization::string("monitor.gathering"), Fonts::system(14), DynamicColor::secondary());
    legend->addWidget(gathering_);
    for (size_t index = 0; index <= topRows; ++index) {
        auto* legendRow = new LegendRow(index < topRows ? palette_[index] : restColor(), {}, {});
        rows_.push_back(legendRow);
        legend->addWidget(legendRow);
        if (index < topRows) iconSlots_.push_back(new AppIconSlot(legendRow, [legendRow](const QIcon& icon) { legendRow->setIcon(icon); }));
    }
    row->addLayout(legend, 1);
    row->setAlignment(legend, Qt::AlignVCenter);
    stack->addLayout(row);
}

BreakdownCard::Palette BreakdownCard::palette(const DynamicColor& tint) {
    return {tint, tint.withOpacity(0.75), tint.withOpacity(0.55), tint.withOpacity(0.38)};
}

std::vector<DonutSegment> BreakdownCard::segments(const std::vector<AppUsage>& apps, const std::function<double(const AppUsage&)>& metric,
                                                  const Palette& palette) {
    const size_t top = std::min(apps.size(), topRows);
    double all = 0, topSum = 0;
    for (size_t index = 0; index < apps.size(); ++index) {
        const double value = metric(apps[index]);
        all += value;
        if (index < top) topSum += value;
    }
    std::vector<DonutSegment> result;
    for (size_t index = 0; index < top; ++index) result.push_back({metric(apps[index]), palette[index]});
    // Rounding alone can make the rest negative.
    result.push_back({std::max(all - topSum, 0.0), restColor()});
    return result;
}

void BreakdownCard::setApps(const std::vector<AppUsage>& apps, const QString& center) {
    const std::vector<DonutSegment> ring = segments(apps, metric_, palette_);
    donut_->setSegments(ring);
    donut_->setTitle(center);
    const size_t top = ring.size() - 1;
    for (size_t index = 0; index < topRows; ++index) {
        LegendRow* row = rows_[index];
        if (index < top) {
            row->setLabel(DisplayText::name(QString::fromStdString(apps[index].name)));
            row->setValue(format_(metric_(apps[index])));
            iconSlots_[index]->setIconName(apps[index].iconName);
        }
        row->setVisible(index < top);
    }
    LegendRow* rest = rows_.back();
    rest->setLabel(AppLocalization::string("monitor.other"));
    rest->setValue(format_(ring.back().value));
    rest->setVisible(top > 0);
    gathering_->setVisible(top == 0);
}

std::vector<LegendRow*> BreakdownCard::visibleLegend() const {
    std::vector<LegendRow*> visible;
    for (LegendRow* row : rows_)
        if (!row->isHidden()) visible.push_back(row);
    return visible;
}

bool BreakdownCard::isGathering() const { return !gathering_->isHidden(); }
