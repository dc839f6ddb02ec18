#include "Views/Common/CoalescedUpdate.h"

CoalescedUpdate::CoalescedUpdate(std::function<void()> update, QObject* parent) : QObject(parent), update_(std::move(update)) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { update_(); });
}

void CoalescedUpdate::request() {
    if (!timer_.isActive()) timer_.start();
}
