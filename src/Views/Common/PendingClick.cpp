#include "Views/Common/PendingClick.h"

#include <QGuiApplication>
#include <QStyleHints>

PendingClick::PendingClick(std::function<void(const std::string&)> action, QObject* parent) : QObject(parent), action_(std::move(action)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &PendingClick::settle);
}

void PendingClick::clicked(const std::string& id) {
    id_ = id;
    timer_.start(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}

void PendingClick::doubleClicked() {
    timer_.stop();
    id_.reset();
}

void PendingClick::settle() {
    timer_.stop();
    if (!id_) return;
    const std::string id = std::move(*id_);
    id_.reset();
    action_(id);
}
