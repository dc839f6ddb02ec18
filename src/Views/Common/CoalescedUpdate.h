#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

// Runs an update once on the next turn of the event loop however often it was asked for in this
// one, so a burst of state changes (a scan ending publishes its result and its flag) updates once.
class CoalescedUpdate : public QObject {
public:
    CoalescedUpdate(std::function<void()> update, QObject* parent);

    void request();
    bool isPending() const { return timer_.isActive(); }

private:
    std::function<void()> update_;
    QTimer timer_;
};
