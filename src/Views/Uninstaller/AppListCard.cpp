#include "Views/Uninstaller/AppListCard.h"

#include "Models/AppLocalization.h"
#include "Services/AppState.h"
#include "Views/Common/BusySpinner.h"
#include "Views/DesignSystem/Fonts.h"
#include "Views/DesignSystem/IconBadge.h"
#include "Views/DesignSystem/SymbolView.h"
#include "Views/DesignSystem/TextLabel.h"
#include "Views/Tools/LazyRowStack.h"
#include "Views/Uninstaller/AppListRow.h"
#include "Views/Uninstaller/UninstallerFilterField.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QStackedLayout>

namespace {

// A centred panel filling the list area: the loading and no-match states.
QWidget* centredPanel(int spacing, std::initializer_list<QWidget*> parts) {
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(spacing);
    column->addStretch(1);
    for (QWidget* part : parts) column->addWidget(part, 0, Qt::AlignHCenter);
    column->addStretch(1);
    return panel;
}

TextLabel* centredText(const QString& text, const QFont& font, const DynamicColor& color) {
    auto* label = new TextLabel(text, font, color);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

}  // namespace

AppListCard::AppListCard(AppState& state, const DynamicColor& tint, QWidget* parent) : CardModifier(12, 18, parent), state_(state), tint_(tint) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    QVBoxLayout* column = contentLayout();
    column->setSpacing(14);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(6, 0, 6, 0);
    header->setSpacing(12);
    header->addWidget(new IconBadge(QStringLiteral("square.grid.2x2.fill"), tint_, 30));
    header->addWidget(new TextLabel(AppLocalization::string("uninstaller.apps.title"), Fonts::system(16, QFont::DemiBold), tint_));
    header->addStretch(1);
    header->addSpacing(8);
    count_ = new TextLabel({}, Fonts::system(12, QFont::Medium), DynamicColor::secondary());
    count_->setObjectName("appCount");
    header->addWidget(count_);
    column->addLayout(header);

    filter_ = new UninstallerFilterField(tint_);
    column->addWidget(filter_);

    areas_ = new QStackedLayout;
    auto* loading = centredPanel(12, {new BusySpinner(ControlSize::small, DynamicColor::secondary()),
                                      centredText(AppLocalization::string("uninstaller.loading.title"), Fonts::system(14, QFont::DemiBold), DynamicColor::primary()),
                                      centredText(AppLocalization::string("uninstaller.loading.detail"), Fonts::system(12), DynamicColor::secondary())});
    areas_->addWidget(loading);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget;
    auto* contentColumn = new QVBoxLayout(content);
    contentColumn->setContentsMargins(0, 0, 0, 0);
    rows_ = new LazyRowStack;
    rows_->followScrolling(scroll);
    contentColumn->addWidget(rows_);
    contentColumn->addStretch(1);
    scroll->setWidget(content);
    content->setAutoFillBackground(false);  // setWidget turned it on; the card shows through
    areas_->addWidget(scroll);

    areas_->addWidget(centredPanel(10, {new SymbolView(SymbolImage{.symbol = "magnifyingglass", .size = 20, .color = DynamicColor::tertiary()}),
                                        centredText(AppLocalization::string("uninstaller.filter.empty"), Fonts::system(13), DynamicColor::secondary())}));
    column->addLayout(areas_, 1);

    connect(filter_, &UninstallerFilterField::textChanged, this, &AppListCard::refresh);
    connect(&state_, &AppState::applicationsChanged, this, &AppListCard::refresh);
    connect(&state_, &AppState::isLoadingApplicationsChanged, this, &AppListCard::refresh);
    connect(&state_, &AppState::selectedApplicationChanged, this, &AppListCard::refresh);
    refresh();
}

std::vector<InstalledApplication> AppListCard::filteredApplications(const std::vector<InstalledApplication>& applications, const QString& filter) {
    if (filter.isEmpty()) return applications;
    std::vector<InstalledApplication> matching;
    for (const InstalledApplication& application : applications)
        if (application.name.contains(filter, Qt::CaseInsensitive) || application.desktopFileID.contains(filter, Qt::CaseInsensitive))
            matching.push_back(application);
    return matching;
}

void AppListCard::refresh() {
    const std::vector<InstalledApplication>& applications = state_.applications();
    count_->setVisible(!applications.empty());
    count_->setText(AppLocalization::format("uninstaller.apps.count", {qlonglong(applications.size())}));

    shown_ = filteredApplications(applications, filter_->text());
    // The list of the last load stays on view while the next one is read.
    if (state_.isLoadingApplications() && applications.empty()) area_ = Area::loading;
    else if (!shown_.empty()) area_ = Area::list;
    else area_ = Area::noMatch;
    areas_->setCurrentIndex(int(area_));

    auto isSelected = [this](const InstalledApplication& application) {
        const std::optional<InstalledApplication>& selected = state_.selectedApplication();
        return selected && selected->id == application.id;
    };
    std::vector<std::string> keys;
    keys.reserve(shown_.size());
    for (const InstalledApplication& application : shown_) keys.push_back(application.id);
    rows_->setRows(
        std::move(keys),
        [this, isSelected](std::size_t index) -> QWidget* {
            auto* row = new AppListRow(shown_[index], isSelected(shown_[index]), tint_);
            connect(row, &AppListRow::clicked, this, [this, row] { tap(row->application()); });
            return row;
        },
        [this, isSelected](std::size_t index, QWidget* row) { static_cast<AppListRow*>(row)->setApplication(shown_[index], isSelected(shown_[index])); });
}

void AppListCard::tap(const InstalledApplication& application) {
    const std::optional<InstalledApplication>& selected = state_.selectedApplication();
    if (selected && selected->id == application.id) return;  // its leftovers stay as they are
    state_.selectApplication(application);
}
