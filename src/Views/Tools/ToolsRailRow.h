#pragma once

#include "Models/ValueTool.h"

#include <QAbstractButton>

#include <optional>

// One tool of the rail: its badge, title and detail line, and the count of its list in a capsule
// (none when absent). The selected row lies on its tint at 15 %, a hovered one on DS.raised.
class ToolsRailRow : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToolsRailRow(ValueTool tool, QWidget* parent = nullptr);

    ValueTool tool() const { return tool_; }
    void setSelected(bool selected);
    bool isSelected() const { return isChecked(); }
    void setCount(std::optional<int> count);
    // The badge as shown: the count in the system's number format, digit grouping included.
    std::optional<QString> badgeText() const { return badge_; }

    // Whether the title or the detail line loses its end at the row's present width.
    bool isCut() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRectF badgeCapsule(const QRectF& inner) const;  // empty without a count
    qreal textWidth(const QRectF& inner) const;       // between the icon and the count

    ValueTool tool_;
    std::optional<QString> badge_;
    bool hovering_ = false;
};
