#pragma once

#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Tools/ToolSelection.h"

#include <QWidget>

#include <filesystem>

class IconImageView;
class ToolCheckBox;
class ToolsValueColumn;

// One selectable item of a tool list: tick, file icon, title over subtitle (the subtitle elided in
// the middle so both ends of a path stay), the screen's accessory and the value over a bar. Its tick
// is read from AppState's shared selection on every change; a click anywhere flips it unless the
// row is locked. The context menu offers one entry, reveal.
class ToolsItemRow : public QWidget {
    Q_OBJECT
public:
    struct Content {
        std::filesystem::path path;
        QString title;  // shown as given
        QString subtitle;
        QString value;
        double fraction = 0;  // handed to the bar unchanged
    };

    ToolsItemRow(ToolSelection isOn, bool isLocked, Content content, const DynamicColor& tint, QWidget* accessory = nullptr,
                 QWidget* parent = nullptr);

    bool isOn() const { return isOn_.isOn(); }
    bool isLocked() const { return isLocked_; }
    bool isHovered() const { return hovering_; }
    bool isHighlighted() const;  // drawn on the raised colour
    ToolCheckBox* checkBox() const { return check_; }
    IconImageView* icon() const { return icon_; }
    void setFraction(double fraction);  // a kept row, when the largest item of its list changed
    const std::filesystem::path& path() const { return content_.path; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow();

    ToolSelection isOn_;
    bool isLocked_;
    Content content_;
    ToolCheckBox* check_;
    IconImageView* icon_;
    ToolsValueColumn* value_;
    bool hovering_ = false;
};
