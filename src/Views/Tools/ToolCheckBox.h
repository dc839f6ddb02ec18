#pragma once

#include "Views/DesignSystem/DynamicColor.h"

#include <QAbstractButton>

// The tick of a tool row: a small rounded square, filled in the tint with a white check when on,
// outlined when off; drawn at 45 % when disabled.
class ToolCheckBox : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToolCheckBox(const DynamicColor& tint, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DynamicColor tint_;
};
