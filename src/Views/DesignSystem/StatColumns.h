#pragma once

#include "Views/DesignSystem/StatItem.h"

#include <QWidget>

#include <vector>

class DotView;
class QHBoxLayout;
class TextLabel;

// Labelled figures side by side in columns of equal width: each a label (13, secondary) after
// its optional dot, over the value (16 semibold, shrinking to 75 %). Items that keep their number
// and dots only change texts, so a row refreshed every second builds no widgets.
class StatColumns : public QWidget {
    Q_OBJECT
public:
    explicit StatColumns(const std::vector<StatItem>& items = {}, QWidget* parent = nullptr);

    void setItems(const std::vector<StatItem>& items);

private:
    struct Column {
        DotView* dot;  // null without a dot
        TextLabel* label;
        TextLabel* value;
    };
    QHBoxLayout* row_;
    std::vector<Column> columns_;
};
