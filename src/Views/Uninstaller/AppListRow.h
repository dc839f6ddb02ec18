#pragma once

#include "Models/InstalledApplication.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class TextLabel;

// One installed application in the uninstaller's list: its icon, name over version, and its size
// (none for an application of 0 bytes), in the tint when selected. A selected row lies on the
// raised colour with a short tinted marker at its leading edge; a hovered one on half of it. The
// whole row is one button; what a click does is the screen's. The context menu offers reveal and
// copy path.
class AppListRow : public QWidget {
    Q_OBJECT
public:
    AppListRow(InstalledApplication app, bool isSelected, const DynamicColor& tint, QWidget* parent = nullptr);

    void setApplication(InstalledApplication app, bool isSelected);
    const InstalledApplication& application() const { return app_; }
    bool isSelected() const { return isSelected_; }
    bool isHovered() const { return hovering_; }
    TextLabel* sizeLabel() const { return size_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void follow();

    InstalledApplication app_;
    bool isSelected_;
    DynamicColor tint_;
    bool hovering_ = false;
    class IconImageView* icon_;
    class AppIconSlot* iconSlot_;
    TextLabel* name_;
    TextLabel* version_;
    TextLabel* size_;
};
