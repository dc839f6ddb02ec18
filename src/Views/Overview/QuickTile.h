#pragma once

#include "Models/AppSection.h"
#include "Views/DesignSystem/Transition.h"

#include <QAbstractButton>

// A large shortcut to a section: its badge, tab title and a one-line description, outlined in the
// section's colour while the pointer is over it.
class QuickTile : public QAbstractButton {
    Q_OBJECT
public:
    QuickTile(AppSection section, const QString& detail, QWidget* parent = nullptr);
    AppSection section() const { return section_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override {}
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    class Outline;
    AppSection section_;
    Outline* outline_;
    bool hovering_ = false;
    Transition hoverFade_{this, 150, QEasingCurve::OutCubic};
};
