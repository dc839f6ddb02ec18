#pragma once

#include "Models/AppUsage.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <functional>
#include <vector>

class QVBoxLayout;

// The head of an application ranking under a hairline and the "top apps" heading: icon, name, a
// bar against the first row's figure, and the figure. "Gathering" until the first sample.
class PanelTopApps : public QWidget {
    Q_OBJECT
public:
    using Metric = std::function<double(const AppUsage&)>;
    using Value = std::function<QString(const AppUsage&)>;

    PanelTopApps(const DynamicColor& tint, Metric metric, Value value, QWidget* parent = nullptr);

    // `apps` already ranked and cut to the rows to show.
    void setApps(const std::vector<AppUsage>& apps);

    // Each row's bar: its figure over the first row's (at least the smallest positive double).
    static std::vector<double> fractions(const std::vector<AppUsage>& apps, const Metric& metric);

private:
    DynamicColor tint_;
    Metric metric_;
    Value value_;
    QVBoxLayout* rows_;
    QWidget* rowsContent_ = nullptr;
};
