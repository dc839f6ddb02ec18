#include "App/MenuBarPanel/MenuBarExtra.h"

#include "App/MenuBarPanel/MenuBarLabel.h"
#include "Services/AppState.h"

#include <QSystemTrayIcon>

MenuBarExtra::MenuBarExtra(AppState& state, MenuBarPanel::Actions actions, QObject* parent)
    : QObject(parent), label_(new MenuBarLabel(state.monitor(), this)), panel_(std::make_unique<MenuBarPanel>(state, std::move(actions))) {
    connect(label_, &MenuBarLabel::activated, panel_.get(), &MenuBarPanel::toggleAt);
}

MenuBarExtra::~MenuBarExtra() = default;

std::unique_ptr<MenuBarExtra> MenuBarExtra::createIfTrayAvailable(AppState& state, MenuBarPanel::Actions actions) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    return std::make_unique<MenuBarExtra>(state, std::move(actions));
}
