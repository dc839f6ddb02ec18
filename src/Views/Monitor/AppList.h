#pragma once

#include "Models/AppUsage.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/DesignSystem/RankedList.h"

#include <functional>
#include <vector>

class RankedRow;
class TextLabel;

// The ranked applications at the foot of the processor, memory and disk pages: the first eight of
// a ranking, the first highlighted, each with its process count, figure and bar; "Gathering…"
// before the first per-application sample. Rows are kept and refilled each sample.
class AppList : public RankedList {
    Q_OBJECT
public:
    static constexpr size_t shownRows = 8;

    AppList(const QString& column, const DynamicColor& tint, QWidget* parent = nullptr);

    // `apps` ranked largest first; `fraction` takes a row and the top row.
    void setApps(const std::vector<AppUsage>& apps, const std::function<double(const AppUsage&, const AppUsage&)>& fraction,
                 const std::function<QString(const AppUsage&)>& value);

    std::vector<RankedRow*> visibleRows() const;
    bool isGathering() const;

private:
    DynamicColor tint_;
    TextLabel* gathering_;
    std::vector<RankedRow*> rows_;
    std::vector<class AppIconSlot*> iconSlots_;  // one per row
};
