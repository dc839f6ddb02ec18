#pragma once

#include "Models/DuplicateScanProgress.h"
#include "Views/DesignSystem/CardModifier.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/DesignSystem/StatItem.h"

#include <optional>
#include <vector>

class BusySpinner;
class QProgressBar;
class StatColumns;
class TextLabel;
class ThinBar;

// The progress of a running duplicate search: the phase and a one-line detail, a percentage and
// bar once the total size is known (a spinner and a moving bar before), the files, data and groups
// so far, and the path being read. Updated in place.
class DuplicateProgressCard : public CardModifier {
    Q_OBJECT
public:
    DuplicateProgressCard(const std::optional<DuplicateScanProgress>& progress, const DynamicColor& tint, QWidget* parent = nullptr);

    void setProgress(const std::optional<DuplicateScanProgress>& progress);

    // The share done, when a total of at least one byte is known: processed over total, within 0 to 1.
    static std::optional<double> gauge(const std::optional<DuplicateScanProgress>& progress);
    static double clampedFraction(double fraction);  // not a number counts as 0
    static QString detail(const std::optional<DuplicateScanProgress>& progress);
    static std::vector<StatItem> stats(const std::optional<DuplicateScanProgress>& progress, const DynamicColor& tint);

    QString percentText() const;  // empty while no gauge applies

private:
    DynamicColor tint_;
    TextLabel* phase_;
    TextLabel* detail_;
    TextLabel* percent_;
    BusySpinner* spinner_;
    ThinBar* bar_;
    QProgressBar* busyBar_;
    StatColumns* stats_;
    TextLabel* path_;
};
