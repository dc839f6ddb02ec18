#include "App/MenuBarPanel/PanelTabButton.h"

#include "Models/AppLocalization.h"
#include "Views/DesignSystem/ContinuousShape.h"
#include "Views/DesignSystem/Symbols.h"

#include <QPainter>

PanelTabButton::PanelTabButton(PanelTab tab, QWidget* parent) : QAbstractButton(parent), tab_(tab) {
    const QString title = AppLocalization::string(PanelTabs::titleKey(tab));
    setToolTip(title);
    setAccessibleName(title);
    setObjectName(QStringLiteral("tab.") + rawText(tab));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(34);
}

void PanelTabButton::setCurrent(bool current) {
    if (current_ == current) return;
    current_ = current;
    ease_.start();
}

double PanelTabButton::currentLevel() const {
    const double progress = ease_.progress();
    return current_ ? progress : 1 - progress;
}

void PanelTabButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double level = currentLevel();
    if (level > 0) painter.fillPath(ContinuousShape::roundedRect(rect(), 10), PanelTabs::tint(tab_).resolved(level));
    const QColor ink = Transition::mix(DynamicColor::secondary().resolved(isDown() && !current_ ? 0.6 : 1.0), DynamicColor::white().resolved(), level);
    Symbols::paint(painter, rect(), PanelTabs::symbol(tab_), 14, ink);
}
