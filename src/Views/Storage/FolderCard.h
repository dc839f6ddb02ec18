#pragma once

#include "Models/StorageBucket.h"
#include "Views/Storage/BucketActions.h"
#include "Views/DesignSystem/DynamicColor.h"
#include "Views/DesignSystem/Transition.h"

#include <QWidget>

#include <functional>

// One entry of the folder map: colour strip, name and share, size, share bar and file count, on
// DS.raised (or its colour when selected). A click selects, a double click selects and focuses.
// As high as its texts need in the language shown (Arabic lines are taller).
class FolderCard : public QWidget {
    Q_OBJECT
public:
    FolderCard(StorageBucket bucket, double share, DynamicColor color, bool isSelected, std::function<void()> onSelect,
               BucketActions::Focus onFocus, QWidget* parent = nullptr);

    const StorageBucket& bucket() const { return bucket_; }
    void setSelected(bool selected);
    bool isSelected() const { return selected_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;

private:
    StorageBucket bucket_;
    DynamicColor color_;
    bool selected_;
    bool hovering_ = false;
    std::function<void()> onSelect_;
    BucketActions::Focus onFocus_;
    Transition hoverFade_{this, 140, QEasingCurve::OutCubic};
};
