#pragma once

#include "Views/DesignSystem/StatItem.h"

#include <QWidget>

#include <vector>

class QHBoxLayout;

// Labelled figures side by side in columns of equal width: each a label (13, secondary) after
// its optional dot, over the value (16 semibold, shrinking to 75 %).
class StatColumns : public QWidget {
    Q_OBJECT
public:
    explicit StatColumns(const std::vector<StatItem>& items = {}, QWidget* parent = nullptr);

    void setItems(const std::vector<StatItem>& items);

private:
    QHBoxLayout* row_;
};
