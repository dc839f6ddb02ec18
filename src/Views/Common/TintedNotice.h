#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class QHBoxLayout;

// A one-line notice on its tint at 12 % in a continuous rounded rectangle of radius 12: the
// panel's low-space warning and idle-servers notice. The caller fills rowLayout().
class TintedNotice : public QWidget {
    Q_OBJECT
public:
    TintedNotice(const DynamicColor& tint, int padding, QWidget* parent = nullptr);
    QHBoxLayout* rowLayout() const { return layout_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor tint_;
    QHBoxLayout* layout_;
};
