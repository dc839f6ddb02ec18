#pragma once

#include "Models/InstalledApplication.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <vector>

class AppState;
class LazyRowStack;
class QStackedLayout;
class TextLabel;
class UninstallerFilterField;

// The uninstaller's left column: a header with the number of applications, the filter field and
// one of three areas: a loading panel while the first list is read, the applications that match
// the filter, or a panel saying none matches. A click on an application selects it.
class AppListCard : public CardModifier {
    Q_OBJECT
public:
    enum class Area { loading, list, noMatch };

    AppListCard(AppState& state, const DynamicColor& tint, QWidget* parent = nullptr);

    // The applications whose name, or else desktop-file id, contains the filter, ignoring case; the
    // filter is taken as typed (not trimmed) and an empty one keeps all. Order is kept.
    static std::vector<InstalledApplication> filteredApplications(const std::vector<InstalledApplication>& applications, const QString& filter);

    Area area() const { return area_; }
    UninstallerFilterField* filterField() const { return filter_; }
    LazyRowStack* rows() const { return rows_; }
    TextLabel* countLabel() const { return count_; }

private:
    void refresh();
    void tap(const InstalledApplication& application);

    AppState& state_;
    DynamicColor tint_;
    TextLabel* count_;
    UninstallerFilterField* filter_;
    QStackedLayout* areas_;
    LazyRowStack* rows_;
    std::vector<InstalledApplication> shown_;
    Area area_ = Area::loading;
};
