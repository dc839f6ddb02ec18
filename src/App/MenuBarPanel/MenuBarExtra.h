#pragma once

#include "App/MenuBarPanel/MenuBarPanel.h"

#include <QObject>

#include <memory>

class AppState;
class MenuBarLabel;

// The tray item and its panel, wired together: activating the icon opens or closes the panel at
// the icon. Made only where the desktop shows a tray.
class MenuBarExtra : public QObject {
    Q_OBJECT
public:
    MenuBarExtra(AppState& state, MenuBarPanel::Actions actions, QObject* parent = nullptr);
    ~MenuBarExtra() override;

    // An extra when a tray is there to hold it, else none.
    static std::unique_ptr<MenuBarExtra> createIfTrayAvailable(AppState& state, MenuBarPanel::Actions actions);

    MenuBarLabel* label() const { return label_; }
    MenuBarPanel* panel() const { return panel_.get(); }

private:
    MenuBarLabel* label_;
    std::unique_ptr<MenuBarPanel> panel_;
};
