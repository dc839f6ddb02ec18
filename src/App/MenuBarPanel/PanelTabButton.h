#pragma once

#include "App/MenuBarPanel/PanelTab.h"
#include "Views/DesignSystem/Transition.h"

#include <QAbstractButton>

// One icon tab of the panel's tab bar: the tab's symbol, white on its tint when current, secondary
// on clear otherwise, easing from one to the other; its title is the tooltip and the accessible name.
class PanelTabButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PanelTabButton(PanelTab tab, QWidget* parent = nullptr);

    PanelTab tab() const { return tab_; }
    void setCurrent(bool current);
    bool isCurrent() const { return current_; }
    // How much of the current look is shown: 1 current, 0 not, between while it eases.
    double currentLevel() const;
    const Transition& ease() const { return ease_; }

    QSize sizeHint() const override { return {34, 34}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PanelTab tab_;
    bool current_ = false;
    Transition ease_{this, Ease::panelTabMs};
};
