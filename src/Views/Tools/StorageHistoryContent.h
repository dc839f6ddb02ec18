#pragma once

#include "Models/MetricPoint.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class DashboardPage;
class StorageHistoryService;

// How the start-up volume's used space developed (used now, available, change since the first
// record, a trend of the daily records) and which folders grew or shrank most between the last two
// scans of the folder scanned last. Growth is drawn in the tint, shrinkage in green. Redrawn from
// the store whenever it publishes.
class StorageHistoryContent : public QWidget {
    Q_OBJECT
public:
    StorageHistoryContent(StorageHistoryService& history, const DynamicColor& tint, QWidget* parent = nullptr);

    std::vector<MetricPoint> points() const;
    // "+" or U+2212 before the byte text of the magnitude; no sign for zero. The magnitude is taken
    // unsigned, so the smallest count has one too (saturated by the formatter).
    static QString signedBytes(std::int64_t change);

private:
    void rebuild();
    QWidget* makeTrendCard();
    QWidget* makeTrendPlaceholder();
    QWidget* makeChangesCard();

    StorageHistoryService& history_;
    DynamicColor tint_;
    DashboardPage* page_;
};
