#pragma once

#include "Models/StartupItem.h"
#include "Views/DesignSystem/DynamicColor.h"

#include <QWidget>

class AppState;
class IconBadge;
class Pill;
class TextLabel;
class ToggleSwitch;

// One startup item: its badge (a gear, or a grey lock for system-wide items), name over program,
// whether it starts ("Not known" when its file could not be read), and a switch for the user's own
// items ("System managed" for the others, "Cannot switch" for a user's file the desktop cannot
// read, with the reason as the row's help text). The switch shows the item as last published;
// flipping it asks AppState and waits for the new list.
class StartupItemRow : public QWidget {
    Q_OBJECT
public:
    StartupItemRow(AppState& state, StartupItem item, const DynamicColor& tint, QWidget* parent = nullptr);

    // Shows the item as newly published, keeping the widgets (and the switch's focus) in place.
    void setItem(StartupItem item);

    const StartupItem& item() const { return item_; }
    ToggleSwitch* toggle() const { return item_.isSwitchable() ? toggle_ : nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    StartupItem item_;
    DynamicColor tint_;
    IconBadge* badge_;
    TextLabel* name_;
    TextLabel* program_;
    Pill* status_;
    ToggleSwitch* toggle_;
    Pill* managed_;
    Pill* blocked_;
    bool hovering_ = false;
};
