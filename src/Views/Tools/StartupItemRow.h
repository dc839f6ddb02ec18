#pragma once

#include "Models/StartupItem.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class AppState;
class ToggleSwitch;

// One startup item: its badge (a gear, or a grey lock for system-wide items), name over program,
// whether it starts, and a switch for the user's own items ("System managed" for the others). The
// switch shows the item as last published; flipping it asks AppState and waits for the new list.
class StartupItemRow : public QWidget {
    Q_OBJECT
public:
    StartupItemRow(AppState& state, StartupItem item, const DynamicColor& tint, QWidget* parent = nullptr);

    const StartupItem& item() const { return item_; }
    ToggleSwitch* toggle() const { return toggle_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    StartupItem item_;
    ToggleSwitch* toggle_ = nullptr;
    bool hovering_ = false;
};
