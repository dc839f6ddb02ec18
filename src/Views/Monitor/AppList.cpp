#include "Views/Monitor/AppList.h"

#include "Models/AppLocalization.h"
#include "Models/DisplayText.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/RankedRow.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Common/AppIconSlot.h"
#include "Views/Monitor/MonitorText.h"

#include <QVBoxLayout>

AppList::AppList(const QString& column, const DynamicColor& tint, QWidget* parent)
    : RankedList(AppLocalization::string("monitor.column.app"), column, parent), tint_(tint) {
    gathering_ = new TextLabel(AppLocalization::string("monitor.gathering"), Fonts::system(14), DynamicColor::secondary());
    gathering_->setContentsMargins(18, 18, 18, 18);
    rowsLayout()->addWidget(gathering_);
}

void AppList::setApps(const std::vector<AppUsage>& apps, const std::function<double(const AppUsage&, const AppUsage&)>& fraction,
                      const std::function<QString(const AppUsage&)>& value) {
    const size_t shown = std::min(apps.size(), shownRows);
    while (rows_.size() < shown) {
        auto* row = new RankedRow({}, {}, {}, {}, {}, 0, tint_, false);
        rows_.push_back(row);
        iconSlots_.push_back(new AppIconSlot(row, [row](const QIcon& icon) { row->setIcon(icon); }));
        rowsLayout()->addWidget(row);
    }
    for (size_t index = 0; index < rows_.size(); ++index) {
        RankedRow* row = rows_[index];
        if (index < shown) {
            const AppUsage& app = apps[index];
            iconSlots_[index]->setIconName(app.iconName);
            row->setTitle(DisplayText::name(QString::fromStdString(app.name)));
            row->setSubtitle(MonitorText::processes(app.processCount));
            row->setValue(value(app));
            row->setFraction(fraction(app, apps.front()));
            row->setHighlighted(index == 0);
        }
        row->setVisible(index < shown);
    }
    gathering_->setVisible(shown == 0);
}

std::vector<RankedRow*> AppList::visibleRows() const {
    std::vector<RankedRow*> visible;
    for (RankedRow* row : rows_)
        if (!row->isHidden()) visible.push_back(row);
    return visible;
}

bool AppList::isGathering() const { return !gathering_->isHidden(); }
