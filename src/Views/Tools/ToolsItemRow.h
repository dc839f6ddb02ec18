#pragma once

#include "Views/DesignSystem/DynamicColor.h"
#include "Views/Tools/ToolSelection.h"

#include <QWidget>

#include <filesystem>

class IconImageView;
class QHBoxLayout;
class TextLabel;
class ToolCheckBox;
class ToolsValueColumn;

// One selectable item of a tool list: tick, file icon, title over subtitle (the subtitle elided in
// the middle so both ends of a path stay, and whole in its tool tip), the screen's accessory and the
// value over a bar; where the row is too narrow for all, the value is cut first. Its tick
// is read from AppState's shared selection on every change; a click anywhere flips it unless the
// row is locked. The context menu offers one entry, reveal. A list that keeps the row through a
// reload hands it the new item whole; the row is built and refilled the same way.
class ToolsItemRow : public QWidget {
    Q_OBJECT
public:
    struct Item {
        ToolSelection isOn;
        bool isLocked = false;
        std::filesystem::path path;
        QString title;  // shown as given
        QString subtitle;
        QString value;
        double fraction = 0;  // handed to the bar unchanged
        QWidget* accessory = nullptr;  // the row takes it
    };

    ToolsItemRow(Item item, const DynamicColor& tint, QWidget* parent = nullptr);

    // Shows another item, or the same one with new figures; the old accessory is deleted.
    void setItem(Item item);

    bool isOn() const { return isOn_.isOn(); }
    bool isLocked() const { return isLocked_; }
    bool isHovered() const { return hovering_; }
    bool isHighlighted() const;  // drawn on the raised colour
    ToolCheckBox* checkBox() const { return check_; }
    IconImageView* icon() const { return icon_; }
    const std::filesystem::path& path() const { return path_; }
    QString value() const;
    double fraction() const;
    QWidget* accessory() const { return accessory_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow();
    // On a narrow row the value is cut before the title and the subtitle: a long size ("at least
    // 1 MB; 3 folders unreadable") gives way to the reason beside it, and is read whole in its tip.
    void fitValue();

    ToolSelection isOn_;
    bool isLocked_ = false;
    std::filesystem::path path_;
    ToolCheckBox* check_;
    IconImageView* icon_;
    TextLabel* title_;
    TextLabel* subtitle_;
    QHBoxLayout* accessories_;
    QWidget* accessory_ = nullptr;
    ToolsValueColumn* value_;
    bool hovering_ = false;
};
