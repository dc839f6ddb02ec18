#pragma once

#include "Views/DesignSystem/Transition.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

// Holds one widget at its own height. After easeNextChange(), a change of that height eases: the box
// grows over the content, uncovering it, or shrinks over the picture of what was there, so rows that
// come or go slide into or out of view instead of appearing at once.
class RevealBox : public QWidget {
    Q_OBJECT
public:
    RevealBox(QWidget* content, int durationMs, QWidget* parent = nullptr);

    // Call before changing the content: the box eases from the height it shows now.
    void easeNextChange();
    // The height the box takes now, part of the way while it eases.
    int shownHeight(int width) const;
    const Transition& ease() const { return ease_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return shownHeight(width); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int contentHeight(int width) const;
    void placeContent();

    QPointer<QWidget> content_;
    Transition ease_;
    int easeFrom_ = 0;
    QPixmap leaving_;  // what the content showed on screen before it shrank
    QPoint leavingAt_;
};
