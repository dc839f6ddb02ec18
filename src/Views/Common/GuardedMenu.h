#pragma once

#include <QMenu>
#include <QPointer>

// A context menu owned by the widget it opens on. Its event loop may rebuild the page and delete
// that widget, taking the menu along: a menu on the stack would then be deleted twice. This one is
// deleted at the end of its scope only when it is still there, and exec() returns no action then.
class GuardedMenu {
public:
    explicit GuardedMenu(QWidget* parent) : menu_(new QMenu(parent)) {}
    ~GuardedMenu() { delete menu_.data(); }
    GuardedMenu(const GuardedMenu&) = delete;
    GuardedMenu& operator=(const GuardedMenu&) = delete;

    QMenu* operator->() const { return menu_.data(); }
    QMenu& operator*() const { return *menu_; }

private:
    QPointer<QMenu> menu_;
};
